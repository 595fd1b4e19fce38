#include "pages/Browtalo.h"

#include <cstdlib>
#include <string>
#include <unordered_set>

#include "app/state/context.h"
#include "discovery/device_table.h"
#include "discovery/receiver.h"
#include "discovery/search.h"
#include "monitor/install.h"
#include "pages/Frmsvrip.h"
#include "pages/handoff.h"

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

  addFrame(BtnBack, "BtnBack", BtnSet, "BtnSet", "Next >", Button1, "Button1");
  BtnSet->hint = "Choose the selected one";
  Timer1 = timer("Timer1", 1000);

  Timer1->onTimer = [this] { Timer1Timer(); };
  ListView->onInsert = [this](int row) { ListViewInsert(row); };
  ListView->compare = &TBrowTaloForm::ListViewCompare;
  BtnBrowse->onClick = [this] { BtnBrowseClick(); };
  BtnSet->onClick = [this] { BtnSetClick(); };
  BtnManual->onClick = [this] { BtnManualClick(); };
  BtnBack->onClick = [this] { BtnBackClick(); };
}

void TBrowTaloForm::FormShow() {
  ListView->clear();
  LblTALO->setText("0");
  Timer1->setEnabled(true);
}

void TBrowTaloForm::FormClose() { Timer1->setEnabled(false); }

// Adds the servers that answered since the last tick; the one the
// detection page shows becomes the current row.  The list and the count
// reach the screen once, when the tick is done.
void TBrowTaloForm::Timer1Timer() {
  gui::ListView& list = *ListView;
  bool added = false;
  list.beginUpdate();
  LblTALO->beginUpdate();
  // The rows' IP texts, looked up once each rather than searched row by row.
  std::unordered_set<std::string> listed;
  const std::string current = handoff::serverAddress();
  for (const auto& row : list.rows())
    if (row.size() > 2) listed.insert(row[2]);
  for (const discovery::Server& s : discovery::foundServers()) {
    if (!listed.insert(s.ip).second) continue;
    int row = list.addRow({"", s.model, s.ip, s.printer});
    added = true;
    if (current == s.ip) list.setFocusedRow(row);
  }
  if (added) {
    list.sort();
    list.setSelectedRow(list.focusedRow());
  }
  LblTALO->endUpdate();
  list.endUpdate();
  if (added) list.setFocus();
}

void TBrowTaloForm::ListViewInsert(int) {
  LblTALO->setText(std::to_string(std::atoi(LblTALO->text().c_str()) + 1));
  if (ListView->focusedRow() < 0) ListView->setFocusedRow(0);
}

// Rows with a printer name come first; only whether the name is empty counts.
bool TBrowTaloForm::ListViewCompare(const gui::ListView::Row& a, const gui::ListView::Row& b) {
  auto hasPrinter = [](const gui::ListView::Row& r) { return r.size() > 3 && !r[3].empty(); };
  return hasPrinter(a) && !hasPrinter(b);
}

void TBrowTaloForm::BtnBrowseClick() {
  platform::Platform& os = app::os();
  Timer1->setEnabled(false);
  os.sleep(100);
  ListView->clear();
  discovery::clearTaloInfo();
  LblTALO->setText("0");
  Timer1->setEnabled(true);
  discovery::broadcastGetInfo(os, os);
}

// The current row's server (the first row's when none is current) goes to
// the detection page; an empty list leaves it without a server.
void TBrowTaloForm::BtnSetClick() {
  if (ListView->count() == 0) {
    handoff::showNoServer(true);
  } else {
    int row = ListView->focusedRow() >= 0 ? ListView->focusedRow() : 0;
    const gui::ListView::Row& r = ListView->row(row);
    handoff::showServer({r[1], r[2], r[3]});
  }
  close();
}

void TBrowTaloForm::BtnManualClick() {
  if (!monitor::installMonitor(monitorPc())) return;
  bManualCancelled = 0;
  app::ui().showModal(*FormServerIP);
  if (app::ui().terminated() || bManualCancelled == 1) return;
  handoff::showServer({"Manual IP Address", monitor::storedServerAddress(app::os()), ""});
  close();
}

void TBrowTaloForm::BtnBackClick() {
  handoff::resumeSearch();
  close();
}

}  // namespace pages
