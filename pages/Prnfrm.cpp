#include "pages/Prnfrm.h"

#include <cstdlib>

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "pages/Frmhiprn.h"
#include "pages/handoff.h"
#include "printers/matching.h"
#include "printers/ports.h"
#include "printers/printer_list.h"

pages::TPrnForm* PrnForm = nullptr;

namespace pages {

TPrnForm::TPrnForm() : WizardPage("PrnForm", "Printer Setup", 522, 393) {
  header("Select the printer setting",
         "Please select the printer model which conneted with printer server", 65);
  lines(nullptr, 35, 58, 17,
        {"Please select the printer setting  you want to change to \"Remote Port\"",
         "and click \"OK\". If you can't find the printer you want to use , this means",
         "you don't have the printer driver installed on your PC. Please select the",
         "\"I can't find the printer \" option and click Next for more."},
        textFont(14));
  RbNoPrn = checkBox(nullptr, "RbNoPrn", {35, 128, 250, 20}, "I can't find the printer ",
                     textFont(14, true));
  ListView = listView(nullptr, "ListView", {10, 152, 502, 150});
  ListView->columns = {{"", 20}, {"Printer", 203}, {"Port", 122}};
  ListView->images = {"list_printer", "list_printer_remote"};
  ListView->imageOf = [](const gui::ListView::Row& r) {
    return r.size() > 2 && r[2] == "Remote Port" ? 1 : 0;
  };
  LblPrn = label(nullptr, "LblPrn", {10, 311, 40, 19}, "0", textFont(15, true));
  LblPrn->align = gui::Align::Right;
  then(LblPrn, "Printer Setting Found", textFont(15, true), {}, 6);
  BtnRefresh = button(nullptr, "BtnRefresh", {440, 308, 70, 24}, "Refresh", buttonFont());
  BtnSet = button(nullptr, "BtnSet", {92, 358, 100, 24}, "Set Remote Port", buttonFont());
  BtnSet->hide();
  BtnLPT = button(nullptr, "BtnLPT", {8, 358, 80, 24}, "Set LPT1", buttonFont());
  BtnLPT->hide();

  addFrame(BtnBack, "BtnBack", Button1, "Button1", "Next >", Button2, "Button2");
  ListView->onInsert = [this](int row) { ListViewInsert(row); };
  BtnRefresh->onClick = [this] { BtnRefreshClick(); };
  Button1->onClick = [this] { Button1Click(); };
  BtnSet->onClick = [this] { BtnSetClick(); };
  BtnLPT->onClick = [this] { BtnLPTClick(); };
}

void TPrnForm::FormShow() {
  RbNoPrn->setChecked(false);
  BtnRefreshClick();
}

void TPrnForm::ListViewInsert(int) {
  LblPrn->setText(std::to_string(std::atoi(LblPrn->text().c_str()) + 1));
}

void TPrnForm::BtnRefreshClick() {
  LblPrn->setText("0");
  ListView->clear();
  fillPrinterList();
}

// Every local printer with its port; the chosen one becomes the current row.
void TPrnForm::fillPrinterList() {
  std::vector<printers::PrinterRow> rows;
  if (!printers::listPrinters(app::os(), app::os().prompter(), rows)) return;
  const std::string chosen = handoff::chosenPrinter();
  for (const printers::PrinterRow& r : rows) {
    int row = ListView->addRow({"", r.name, r.port});
    if (r.name == chosen) {
      ListView->setFocusedRow(row);
      ListView->setSelectedRow(row);
      ListView->setFocus();
    }
  }
}

void TPrnForm::setRowPort(const std::string& port) {
  if (ListView->count() == 0) return;
  int row = ListView->focusedRow() >= 0 ? ListView->focusedRow() : 0;
  printers::setPrinterPort(app::os(), app::os().prompter(), osMajorVersion, ListView->row(row)[1],
                           port);
  BtnRefreshClick();
}

void TPrnForm::BtnSetClick() { setRowPort("Remote Port"); }

void TPrnForm::BtnLPTClick() { setRowPort("LPT1:"); }

void TPrnForm::Button1Click() {
  if (RbNoPrn->checked()) {
    app::ui().showModal(*FormHelpInstPrn);
    return;
  }
  int row = ListView->focusedRow();
  if (row < 0) {
    app::os().ask(app::ui().windowOf(*this), "Please select a printer setting.",
                         "Information", platform::Buttons::Ok, platform::Icon::Information);
    return;
  }
  const gui::ListView::Row& r = ListView->row(row);
  handoff::setChosenPrinter(r.size() > 1 ? r[1] : std::string());
  close();
}


}  // namespace pages
