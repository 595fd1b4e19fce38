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
#include "journal/journal.h"
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

// A file or folder no user but the administrators may write, as Wine can
// show it.  Wine reports rights from the Unix mode, and always gives the
// file's owner (the Wine user) WRITE_DAC: only a mode without owner bits
// (0055), which a DACL denying the owner makes, reads as such.  `open`
// gives everyone everything again (to remove it).
bool onlyAdministratorsWrite(const std::string& path, bool open = false) {
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
    return false;
  HANDLE token = nullptr;
  char user[256];
  DWORD size = 0;
  bool ok = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
            GetTokenInformation(token, TokenUser, user, sizeof user, &size);
  if (token) CloseHandle(token);
  char aclBytes[256];
  auto* acl = reinterpret_cast<PACL>(aclBytes);
  SECURITY_DESCRIPTOR sd;
  ok = ok && InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) &&
       (open || AddAccessDeniedAce(acl, ACL_REVISION, FILE_ALL_ACCESS,
                                   reinterpret_cast<TOKEN_USER*>(user)->User.Sid)) &&
       AddAccessAllowedAce(acl, ACL_REVISION,
                           open ? FILE_ALL_ACCESS : FILE_GENERIC_READ | FILE_GENERIC_EXECUTE,
                           everyone) &&
       InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
       SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) &&
       SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, &sd);
  FreeSid(everyone);
  return ok;
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
      onlyAdministratorsWrite(shipped(base), true);
      DeleteFileA(shipped(base).c_str());
    }
  }

  // Ships fixture_<monitor dll>_<variant>.dll (and taloui) as .dl_ files.
  // Ships fixture_<monitor dll>_<variant>.dll (and taloui) as .dl_ files,
  // as the companion utilities install them: in a folder, and as files,
  // that only administrators can write (the NT 6 check refuses others).
  void ship(const std::string& variant) {
    std::string base = family->monitorDll;
    std::string from = wintest::exeDir() + "\\fixture_" + base + "_" + variant + ".dll";
    std::vector<std::pair<std::string, std::string>> files{{from, shipped(base)}};
    if (base == "talomon")
      files.push_back({wintest::exeDir() + "\\fixture_taloui.dll", shipped("taloui")});
    for (const auto& [source, target] : files) {
      onlyAdministratorsWrite(target, true);
      ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE))
          << source << ": " << GetLastError();
      ASSERT_TRUE(onlyAdministratorsWrite(target)) << GetLastError();
    }
    ASSERT_TRUE(onlyAdministratorsWrite(shipDir())) << GetLastError();
  }
  std::string installed(const std::string& base) const {
    return systemDir() + "\\" + base + ".dll";
  }
  std::string shipped(const std::string& base) const {
    return shipDir() + "\\" + base + ".dl_";
  }
  // Nothing of a step's own is left in the system directory: no folder
  // of its copies, no new or old files, no journal.
  void expectNoLeftovers() {
    for (const char* pattern : {"\\PrnWizard.*", "\\*.new", "\\*.old"}) {
      WIN32_FIND_DATAA found;
      HANDLE h = FindFirstFileA((systemDir() + pattern).c_str(), &found);
      EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "left: " << found.cFileName;
      if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
    EXPECT_FALSE(testpc::keyExists(journal::kJournalKey));
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
  expectNoLeftovers();
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
  EXPECT_EQ(monitor::uninstall({os, os, os, os.prompter(), osMajorVersion},
                               [&](bool on) { busy.push_back(on); }),
            monitor::UninstallOutcome::Removed);
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  EXPECT_EQ(os.texts(),
            std::vector<std::string>{"The Printer Sharing Drvier\nunistall successfully."});
  EXPECT_FALSE(listedMonitor().found);
  EXPECT_FALSE(testpc::keyExists(monitor::kMonitorKey)) << "Wine deletes the monitor's whole key";
  expectCopiedFiles();  // the DLLs stay

  os.boxes.clear();
  EXPECT_EQ(monitor::uninstall({os, os, os, os.prompter(), osMajorVersion}, nullptr),
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
  // The old DLL, renamed while the spooler held it, is gone with its monitor.
  expectNoLeftovers();
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
  EXPECT_EQ(monitor::uninstall({os, os, os, os.prompter(), osMajorVersion}, nullptr),
            monitor::UninstallOutcome::Declined);
  EXPECT_TRUE(listedMonitor().found);
  EXPECT_EQ(portOfPrinter(), "Remote Port");
  os.answers = {Answer::Yes};
  EXPECT_EQ(monitor::uninstall({os, os, os, os.prompter(), osMajorVersion}, nullptr),
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
  // No monitor: hidden panel, "0", and no key made.
  monitor::MonitorStatus none = monitor::monitorStatus({os, os, os, os.prompter(), osMajorVersion});
  EXPECT_FALSE(none.installed);
  EXPECT_EQ(none.version, "0");
  EXPECT_EQ(none.address, "");
  EXPECT_FALSE(testpc::keyExists(monitor::kMonitorKey));
  // A key an earlier wizard made is no monitor.
  ASSERT_EQ(testpc::setString(monitor::kMonitorKey, "Server Address", "10.77.0.2"), ERROR_SUCCESS);
  EXPECT_FALSE(listedMonitor().found) << "a key without a DLL is listed as a monitor";

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
  EXPECT_EQ(os.copyFile(shipped(base), installed(base), false), 2u) << "nothing shipped yet";
  platform::Module dll = 0;
  // A missing DLL: 126, or 1157 (ERROR_DLL_NOT_FOUND) on a version-4 system.
  EXPECT_EQ(os.loadLibrary(shipped(base), dll), isWin9xFamily() ? 1157u : 126u);

  platform::MonitorInfo2 m{kMonitor, family->environment, family->dllName};
  std::uint32_t needed_ports = 0;
  EXPECT_EQ(os.addMonitor(m), 126u) << "DLL missing from the system directory";
  ship("v1");
  std::string noVersion = wintest::exeDir() + "\\fixture_" + base + "_noversion.dll";
  ASSERT_EQ(os.loadLibrary(noVersion, dll), 0u);
  platform::Proc proc = 0;
  EXPECT_EQ(os.getProcAddress(dll, "LprGetVersion", proc), 127u);
  EXPECT_EQ(os.freeLibrary(dll), 0u);
  EXPECT_EQ(os.copyFile(shipped(base), installed(base), false), 0u);
  EXPECT_EQ(os.copyFile(shipped(base), installed(base), true), 80u);
  EXPECT_EQ(os.addMonitor({kMonitor, "Windows 95", family->dllName}), 1805u);
  std::vector<std::string> ports;
  EXPECT_EQ(os.enumPortsSize(needed_ports), 122u);
  EXPECT_EQ(os.enumPorts(needed_ports, ports), 0u);
  EXPECT_NE(std::find(ports.begin(), ports.end(), "LPT1:"), ports.end());
  EXPECT_EQ(std::find(ports.begin(), ports.end(), "Remote Port"), ports.end());
  EXPECT_EQ(os.addMonitor(m), 0u);
  EXPECT_EQ(os.addMonitor(m), 3006u);
  EXPECT_EQ(os.enumPortsSize(needed_ports), 122u);
  EXPECT_EQ(os.enumPorts(needed_ports, ports), 0u);
  EXPECT_NE(std::find(ports.begin(), ports.end(), "Remote Port"), ports.end())
      << "the monitor's port while it is registered";
  std::uint32_t needed = 0;
  EXPECT_EQ(os.enumMonitorsSize(needed), 122u);
  std::vector<std::string> names;
  EXPECT_EQ(os.enumMonitors(needed, names), 0u);
  EXPECT_NE(std::find(names.begin(), names.end(), "Local Port"), names.end());
  EXPECT_EQ(os.deleteMonitor("Windows 95", kMonitor), 0u) << "the environment is not checked";
  EXPECT_EQ(os.deleteMonitor(family->environment, kMonitor), 3000u);
}

// The file, folder and registry answers the in-memory PC copies
// (tests/native/monitor_seam_test.cpp), and what Wine can show of rights.
TEST_F(MonitorOnWine, FilesFoldersAndKeysAnswer) {
  const std::string dir = shipDir() + "\\seam";
  const std::string a = dir + "\\a.txt", b = dir + "\\b.txt";
  ASSERT_EQ(os.createDirectory(dir, true), 0u);
  EXPECT_EQ(os.createDirectory(dir, true), 183u) << "a folder there already is never taken";
  EXPECT_EQ(os.createDirectory(dir + "\\none\\x", false), 3u);
  ASSERT_TRUE(CopyFileA((wintest::exeDir() + "\\fixture_taloui.dll").c_str(), a.c_str(), FALSE));
  EXPECT_EQ(os.removeDirectory(dir), 145u);
  bool writable = false;
  if (GetVersion() & 0x80000000u) {
    EXPECT_EQ(os.writableByOthers(a, writable), 120u) << "the 9x family has no security";
  } else {
    // Wine shows rights from the Unix mode only.  A new file is its owner's,
    // this process's account, so no one else's; Everyone's write bits make
    // it others'.
    EXPECT_EQ(os.writableByOthers(a, writable), 0u);
    EXPECT_FALSE(writable);
    ASSERT_TRUE(onlyAdministratorsWrite(a, true));
    EXPECT_EQ(os.writableByOthers(a, writable), 0u);
    EXPECT_TRUE(writable);
    ASSERT_TRUE(onlyAdministratorsWrite(a));
    EXPECT_EQ(os.writableByOthers(a, writable), 0u);
    EXPECT_FALSE(writable);
    EXPECT_EQ(os.writableByOthers(dir + "\\none", writable), 2u);
  }
  std::uint32_t attributes = 0;
  EXPECT_EQ(os.fileAttributes(dir + "\\none", attributes), 2u);
  EXPECT_EQ(os.fileAttributes(dir + "\\none\\x", attributes), 3u);
  // A read-only file is renamed, not deleted.
  EXPECT_EQ(os.copyFile(a, b, false), 0u);
  ASSERT_EQ(os.setFileAttributes(b, platform::kFileAttributeReadOnly), 0u);
  EXPECT_EQ(os.fileAttributes(b, attributes), 0u);
  EXPECT_TRUE(attributes & platform::kFileAttributeReadOnly);
  // Windows refuses to copy over a read-only file (5), as the in-memory
  // PC does; Wine replaces it.  The installation asks for the attribute
  // before it replaces anything.
  EXPECT_EQ(os.deleteFile(b), 5u);
  EXPECT_EQ(os.moveFile(b, a), 183u);
  EXPECT_EQ(os.moveFile(b, b + ".old"), 0u);
  EXPECT_EQ(os.moveFile(b, a), 2u);
  for (const std::string& f : {a, b + ".old"}) {
    onlyAdministratorsWrite(f, true);
    EXPECT_EQ(os.setFileAttributes(f, platform::kFileAttributeNormal), 0u);
    EXPECT_EQ(os.deleteFile(f), 0u);
  }
  EXPECT_EQ(os.deleteFile(a), 2u);
  EXPECT_EQ(os.removeDirectory(dir), 0u);
  EXPECT_EQ(os.removeDirectory(dir), 2u);

  const std::string key = "Software\\Varn\\Seam Test";
  platform::RegKey k = 0;
  EXPECT_EQ(os.regOpenKey(key, k), 2u);
  ASSERT_EQ(os.regCreateKey(key + "\\Sub", k), 0u);
  EXPECT_EQ(os.regCloseKey(k), 0u);
  ASSERT_EQ(os.regOpenKey(key, k), 0u);
  EXPECT_EQ(os.regSetValue(k, "m", platform::kRegMultiSz, std::string("a\0\0b\0\0", 6)), 0u);
  std::string name, data;
  std::uint32_t type = 0;
  EXPECT_EQ(os.regEnumValue(k, 0, name, type, data), 0u);
  EXPECT_EQ(name, "m");
  EXPECT_EQ(type, platform::kRegMultiSz);
  EXPECT_EQ(data, std::string("a\0\0b\0\0", 6));
  EXPECT_EQ(os.regEnumValue(k, 1, name, type, data), 259u);
  EXPECT_EQ(os.regEnumKey(k, 0, name), 0u);
  EXPECT_EQ(name, "Sub");
  EXPECT_EQ(os.regEnumKey(k, 1, name), 259u);
  EXPECT_EQ(os.regDeleteValue(k, "m"), 0u);
  EXPECT_EQ(os.regDeleteValue(k, "m"), 2u);
  // Windows NT refuses a key with subkeys (5); Wine deletes them with it.
  EXPECT_EQ(os.regDeleteKey(key + "\\Sub"), 0u);
  EXPECT_EQ(os.regDeleteKey(key), 0u);
  EXPECT_EQ(os.regDeleteKey(key), 2u);
  EXPECT_EQ(os.regEnumValue(k, 0, name, type, data), 1018u);
  EXPECT_EQ(os.regCloseKey(k), 0u);
}

}  // namespace
