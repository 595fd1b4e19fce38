// The port monitor's installation, status, update and removal through the
// real platform, against Wine's spooler and registry, with the fixture
// monitor DLLs shipped as .dl_ files.  The family follows the prefix: a
// prefix set to a version-4 system runs the 9x branch (lprmon,
// "Windows 4.0").
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/state/wizard_state.h"
#include "monitor/family.h"
#include "monitor/install.h"
#include "monitor/registry_key.h"
#include "monitor/status.h"
#include "platform/fake/answer_queue.h"
#include "platform/win32/win32_platform.h"
#include "tests/win32/processes.h"
#include "tools/fixtures/test_pc.h"

namespace {

using platform::Answer;
using platform::Buttons;

const char kMonitor[] = "Printer Sharing Port Monitor";
const char kPrinter[] = "Monitor Test Printer";
const char kDriver[] = "Monitor Test Driver";

// The real platform with message boxes recorded and answered from a queue.
class AnsweringPlatform : public platform::Win32Platform, public platform::AnswerQueue {
 public:
  struct Box {
    platform::WindowId owner;
    std::string text, caption;
    Buttons buttons;
    platform::Icon icon;
  };
  std::vector<Box> boxes;

  std::vector<std::string> texts() const {
    std::vector<std::string> t;
    for (const Box& b : boxes) t.push_back(b.text);
    return t;
  }

 protected:
  platform::Error doMessageBox(platform::WindowId owner, const std::string& text,
                               const std::string& caption, Buttons buttons, platform::Icon icon,
                               Answer& answer) override {
    boxes.push_back({owner, text, caption, buttons, icon});
    answer = nextAnswer(buttons);
    return platform::kOk;
  }
};

std::string systemDir() {
  char dir[512];
  UINT n = GetSystemDirectoryA(dir, sizeof dir);
  return std::string(dir, n);
}

std::string shipDir() {
  char dir[MAX_PATH];
  DWORD n = GetTempPathA(sizeof dir, dir);
  return std::string(dir, n) + "Varn Lanwarden Utilities";
}

bool fileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}


void deleteTree(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  for (int i = 0; i < 100; ++i) {
    char name[256];
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    deleteTree(key, name);
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path.c_str());
}

// A value's type and bytes as stored; false when it cannot be read.
bool readValue(const std::string& keyPath, const char* name, DWORD& type, std::string& bytes) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  char data[256];
  DWORD size = sizeof data;
  LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return false;
  bytes.assign(data, size);
  return true;
}

// The monitor's level-2 record as the spooler lists it.
struct Listed {
  bool found = false;
  std::string environment, dll;
};
Listed listedMonitor() {
  Listed listed;
  DWORD needed = 0, count = 0;
  EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumMonitorsA(nullptr, 2, buffer.data(), needed, &needed, &count)) return listed;
  auto* info = reinterpret_cast<const MONITOR_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (std::string(info[i].pName) != kMonitor) continue;
    listed.found = true;
    listed.environment = info[i].pEnvironment ? info[i].pEnvironment : "(null)";
    listed.dll = info[i].pDLLName ? info[i].pDLLName : "(null)";
  }
  return listed;
}

bool addDriver(const char* environment) {
  return testpc::addPostScriptDriver(kDriver, environment);
}

// A printer on `port`; the Win32 error code, 0 on success.
DWORD addPrinter(const char* port) {
  if (!addDriver(testpc::kNativeEnvironment)) return GetLastError();
  if (isWin9xFamily() && !addDriver("Windows 4.0")) return GetLastError();
  PRINTER_INFO_2A info{};
  info.pPrinterName = const_cast<char*>(kPrinter);
  info.pPortName = const_cast<char*>(port);
  info.pDriverName = const_cast<char*>(kDriver);
  info.pPrintProcessor = const_cast<char*>("WinPrint");
  info.pDatatype = const_cast<char*>("RAW");
  HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!printer) return GetLastError();
  ClosePrinter(printer);
  return 0;
}

std::string portOfPrinter() {
  HANDLE printer;
  if (!OpenPrinterA(const_cast<char*>(kPrinter), &printer, nullptr)) return "(no printer)";
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed + 1);
  std::string port = "(unreadable)";
  if (GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
    auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    port = info->pPortName ? info->pPortName : "(null)";
  }
  ClosePrinter(printer);
  return port;
}

void deletePrinter() {
  testpc::deletePrinter(kPrinter);
  for (const char* env : {"Windows NT x86", "Windows 4.0"}) testpc::deleteDriver(kDriver, env);
}

