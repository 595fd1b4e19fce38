#include "pages/Prnfrm.h"

#include <cstdlib>

#include "app/state/context.h"
#include "pages/Frmhiprn.h"
#include "pages/Prnwiz.h"
#include "pages/wizard_work.h"

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
  BtnLPT1 = button(nullptr, "BtnLPT1", {8, 358, 80, 24}, "Set LPT1", buttonFont());
  BtnLPT1->hide();
  BtnRemote = button(nullptr, "BtnRemote", {92, 358, 100, 24}, "Set Remote Port", buttonFont());
  BtnRemote->hide();

  Frame f = addFrame("BtnBack", "Button1", "Next >", "Button2");
  BtnBack = f.back;
  Button1 = f.forward;
  Button2 = f.cancel;
  ListView->onInsert = [this](int row) { ListViewInsert(row); };
  BtnRefresh->onClick = [this] { BtnRefreshClick(); };
  Button1->onClick = [this] { Button1Click(); };
  BtnBack->onClick = [this] { BtnBackClick(); };
  Button2->onClick = [this] { Button2Click(); };
}

void TPrnForm::FormShow() { BtnRefreshClick(); }

void TPrnForm::ListViewInsert(int) {
  LblPrn->setText(std::to_string(std::atoi(LblPrn->text().c_str()) + 1));
}

void TPrnForm::BtnRefreshClick() {
  LblPrn->setText("0");
  ListView->clear();
  work().fillPrinterList();
}

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
  PrnWizard->LblProduct->setText(r.size() > 1 ? r[1] : std::string());
  close();
}

void TPrnForm::BtnBackClick() { close(); }

void TPrnForm::Button2Click() { endWizard(); }

}  // namespace pages
