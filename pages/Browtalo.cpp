#include "pages/Browtalo.h"

#include <cstdlib>

#include "app/state/context.h"
#include "pages/Frmsvrip.h"
#include "pages/Talowiz.h"
#include "pages/wizard_work.h"

pages::TBrowTaloForm* BrowTaloForm = nullptr;

namespace pages {

TBrowTaloForm::TBrowTaloForm()
    : WizardPage("BrowTaloForm", "Brwose for all Printer Sharing Server", 522, 393) {
  closeBox = true;
  header("Select the Printer Sharing Server",
         "Please select the Printer Sharing Server you want to use", 65);
  lines(nullptr, 35, 60, 17,
        {"Please select the server you want to use and click \"Next\". You can click",
         "\"Refresh\" to search for the server on LAN again.\"Manual Set IP\" is used",
         "for keyin the server'sIP address manually."},
        textFont(14));
  BtnManual = button(nullptr, "BtnManual", {420, 95, 92, 27}, "Manual Set IP", textFont(13, true));
  BtnManual->hint = "Key in the IP address manually";
  ListView = listView(nullptr, "ListView", {10, 127, 502, 175});
  ListView->columns = {{"", 20}, {"Device", 122}, {"IP", 122}, {"Printer", 203}};
  ListView->images = {"list_server"};
  LblTALO = label(nullptr, "LblTALO", {10, 311, 40, 19}, "0", textFont(15, true));
  LblTALO->align = gui::Align::Right;
  then(LblTALO, "Printer Sharing Server found", textFont(15, true), {}, 6);
  BtnBrowse = button(nullptr, "BtnBrowse", {440, 308, 70, 24}, "Refresh", buttonFont());

  Frame f = addFrame("BtnBack", "BtnSet", "Next >", "Button1");
  BtnBack = f.back;
  BtnSet = f.forward;
  Button1 = f.cancel;
  BtnSet->hint = "Choose the selected one";
  Timer1 = timer("Timer1", 1000);

  Timer1->onTimer = [this] { Timer1Timer(); };
  ListView->onInsert = [this](int row) { ListViewInsert(row); };
  ListView->compare = &TBrowTaloForm::ListViewCompare;
  BtnBrowse->onClick = [this] { BtnBrowseClick(); };
  BtnSet->onClick = [this] { BtnSetClick(); };
  BtnManual->onClick = [this] { BtnManualClick(); };
  BtnBack->onClick = [this] { BtnBackClick(); };
  Button1->onClick = [this] { Button1Click(); };
}

void TBrowTaloForm::FormShow() {
  ListView->clear();
  LblTALO->setText("0");
  Timer1->setEnabled(true);
  work().browseShow();
}

void TBrowTaloForm::FormClose() { Timer1->setEnabled(false); }

void TBrowTaloForm::Timer1Timer() { work().browseTick(); }

void TBrowTaloForm::ListViewInsert(int) {
  LblTALO->setText(std::to_string(std::atoi(LblTALO->text().c_str()) + 1));
  if (ListView->focusedRow() < 0) ListView->setFocusedRow(0);
}

// Rows with a printer name come first; only whether the name is empty counts.
bool TBrowTaloForm::ListViewCompare(const gui::ListView::Row& a, const gui::ListView::Row& b) {
  auto hasPrinter = [](const gui::ListView::Row& r) { return r.size() > 3 && !r[3].empty(); };
  return hasPrinter(a) && !hasPrinter(b);
}

void TBrowTaloForm::BtnBrowseClick() { work().browseRefresh(); }

void TBrowTaloForm::BtnSetClick() {
  work().browseSet();
  close();
}

void TBrowTaloForm::BtnManualClick() {
  if (!work().installMonitor()) return;
  bManualCancelled = 0;
  app::ui().showModal(*FormServerIP);
  if (app::ui().terminated() || bManualCancelled == 1) return;
  work().browseManual();
  TaloWizard->BtnNext->setEnabled(true);
  TaloWizard->PanelNotFound->hide();
  close();
}

void TBrowTaloForm::BtnBackClick() {
  TaloWizard->Timer1->setEnabled(true);
  close();
}

void TBrowTaloForm::Button1Click() { endWizard(); }

}  // namespace pages