class MonitorOnWine : public testing::Test {
 protected:
  void SetUp() override {
    resetWizardState();
    osMajorVersion = os.osMajorVersion();
    os.setApplication(0, kAppTitle);
    family = &monitor::familyFor(osMajorVersion);
    removeAll();
    ASSERT_FALSE(listedMonitor().found) << "left over from an earlier run";
    CreateDirectoryA(shipDir().c_str(), nullptr);
    ASSERT_EQ(testpc::setString(monitor::kCompanionKey, "AppPath", shipDir()), ERROR_SUCCESS);
  }
  void TearDown() override {
    EXPECT_FALSE(os.unexpectedQuestion);
    removeAll();
  }

  void removeAll() {
    deletePrinter();
    DeleteMonitorA(nullptr, const_cast<char*>(family->environment.c_str()),
                   const_cast<char*>(kMonitor));
    deleteTree(HKEY_LOCAL_MACHINE, monitor::kMonitorKey);
    for (const char* base : {"talomon", "taloui", "lprmon"}) {
      DeleteFileA((systemDir() + "\\" + base + ".dll").c_str());
      DeleteFileA((systemDir() + "\\" + base + ".dll.old").c_str());
      DeleteFileA((shipDir() + "\\" + base + ".dl_").c_str());
    }
  }

  // Ships fixture_<monitor dll>_<variant>.dll (and taloui) as .dl_ files.
  void ship(const std::string& variant) {
    std::string base = family->monitorDll;
    std::string from = wintest::exeDir() + "\\fixture_" + base + "_" + variant + ".dll";
    ASSERT_TRUE(CopyFileA(from.c_str(), (shipDir() + "\\" + base + ".dl_").c_str(), FALSE))
        << from << ": " << GetLastError();
    if (base == "talomon") {
      std::string ui = wintest::exeDir() + "\\fixture_taloui.dll";
      ASSERT_TRUE(CopyFileA(ui.c_str(), (shipDir() + "\\taloui.dl_").c_str(), FALSE));
    }
  }
  std::string installed(const std::string& base) const {
    return systemDir() + "\\" + base + ".dll";
  }
  std::string shipped(const std::string& base) const {
    return shipDir() + "\\" + base + ".dl_";
  }
  void expectCopiedFiles() {
    for (const std::string& base : family->copied) {
      EXPECT_TRUE(fileExists(installed(base))) << base;
      EXPECT_EQ(wintest::readFile(installed(base)), wintest::readFile(shipped(base)))
          << base << " differs";
    }
  }

  AnsweringPlatform os;
  const monitor::Family* family = nullptr;
};

TEST_F(MonitorOnWine, FreshInstallStatusAndUninstall) {
  ship("v1");
  ASSERT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}))
      << testing::PrintToString(os.texts());
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(dwDriverVersion, 0u);
  expectCopiedFiles();
  if (isWin9xFamily()) {
    EXPECT_FALSE(fileExists(installed("talomon")));
  }
  Listed listed = listedMonitor();
  ASSERT_TRUE(listed.found) << "EnumMonitorsA does not list the monitor";
  EXPECT_EQ(listed.dll, family->dllName);
  // What Wine lists for the monitor, for the record.
  std::printf("major version %u: registered %s / %s, listed %s / %s\n", osMajorVersion,
              family->environment.c_str(), family->dllName.c_str(), listed.environment.c_str(),
              listed.dll.c_str());
  EXPECT_EQ(monitor::monitorInstalled(os, os.prompter(), kMonitor), 1);

  monitor::storeServerAddress(os, os.prompter(), "10.77.0.2");
  DWORD type = 0;
  std::string bytes;
  ASSERT_TRUE(readValue(monitor::kMonitorKey, "Server Address", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, std::string("10.77.0.2\0", 10)) << "REG_SZ with its zero counted";

  monitor::MonitorStatus s = monitor::monitorStatus({os, os, os, os.prompter(), osMajorVersion});
  EXPECT_TRUE(s.installed);
  EXPECT_EQ(s.version, "1");
  EXPECT_EQ(s.address, "10.77.0.2");

  // Installing again with the same files: nothing asked, nothing done.
  EXPECT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}));
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(dwDriverVersion, 1u);

  std::vector<bool> busy;
  EXPECT_EQ(
      monitor::uninstall(os, os.prompter(), osMajorVersion, [&](bool on) { busy.push_back(on); }),
      monitor::UninstallOutcome::Removed);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(os.texts(),
            std::vector<std::string>{"The Printer Sharing Drvier\nunistall successfully."});
  EXPECT_FALSE(listedMonitor().found);
  EXPECT_FALSE(testpc::keyExists(monitor::kMonitorKey)) << "Wine deletes the monitor's whole key";
  expectCopiedFiles();  // the DLLs stay

  os.boxes.clear();
  EXPECT_EQ(monitor::uninstall(os, os.prompter(), osMajorVersion, nullptr),
            monitor::UninstallOutcome::NotInstalled);
  EXPECT_EQ(os.texts(), std::vector<std::string>{"Printer Sharing Port Monitor does not exist!\n"});
}

