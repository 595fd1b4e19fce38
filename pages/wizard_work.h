// The work that the pages' buttons start but that is not page flow:
// discovery, the port monitor, the printers.  The pages move between one
// another and keep their own controls; everything else they ask of the
// work set here.  Until a piece of work is written, the do-nothing version
// stands in for it, so every page can be reached.
#pragma once

#include <string>

namespace pages {

// The page that the printer matching opens after the monitor installation.
enum class PrinterPage { Automatic, AskPrinter };

class WizardWork {
 public:
  virtual ~WizardWork() = default;

  // Welcome page.
  virtual void welcomeShow() = 0;    // PanelUninstall, lblVer, lblIP
  virtual bool uninstall() = 0;      // true: the monitor is gone, the program ends

  // Detection page.  The page itself empties the labels, disables "Next >"
  // and starts Timer1 before detectionShow; it stops Timer1 before
  // detectionStopped.
  virtual void detectionShow() = 0;     // ticks to 0, table emptied, requests sent
  virtual void detectionTick() = 0;     // Timer1
  virtual void detectionStopped() = 0;  // the tick count back to 0
  // "Next >" and "Manual Set IP": false when a failure was shown and the
  // page stays.
  virtual bool installMonitor() = 0;
  virtual bool storeServerAddress(const std::string& address) = 0;
  virtual PrinterPage choosePrinterPage() = 0;

  // Browse list.  The page empties the list, sets LblTALO to "0" and starts
  // its timer before browseShow.
  virtual void browseShow() = 0;
  virtual void browseTick() = 0;
  virtual void browseRefresh() = 0;
  virtual void browseSet() = 0;     // the current row to the detection page
  virtual void browseManual() = 0;  // the stored address to the detection page

  // Manual address dialog.
  virtual void serverIpShow() = 0;  // EdIP from the stored address
  virtual bool serverIpOk() = 0;    // stores EdIP; false: the dialog stays

  // Printer pages.
  virtual void pickPrinter() = 0;        // fills PrnWizard's LblProduct
  virtual bool moveToRemotePort() = 0;   // false: declined or failed, the page stays
  virtual void fillPrinterList() = 0;    // PrnForm's ListView

  // Completion page.
  virtual void endShow() = 0;
  virtual void setDefaultPrinter() = 0;  // CB_Default was ticked at "Done"
  virtual void printTestPage() = 0;
};

// Does nothing; every step counts as done.  The automatic printer page then
// finds no printer and opens "Printer Setting not found".
class NoWork : public WizardWork {
 public:
  void welcomeShow() override {}
  bool uninstall() override { return false; }
  void detectionShow() override {}
  void detectionTick() override {}
  void detectionStopped() override {}
  bool installMonitor() override { return true; }
  bool storeServerAddress(const std::string&) override { return true; }
  PrinterPage choosePrinterPage() override { return PrinterPage::Automatic; }
  void browseShow() override {}
  void browseTick() override {}
  void browseRefresh() override {}
  void browseSet() override {}
  void browseManual() override {}
  void serverIpShow() override {}
  bool serverIpOk() override { return true; }
  void pickPrinter() override {}
  bool moveToRemotePort() override { return true; }
  void fillPrinterList() override {}
  void endShow() override {}
  void setDefaultPrinter() override {}
  void printTestPage() override {}
};

// The work the pages use; null puts the do-nothing version back.
void setWizardWork(WizardWork* work);
WizardWork& work();

}  // namespace pages
