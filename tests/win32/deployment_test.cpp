// The facts and objects of a deployment on the real system: who the process
// runs as and in which session, the machine-wide guard between processes,
// the per-user default printer's registration, and the folders only the
// administrators may write.
#include <gtest/gtest.h>

#include <memory>

#include "app/instance_guard.h"
#include "app/kept_log.h"
#include "app/session.h"
#include "platform/win32/win32_platform.h"
#include "printers/logon_default.h"
#include "tests/win32/processes.h"

namespace {

std::string lower(std::string s) {
  CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

// A test run is a person's: their own account, in their own session.
TEST(Win32Deployment, APersonsRunIsTheSignedInUsersOwnAndSeen) {
  platform::Win32Platform os;
  platform::Account account;
  ASSERT_EQ(os.processAccount(account), platform::kOk);
  EXPECT_FALSE(account.system);
  EXPECT_NE(account.name.find('\\'), std::string::npos) << account.name;
  std::uint32_t session = 0;
  ASSERT_EQ(os.sessionId(session), platform::kOk);
  std::string signedIn;
  ASSERT_EQ(os.sessionUser(session, signedIn), platform::kOk);
  EXPECT_EQ(lower(signedIn), lower(account.name));
  app::Session where = app::currentSession(os);
  EXPECT_TRUE(where.signedInUsersOwn()) << where.describe();
  EXPECT_FALSE(where.unseen()) << where.describe();
}

// The guard is a mutex of the machine: another process's holds this one
// off, and is taken once that process is gone (even killed holding it).
TEST(Win32Deployment, TheGuardIsSeenAcrossProcesses) {
  platform::Win32Platform os;
  {
    app::InstanceGuard mine(os, os.osMajorVersion());
    ASSERT_TRUE(mine.tryTake()) << mine.error();
    wintest::Process probe("\"" + wintest::exeDir() + "\\hold_guard.exe\" probe");
    ASSERT_TRUE(probe.started());
    EXPECT_EQ(probe.waitExit(30000), 1) << "the other process sees it taken";
  }
  auto holder = std::make_unique<wintest::Process>("\"" + wintest::exeDir() +
                                                   "\\hold_guard.exe\" 120");
  ASSERT_TRUE(holder->started());
  std::unique_ptr<app::InstanceGuard> guard;
  for (int i = 0; i < 300; ++i) {
    guard = std::make_unique<app::InstanceGuard>(os, os.osMajorVersion());
    if (!guard->tryTake()) break;
    guard.reset();  // the holder has not taken it yet: let it go again
    Sleep(wintest::patience(100));
  }
  ASSERT_TRUE(guard) << "the holder never took the guard";
  EXPECT_EQ(guard->error(), platform::kOk);
  EXPECT_FALSE(guard->take(500));
  // Killed while it holds the guard: the guard is free.
  EXPECT_EQ(holder->waitExit(0), -1);
  holder.reset();
  EXPECT_TRUE(guard->take(wintest::patience(5000)));
}

// The registration that sets each user's default printer at their logon,
// written and removed through the real registry.
TEST(Win32Deployment, TheLogonDefaultIsRegisteredAndRemoved) {
  platform::Win32Platform os;
  bool removed = true;
  ASSERT_EQ(printers::unregisterLogonDefault(os, removed), platform::kOk);
  ASSERT_EQ(printers::registerLogonDefault(os, os, os, "HP LaserJet 1100"), platform::kOk);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, printers::kLogonDefaultKey, 0, KEY_READ, &key),
            ERROR_SUCCESS);
  auto value = [&](const char* name) {
    char text[512] = "";
    DWORD size = sizeof text, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
      return std::string("(none)");
    return std::string(text);
  };
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  EXPECT_EQ(value("StubPath"), "\"" + std::string(system) +
                                   "\\rundll32.exe\" printui.dll,PrintUIEntry /y /n "
                                   "\"HP LaserJet 1100\"");
  EXPECT_EQ(value(""), "Printer Sharing Server default printer");
  SYSTEMTIME now;
  GetSystemTime(&now);
  EXPECT_EQ(value("Version").rfind(std::to_string(now.wYear) + ",", 0), 0u) << value("Version");
  RegCloseKey(key);
  ASSERT_EQ(printers::unregisterLogonDefault(os, removed), platform::kOk);
  EXPECT_TRUE(removed);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, printers::kLogonDefaultKey, 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(printers::unregisterLogonDefault(os, removed), platform::kOk);
  EXPECT_FALSE(removed);
}