TEST_F(MonitorOnWine, UpdateFromAnOlderVersionMovesThePrinterOffItsPort) {
  ship("v1");
  ASSERT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}));
  monitor::storeServerAddress(os, os.prompter(), "10.77.0.99");
  DWORD added = addPrinter("Remote Port");
  ASSERT_EQ(added, 0u) << "AddPrinterA";
  ASSERT_EQ(portOfPrinter(), "Remote Port");

  ship("v2");
  os.answers = {Answer::Yes};
  ASSERT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}))
      << testing::PrintToString(os.texts());
  EXPECT_EQ(os.texts(), std::vector<std::string>{"Replace the old driver with newer one ?"});
  EXPECT_EQ(dwDriverVersion, 2u);
  EXPECT_EQ(portOfPrinter(), "LPT1:");
  EXPECT_TRUE(listedMonitor().found);
  expectCopiedFiles();
  EXPECT_EQ(monitor::lprGetVersion(os, installed(family->monitorDll)), 2u);

  // The removal took the stored address with the key: written again silently.
  EXPECT_EQ(monitor::storedServerAddress(os), "");
  os.boxes.clear();
  monitor::storeServerAddress(os, os.prompter(), "10.77.0.2");
  EXPECT_TRUE(os.boxes.empty());
  EXPECT_EQ(monitor::monitorStatus({os, os, os, os.prompter(), osMajorVersion}).version, "2");

  // A printer on the port: "Uninstall" asks; No keeps everything.
  ASSERT_EQ(addPrinter("Remote Port"), 0u);
  ASSERT_EQ(portOfPrinter(), "Remote Port");
  os.answers = {Answer::No};
  EXPECT_EQ(monitor::uninstall(os, os.prompter(), osMajorVersion, nullptr),
            monitor::UninstallOutcome::Declined);
  EXPECT_TRUE(listedMonitor().found);
  EXPECT_EQ(portOfPrinter(), "Remote Port");
  os.answers = {Answer::Yes};
  EXPECT_EQ(monitor::uninstall(os, os.prompter(), osMajorVersion, nullptr),
            monitor::UninstallOutcome::Removed);
  EXPECT_EQ(portOfPrinter(), "LPT1:");
  EXPECT_FALSE(listedMonitor().found);
}

TEST_F(MonitorOnWine, DeclinedUpdateAndNewerInstalledKeepTheRegistration) {
  ship("v2");
  ASSERT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}));
  std::string before = wintest::readFile(installed(family->monitorDll));
  ship("v1");
  EXPECT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}));
  EXPECT_TRUE(os.boxes.empty()) << "an older shipped version asks nothing";
  EXPECT_EQ(dwDriverVersion, 1u);
  EXPECT_EQ(wintest::readFile(installed(family->monitorDll)), before);
}

TEST_F(MonitorOnWine, WelcomePageStates) {
  // No monitor: hidden panel, "0", and the key made empty, which the
  // installation then takes over.
  monitor::MonitorStatus none = monitor::monitorStatus({os, os, os, os.prompter(), osMajorVersion});
  EXPECT_FALSE(none.installed);
  EXPECT_EQ(none.version, "0");
  EXPECT_EQ(none.address, "");
  EXPECT_TRUE(testpc::keyExists(monitor::kMonitorKey));
  EXPECT_FALSE(listedMonitor().found) << "an empty key is listed as a monitor";

  // Registered by an earlier installation whose DLL is gone: Wine keeps a
  // monitor as its key with a "Driver" value.
  ASSERT_EQ(GetModuleHandleA(family->dllName.c_str()), nullptr) << "still loaded";
  ASSERT_EQ(testpc::setString(monitor::kMonitorKey, "Driver", family->dllName), ERROR_SUCCESS);
  monitor::MonitorStatus noDll =
      monitor::monitorStatus({os, os, os, os.prompter(), osMajorVersion});
  EXPECT_TRUE(noDll.installed);
  EXPECT_EQ(noDll.version, "0");
  deleteTree(HKEY_LOCAL_MACHINE, monitor::kMonitorKey);

  ship(isWin9xFamily() ? "v2" : "v80000001");
  ASSERT_TRUE(monitor::installMonitor({os, os, os, os.prompter(), osMajorVersion}))
      << testing::PrintToString(os.texts());
  monitor::MonitorStatus s = monitor::monitorStatus({os, os, os, os.prompter(), osMajorVersion});
  EXPECT_TRUE(s.installed);
  EXPECT_EQ(s.version, isWin9xFamily() ? "2" : "-2147483647");
  // The spooler keeps the DLL loaded in this process while the monitor is
  // registered: it can be renamed but not deleted.
  std::string dll = installed(family->monitorDll);
  EXPECT_NE(GetModuleHandleA(family->dllName.c_str()), nullptr);
  EXPECT_FALSE(DeleteFileA(dll.c_str()));
}

