// An in-memory PC laid out for the monitor's operations: the companion
// utilities' folder with shipped files, the system directory, and helpers
// to register an older monitor and read what was shown.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/state/wizard_state.h"
#include "monitor/family.h"
#include "monitor/registry_key.h"
#include "platform/fake/fake_pc.h"

namespace monitortest {

inline const std::string kAppPath = "C:\\Program Files\\Varn\\Lanwarden";
inline const std::string kSys = "C:\\windows\\system32";
inline const std::string kMonitorKey = monitor::kMonitorKey;

class MonitorPc : public ::testing::Test {
 protected:
  void SetUp() override {
    resetWizardState();
    osMajorVersion = 5;
    app = pc.addWindow("TApplication", kAppTitle);
    pc.setApplication(app, kAppTitle);
    pc.setRegistryString(monitor::kCompanionKey, "AppPath", kAppPath);
  }
  void TearDown() override {
    // Every operation closes its keys and frees its DLLs.
    EXPECT_EQ(pc.openRegistryKeys(), 0u);
    EXPECT_EQ(pc.loadedModules(), 0u);
    EXPECT_EQ(pc.staleProcCalls, 0);
    EXPECT_FALSE(pc.unexpectedQuestion) << "a question nobody expected";
    resetWizardState();
  }

  using Version = std::optional<std::uint32_t>;
  // The shipped files in AppPath; `version` nullopt: no LprGetVersion.
  void ship(Version version, const std::string& base = "talomon") {
    pc.putFile(kAppPath + "\\" + base + ".dl_",
               platform::FakePc::monitorDll(version, "shipped " + base));
  }
  void shipAll(Version version) {
    ship(version, "talomon");
    pc.putFile(kAppPath + "\\taloui.dl_", platform::FakePc::plainDll("shipped taloui"));
  }
  // An earlier installation: its DLLs in the system directory and the
  // monitor registered.
  void installOld(Version version, const std::string& base = "talomon") {
    pc.putFile(kSys + "\\" + base + ".dll", platform::FakePc::monitorDll(version, "old " + base));
    if (base == "talomon") pc.putFile(kSys + "\\taloui.dll", platform::FakePc::plainDll("old taloui"));
    pc.registerMonitor(monitor::kMonitorName, base + ".dll");
  }
  std::string portOf(const std::string& printer) {
    platform::PrinterInfo2* p = pc.printer(printer);
    return p && p->portName ? *p->portName : "(none)";
  }
  std::string content(const std::string& path) const {
    const platform::FakePc::File* f = pc.file(path);
    return f ? f->content : "(missing)";
  }
  bool registered() const {
    for (const auto& n : pc.monitorNames())
      if (n == monitor::kMonitorName) return true;
    return false;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> t;
    for (const auto& b : pc.boxes) t.push_back(b.text);
    return t;
  }
  std::vector<platform::FakePc::MonitorRequest::Kind> requestKinds() const {
    std::vector<platform::FakePc::MonitorRequest::Kind> k;
    for (const auto& r : pc.monitorRequests) k.push_back(r.kind);
    return k;
  }
  // The plain message dialog: the program's title, OK, no icon.
  void expectPlainMessage(const platform::FakePc::ShownBox& box, const std::string& text) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(box.buttons, platform::Buttons::Ok);
    EXPECT_EQ(box.icon, platform::Icon::None);
    EXPECT_EQ(box.owner, app);
  }
  // An information box of the application window.
  void expectInformation(const platform::FakePc::ShownBox& box, const std::string& text,
                         const std::string& caption, platform::Buttons buttons) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.buttons, buttons);
    EXPECT_EQ(box.icon, platform::Icon::Information);
    EXPECT_EQ(box.owner, app);
  }

  platform::FakePc pc;
  platform::WindowId app = 0;
};

}  // namespace monitortest