// A folder made for the administrators only is closed to other accounts; a
// folder made plainly in the common application data folder inherits its
// permissions.  The kept log goes into such closed folders.
TEST(Win32Deployment, AdminOnlyFoldersAreClosedToOthers) {
  platform::Win32Platform os;
  std::string common;
  ASSERT_EQ(os.commonAppDataFolder(common), platform::kOk);
  EXPECT_EQ(common, "C:\\ProgramData");
  const std::string closed = common + "\\wintest closed";
  RemoveDirectoryA(closed.c_str());
  ASSERT_EQ(os.createDirectory(closed, true), platform::kOk);
  EXPECT_EQ(os.createDirectory(closed, true), platform::kErrorAlreadyExists);
  bool writable = true;
  ASSERT_EQ(os.writableByOthers(closed, writable), platform::kOk);
  EXPECT_FALSE(writable);
  // What is made inside inherits the closed permissions.
  const std::string inside = closed + "\\inside";
  ASSERT_EQ(os.createDirectory(inside, false), platform::kOk);
  ASSERT_EQ(os.writableByOthers(inside, writable), platform::kOk);
  EXPECT_FALSE(writable);
  RemoveDirectoryA(inside.c_str());
  RemoveDirectoryA(closed.c_str());
  EXPECT_EQ(os.writableByOthers(closed, writable), platform::kErrorFileNotFound);

  std::string why;
  std::string kept = app::keptLogPath(os, why);
  EXPECT_EQ(kept, common + "\\Varn\\PRN WIZARD\\PrnWizard.log") << why;
  ASSERT_EQ(os.writableByOthers(common + "\\Varn", writable), platform::kOk);
  EXPECT_FALSE(writable);
}

}  // namespace

namespace {

// The calls the 32-bit wizard hands over with on 64-bit Windows: the
// machine as this process sees it, the program's own path, a file held
// against writes, renames and deletion while it is hashed and started, and
// the exit code of the program started.
TEST(Win32Deployment, TheHandOverCallsHoldTheProgramAndPassItsExitCode) {
  platform::Win32Platform os;
  platform::Machine machine;
  ASSERT_EQ(os.machine(machine), platform::kOk);
  EXPECT_EQ(machine.process64(), sizeof(void*) == 8);
  if (machine.native == platform::Architecture::X86) {
    EXPECT_FALSE(machine.guest);
  }
  std::string self;
  ASSERT_EQ(os.programPath(self), platform::kOk);
  EXPECT_EQ(lower(self), lower(wintest::exeDir() + "\\win32_deployment_test.exe"));

  const std::string folder = wintest::exeDir() + "\\hand_over_test";
  const std::string program = folder + "\\PrnWizard64.exe";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((wintest::exeDir() + "\\hold_guard.exe").c_str(), program.c_str(), FALSE));
  platform::FileId held = 0;
  ASSERT_EQ(os.openFileToRead(program, held), platform::kOk);
  std::string bytes;
  ASSERT_EQ(os.readFile(held, 1u << 26, bytes), platform::kOk);
  EXPECT_EQ(bytes.substr(0, 2), "MZ");
  EXPECT_EQ(os.readFile(held, 16, bytes), platform::kOk) << "read to its end already";
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(os.writeFile(program, "x", true), platform::kErrorSharingViolation);
  EXPECT_EQ(os.moveFile(program, folder + "\\aside.exe"), platform::kErrorSharingViolation);
  EXPECT_EQ(os.deleteFile(program), platform::kErrorSharingViolation);
  platform::ProcessId process = 0;
  // No argument: the fixture's usage, exit code 2.
  ASSERT_EQ(os.startProcess(program, "\"" + program + "\"", process), platform::kOk);
  EXPECT_EQ(os.closeFile(held), platform::kOk);
  std::uint32_t code = 0;
  ASSERT_EQ(os.waitForProcess(process, code), platform::kOk);
  EXPECT_EQ(code, 2u);
  EXPECT_EQ(os.deleteFile(program), platform::kOk) << "let go";
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
