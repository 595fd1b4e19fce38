// A stand-in for the work behind the pages' buttons: it records what the
// pages ask for and answers as the test sets it up.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "pages/Mainfrm.h"
#include "pages/Prnwiz.h"
#include "pages/wizard_work.h"

namespace pagestest {

class FakeWork : public pages::WizardWork {
 public:
  std::vector<std::string> calls;
  bool installOk = true, storeOk = true, moveOk = true, uninstallOk = false, serverIpOkay = true;
  bool monitorInstalled = false;  // what welcomeShow shows
  pages::PrinterPage printerPage = pages::PrinterPage::Automatic;
  std::string printer;  // what pickPrinter proposes; empty: none
  std::string storedAddress;

  int count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }

  void welcomeShow() override {
    calls.push_back("welcomeShow");
    MainForm->PanelUninstall->setVisible(monitorInstalled);
  }
  bool uninstall() override {
    calls.push_back("uninstall");
    return uninstallOk;
  }
  void detectionShow() override { calls.push_back("detectionShow"); }
  void detectionTick() override { calls.push_back("detectionTick"); }
  void detectionStopped() override { calls.push_back("detectionStopped"); }
  bool installMonitor() override {
    calls.push_back("installMonitor");
    return installOk;
  }
  bool storeServerAddress(const std::string& address) override {
    calls.push_back("storeServerAddress");
    storedAddress = address;
    return storeOk;
  }
  pages::PrinterPage choosePrinterPage() override {
    calls.push_back("choosePrinterPage");
    return printerPage;
  }
  void browseShow() override { calls.push_back("browseShow"); }
  void browseTick() override { calls.push_back("browseTick"); }
  void browseRefresh() override { calls.push_back("browseRefresh"); }
  void browseSet() override { calls.push_back("browseSet"); }
  void browseManual() override { calls.push_back("browseManual"); }
  void serverIpShow() override { calls.push_back("serverIpShow"); }
  bool serverIpOk() override {
    calls.push_back("serverIpOk");
    return serverIpOkay;
  }
  void pickPrinter() override {
    calls.push_back("pickPrinter");
    PrnWizard->LblProduct->setText(printer);
  }
  bool moveToRemotePort() override {
    calls.push_back("moveToRemotePort");
    return moveOk;
  }
  void fillPrinterList() override { calls.push_back("fillPrinterList"); }
  void endShow() override { calls.push_back("endShow"); }
  void setDefaultPrinter() override { calls.push_back("setDefaultPrinter"); }
  void printTestPage() override { calls.push_back("printTestPage"); }
};

}  // namespace pagestest