TEST_F(MonitorOnWine, StoredAddressRules) {
  monitor::storeServerAddress(os, os.prompter(), "1.2.3.4");
  monitor::storeServerAddress(os, os.prompter(), "10.0.0.1");
  EXPECT_TRUE(os.boxes.empty());
  os.answers = {Answer::No};
  monitor::storeServerAddress(os, os.prompter(), "10.77.0.2");
  EXPECT_EQ(os.texts(), std::vector<std::string>{
                            "Change the server from \"10.0.0.1\" \nto the new IP address "
                            "\"10.77.0.2\" ?"});
  EXPECT_EQ(monitor::storedServerAddress(os), "10.0.0.1");
  monitor::storeManualAddress(os, os.prompter(), "");  // asked again: No
  os.unexpectedQuestion = false;
  EXPECT_EQ(monitor::storedServerAddress(os), "10.0.0.1");

  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, monitor::kMonitorKey, 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD number = 5;
  RegSetValueExA(key, "Server Address", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number),
                 sizeof number);
  RegCloseKey(key);
  try {
    monitor::storedServerAddress(os);
    ADD_FAILURE() << "no error";
  } catch (const gui::Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Server Address'");
  }
}

// The platform's answers that the in-memory PC copies.
TEST_F(MonitorOnWine, SeamAnswers) {
  platform::RegKey key = 0;
  // A leading backslash: refused on NT versions, taken on a version-4 system.
  EXPECT_EQ(os.regCreateKey(std::string("\\") + monitor::kCompanionKey, key),
            isWin9xFamily() ? 0u : 161u);
  if (key) os.regCloseKey(key);
  ASSERT_EQ(os.regCreateKey(monitor::kCompanionKey, key), 0u);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(os.regQueryValue(key, "No Such Value", type, data), 2u);
  EXPECT_EQ(os.regQueryValue(key, "AppPath", type, data), 0u);
  EXPECT_EQ(type, 1u);
  EXPECT_EQ(data, shipDir() + '\0');
  EXPECT_EQ(os.regCloseKey(key), 0u);

  std::string dir;
  ASSERT_EQ(os.systemDirectory(dir), 0u);
  EXPECT_EQ(dir, systemDir());
  std::string base = family->monitorDll;
  EXPECT_EQ(os.copyFile(shipped(base), installed(base)), 2u) << "nothing shipped yet";
  platform::Module dll = 0;
  // A missing DLL: 126, or 1157 (ERROR_DLL_NOT_FOUND) on a version-4 system.
  EXPECT_EQ(os.loadLibrary(shipped(base), dll), isWin9xFamily() ? 1157u : 126u);

  platform::MonitorInfo2 m{kMonitor, family->environment, family->dllName};
  EXPECT_EQ(os.addMonitor(m), 126u) << "DLL missing from the system directory";
  ship("v1");
  std::string noVersion = wintest::exeDir() + "\\fixture_" + base + "_noversion.dll";
  ASSERT_EQ(os.loadLibrary(noVersion, dll), 0u);
  platform::Proc proc = 0;
  EXPECT_EQ(os.getProcAddress(dll, "LprGetVersion", proc), 127u);
  EXPECT_EQ(os.freeLibrary(dll), 0u);
  EXPECT_EQ(os.copyFile(shipped(base), installed(base)), 0u);
  EXPECT_EQ(os.addMonitor({kMonitor, "Windows 95", family->dllName}), 1805u);
  EXPECT_EQ(os.addMonitor(m), 0u);
  EXPECT_EQ(os.addMonitor(m), 3006u);
  std::uint32_t needed = 0;
  EXPECT_EQ(os.enumMonitorsSize(needed), 122u);
  std::vector<std::string> names;
  EXPECT_EQ(os.enumMonitors(needed, names), 0u);
  EXPECT_NE(std::find(names.begin(), names.end(), "Local Port"), names.end());
  EXPECT_EQ(os.deleteMonitor("Windows 95", kMonitor), 0u) << "the environment is not checked";
  EXPECT_EQ(os.deleteMonitor(family->environment, kMonitor), 3000u);
}

}  // namespace
