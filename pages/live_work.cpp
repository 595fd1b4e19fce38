#include "pages/live_work.h"

#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "discovery/adapters.h"
#include "discovery/device_table.h"
#include "discovery/receiver.h"
#include "pages/Browtalo.h"
#include "pages/Talowiz.h"

namespace pages {

namespace {
constexpr std::uint32_t kLastTick = 300;  // the page follows replies for 301 ticks

// The subnet test colours the address and shows or hides the warning.
void markSubnet(gui::Label& ip) {
  bool same = discovery::sameSubnet(app::os(), ip.text()) == 1;
  ip.setColor(same ? gui::clWindowText : gui::clRed);
  TaloWizard->SB_ERROR->setVisible(!same);
}
}  // namespace

void showServer(const std::string& model, const std::string& ip, const std::string& printer) {
  TTaloWizard& page = *TaloWizard;
  page.LblProduct->setText(model);
  page.LblIP->setText(ip);
  page.LblPrinter->setText(printer);
  markSubnet(*page.LblIP);
  page.PanelNotFound->hide();
  page.BtnNext->setEnabled(true);
}

void LiveWork::detectionShow() {
  dwDetectTicks = 0;
  shownIp_.clear();
  discovery::clearTaloInfo();
  discovery::broadcastGetInfo(app::os());
  discovery::bcastMsg(app::os());
}

void LiveWork::detectionTick() {
  if (dwDetectTicks > kLastTick) return;
  ++dwDetectTicks;
  TTaloWizard& page = *TaloWizard;
  // The first server that names a printer, else the first that answered.
  int chosen = -1, used = 0;
  for (; used < discovery::MAX_NO_OF_TALO && discovery::taloInfo[used].inUse(); ++used) {
    if (discovery::taloInfo[used].printerName[0] != '\0') {
      chosen = used;
      break;
    }
  }
  if (chosen < 0 && used == 0) {
    page.PanelNotFound->show();
    page.BtnNext->setEnabled(false);
    return;
  }
  // A full table where no server names a printer still shows the first.
  if (chosen < 0) chosen = 0;
  const discovery::TALO_INFO& e = discovery::taloInfo[chosen];
  page.PanelNotFound->hide();
  page.BtnNext->setEnabled(true);
  page.LblIP->setText(e.taloIP);
  page.LblProduct->setText(e.modelName);
  page.LblPrinter->setText(e.printerName);
  markSubnet(*page.LblIP);
  // The focus goes to "Next >" when a server is chosen, not on every tick,
  // so a keyboard user can still reach "More...".
  if (shownIp_ != e.taloIP) {
    shownIp_ = e.taloIP;
    page.BtnNext->setFocus();
  }
}

void LiveWork::detectionStopped() { dwDetectTicks = 0; }

void LiveWork::browseShow() {}

void LiveWork::browseTick() {
  TBrowTaloForm& page = *BrowTaloForm;
  gui::ListView& list = *page.ListView;
  bool added = false;
  list.beginUpdate();
  for (int i = 0; i < discovery::MAX_NO_OF_TALO && discovery::taloInfo[i].inUse(); ++i) {
    const discovery::TALO_INFO& e = discovery::taloInfo[i];
    bool listed = false;
    for (const auto& row : list.rows())
      if (row.size() > 2 && row[2] == e.taloIP) listed = true;
    if (listed) continue;
    int row = list.addRow({"", e.modelName, e.taloIP, e.printerName});
    added = true;
    if (TaloWizard->LblIP->text() == e.taloIP) list.setFocusedRow(row);
  }
  if (added) {
    list.sort();
    list.setSelectedRow(list.focusedRow());
  }
  list.endUpdate();
  if (added) list.setFocus();
}

void LiveWork::browseRefresh() {
  TBrowTaloForm& page = *BrowTaloForm;
  page.Timer1->setEnabled(false);
  app::os().sleep(100);
  page.ListView->clear();
  discovery::clearTaloInfo();
  page.LblTALO->setText("0");
  page.Timer1->setEnabled(true);
  discovery::broadcastGetInfo(app::os());
}

void LiveWork::browseSet() {
  gui::ListView& list = *BrowTaloForm->ListView;
  int row = list.focusedRow() >= 0 ? list.focusedRow() : 0;
  if (list.count() == 0) {
    TTaloWizard& page = *TaloWizard;
    page.PanelNotFound->show();
    page.BtnNext->setEnabled(false);
    page.LblProduct->setText("");
    page.LblIP->setText("");
    page.LblPrinter->setText("");
    return;
  }
  const auto& r = list.row(row);
  showServer(r[1], r[2], r[3]);
}

}  // namespace pages
