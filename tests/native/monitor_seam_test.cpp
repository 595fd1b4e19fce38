// The in-memory PC's registry, files and monitors answer as Wine does (the
// same answers are checked against Wine in tests/win32/monitor_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/fake/fake_pc.h"

namespace {

using platform::FakePc;
using platform::kOk;

const std::string kSys = "C:\\windows\\system32";
const std::string kKey = "System\\CurrentControlSet\\Control\\Print\\Monitors\\Test Monitor";

TEST(FakeMonitors, AnswersAsWinesSpooler) {
  FakePc pc;
  EXPECT_EQ(pc.monitorNames(), std::vector<std::string>{"Local Port"});
  std::uint32_t needed = 0;
  EXPECT_EQ(pc.enumMonitorsSize(needed), platform::kErrorInsufficientBuffer);
  std::vector<std::string> names;
  EXPECT_EQ(pc.enumMonitors(needed - 1, names), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(pc.enumMonitors(needed, names), kOk);
  EXPECT_EQ(names, std::vector<std::string>{"Local Port"});

  platform::MonitorInfo2 m{"Test Monitor", "Windows NT x86", "test.dll"};
  EXPECT_EQ(pc.addMonitor(m), platform::kErrorModNotFound) << "DLL missing";
  pc.putFile(kSys + "\\test.dll", FakePc::plainDll());
  EXPECT_EQ(pc.addMonitor(m), platform::kErrorProcNotFound) << "no monitor entry";
  pc.putFile(kSys + "\\test.dll", FakePc::monitorDll(1u));
  EXPECT_EQ(pc.addMonitor({m.name, "Windows 95", m.dllName}), platform::kErrorInvalidEnvironment);
  // Settings written before the registration stay in the key.
  pc.setRegistryString(kKey, "Server Address", "10.77.0.2");
  EXPECT_EQ(pc.addMonitor(m), kOk);
  EXPECT_EQ(pc.registryString(kKey, "Server Address"), "10.77.0.2");
  EXPECT_EQ(pc.registryString(kKey, "Driver"), "test.dll");
  EXPECT_EQ(pc.addMonitor(m), platform::kErrorPrintMonitorAlreadyInstalled);
  EXPECT_EQ(pc.addMonitor({"Another", "Windows 4.0", "test.dll"}), kOk);
  // The registry's order, not the order of registration.
  EXPECT_EQ(pc.monitorNames(), (std::vector<std::string>{"Another", "Local Port", "Test Monitor"}));

  pc.setRegistryString(kKey + "\\Ports\\Remote Port", "Setting", "x");
  EXPECT_EQ(pc.deleteMonitor("any environment", "Test Monitor"), kOk);
  EXPECT_FALSE(pc.registryKeyExists(kKey));
  EXPECT_FALSE(pc.registryKeyExists(kKey + "\\Ports\\Remote Port"));
  EXPECT_EQ(pc.deleteMonitor("Windows NT x86", "Test Monitor"), platform::kErrorUnknownPrintMonitor);
  EXPECT_EQ(pc.monitorNames(), (std::vector<std::string>{"Another", "Local Port"}));
}

TEST(FakeRegistry, KeysAndValuesIgnoreCaseAndHandlesOutliveNoKey) {
  FakePc pc;
  platform::RegKey key = 0;
  ASSERT_EQ(pc.regCreateKey("Software\\A\\B", key), kOk);
  EXPECT_TRUE(pc.registryKeyExists("software\\a"));
  EXPECT_EQ(pc.regSetString(key, "Value", "text"), kOk);
  std::uint32_t type = 0;
  std::string data;
  EXPECT_EQ(pc.regQueryValue(key, "VALUE", type, data), kOk);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(data, std::string("text\0", 5));
  EXPECT_EQ(pc.regQueryValue(key, "Other", type, data), platform::kErrorFileNotFound);
  pc.deleteRegistryTree("SOFTWARE\\a");
  EXPECT_EQ(pc.regQueryValue(key, "Value", type, data), platform::kErrorKeyDeleted);
  EXPECT_EQ(pc.regCloseKey(key), kOk);
  EXPECT_EQ(pc.regCloseKey(key), platform::kErrorInvalidHandle);
  EXPECT_EQ(pc.regCreateKey("\\Software\\A", key), platform::kErrorBadPathname);
  pc.registryWritable = false;
  EXPECT_EQ(pc.regCreateKey("Software\\A", key), platform::kErrorAccessDenied);
}

TEST(FakeFiles, CopiesLoadsAndExports) {
  FakePc pc;
  pc.putFile("C:\\ship\\a.dl_", FakePc::monitorDll(0x80000001u, "a"));
  pc.putFile("C:\\ship\\notes.txt", FakePc::dataFile("n"));
  EXPECT_EQ(pc.copyFile("C:\\ship\\missing.dl_", kSys + "\\a.dll", false),
            platform::kErrorFileNotFound);
  EXPECT_EQ(pc.copyFile("C:\\nowhere\\a.dl_", kSys + "\\a.dll", false),
            platform::kErrorPathNotFound);
  EXPECT_EQ(pc.copyFile("C:\\ship\\a.dl_", "C:\\nowhere\\a.dll", false),
            platform::kErrorPathNotFound);
  EXPECT_EQ(pc.copyFile("C:\\ship\\a.dl_", kSys + "\\a.dll", false), kOk);
  EXPECT_EQ(pc.copyFile("C:\\ship\\notes.txt", kSys + "\\A.DLL", true), platform::kErrorFileExists);
  EXPECT_EQ(pc.copyFile("C:\\ship\\notes.txt", kSys + "\\A.DLL", false), kOk) << "overwrites";
  EXPECT_EQ(pc.file(kSys + "\\a.dll")->content, "n");

  platform::Module m = 0;
  EXPECT_EQ(pc.loadLibrary("C:\\ship\\notes.txt", m), platform::kErrorBadExeFormat);
  EXPECT_EQ(pc.loadLibrary("C:\\ship\\none.dll", m), platform::kErrorModNotFound);
  ASSERT_EQ(pc.loadLibrary("C:\\ship\\a.dl_", m), kOk);
  platform::Proc p = 0;
  EXPECT_EQ(pc.getProcAddress(m, "Missing", p), platform::kErrorProcNotFound);
  ASSERT_EQ(pc.getProcAddress(m, "LprGetVersion", p), kOk);
  EXPECT_EQ(pc.callDwordProc(p), 0x80000001u);
  // A loaded DLL cannot be overwritten.
  EXPECT_EQ(pc.copyFile(kSys + "\\a.dll", "C:\\ship\\a.dl_", false),
            platform::kErrorSharingViolation);
  EXPECT_EQ(pc.freeLibrary(m), kOk);
  EXPECT_EQ(pc.callDwordProc(p), 0u);
  EXPECT_EQ(pc.staleProcCalls, 1);
  EXPECT_EQ(pc.freeLibrary(m), platform::kErrorModNotFound);

  std::string dir;
  EXPECT_EQ(pc.systemDirectory(dir), kOk);
  EXPECT_EQ(dir, kSys);
}

// What Windows lets a setup program do with files (the Wine half is in
// tests/win32/monitor_test.cpp): a DLL in use, a read-only file, a file
// open elsewhere, folders made for administrators.
TEST(FakeFiles, RenamesDeletionsAttributesFoldersAndRights) {
  FakePc pc;
  const std::string dll = kSys + "\\m.dll";
  pc.putFile(dll, FakePc::monitorDll(1u, "old"));
  pc.registerMonitor("M", "m.dll");
  // The spooler runs it: no overwrite, no deletion, but a rename, after
  // which it still runs the renamed file.
  pc.putFile("C:\\ship\\m.dl_", FakePc::monitorDll(2u, "new"));
  EXPECT_EQ(pc.copyFile("C:\\ship\\m.dl_", dll, false), platform::kErrorSharingViolation);
  EXPECT_EQ(pc.deleteFile(dll), platform::kErrorAccessDenied);
  EXPECT_EQ(pc.moveFile(dll, kSys + "\\m.old"), kOk);
  EXPECT_EQ(pc.deleteFile(kSys + "\\m.old"), platform::kErrorAccessDenied);
  EXPECT_EQ(pc.moveFile("C:\\ship\\m.dl_", kSys + "\\m.old"), platform::kErrorAlreadyExists);
  EXPECT_EQ(pc.moveFile(kSys + "\\none", dll), platform::kErrorFileNotFound);
  EXPECT_EQ(pc.deleteMonitor("", "M"), kOk);
  EXPECT_EQ(pc.deleteFile(kSys + "\\m.old"), kOk) << "unloaded with its monitor";
  EXPECT_EQ(pc.deleteFile(kSys + "\\m.old"), platform::kErrorFileNotFound);

  // Read-only: renamed, not replaced or deleted; copies keep the attribute.
  pc.files["C:\\ship\\m.dl_"].readOnly = true;
  std::uint32_t a = 0;
  EXPECT_EQ(pc.fileAttributes("C:\\ship\\m.dl_", a), kOk);
  EXPECT_EQ(a & platform::kFileAttributeReadOnly, platform::kFileAttributeReadOnly);
  EXPECT_EQ(pc.copyFile("C:\\ship\\m.dl_", dll, true), kOk);
  EXPECT_TRUE(pc.file(dll)->readOnly);
  EXPECT_EQ(pc.copyFile("C:\\ship\\m.dl_", dll, false), platform::kErrorAccessDenied);
  EXPECT_EQ(pc.deleteFile(dll), platform::kErrorAccessDenied);
  EXPECT_EQ(pc.moveFile(dll, kSys + "\\m.ro"), kOk);
  EXPECT_EQ(pc.setFileAttributes(kSys + "\\m.ro", platform::kFileAttributeNormal), kOk);
  EXPECT_EQ(pc.deleteFile(kSys + "\\m.ro"), kOk);
  EXPECT_EQ(pc.fileAttributes(kSys + "\\m.ro", a), platform::kErrorFileNotFound);
  EXPECT_EQ(pc.fileAttributes(kSys, a), kOk);
  EXPECT_EQ(a, platform::kFileAttributeDirectory);

  // Open elsewhere without sharing: nothing goes.
  pc.lockedFiles.insert("C:\\ship\\m.dl_");
  EXPECT_EQ(pc.moveFile("C:\\ship\\m.dl_", "C:\\ship\\x"), platform::kErrorSharingViolation);
  EXPECT_EQ(pc.copyFile("C:\\ship\\m.dl_", "C:\\ship\\x", false), platform::kErrorSharingViolation);

  // Folders: made once, never taken when there; removed only when empty.
  EXPECT_EQ(pc.createDirectory("C:\\none\\x", true), platform::kErrorPathNotFound);
  EXPECT_EQ(pc.createDirectory(kSys + "\\stage", true), kOk);
  EXPECT_EQ(pc.createDirectory(kSys + "\\stage", true), platform::kErrorAlreadyExists);
  EXPECT_EQ(pc.createDirectory(dll + "x", false), kOk);
  EXPECT_EQ(pc.createDirectory(kSys + "\\localspl.dll", false), platform::kErrorAlreadyExists);
  EXPECT_TRUE(pc.adminOnlyFolders.count(kSys + "\\STAGE"));
  EXPECT_EQ(pc.copyFile("C:\\ship\\notes", kSys + "\\stage\\n", false),
            platform::kErrorFileNotFound);
  pc.putFile("C:\\ship\\notes", FakePc::dataFile("n"));
  EXPECT_EQ(pc.copyFile("C:\\ship\\notes", kSys + "\\stage\\n", false), kOk);
  EXPECT_EQ(pc.removeDirectory(kSys + "\\stage"), platform::kErrorDirNotEmpty);
  EXPECT_EQ(pc.deleteFile(kSys + "\\stage\\n"), kOk);
  EXPECT_EQ(pc.removeDirectory(kSys + "\\stage"), kOk);
  EXPECT_EQ(pc.removeDirectory(kSys + "\\stage"), platform::kErrorFileNotFound);
  EXPECT_FALSE(pc.adminOnlyFolders.count(kSys + "\\stage"));

  // Who may write: a folder users may write passes it on to new files; a
  // rename keeps a file's rights.
  pc.openFolders.insert("C:\\ship");
  bool writable = true;
  EXPECT_EQ(pc.writableByOthers(kSys, writable), kOk);
  EXPECT_FALSE(writable);
  EXPECT_EQ(pc.writableByOthers("C:\\ship", writable), kOk);
  EXPECT_TRUE(writable);
  EXPECT_EQ(pc.copyFile(kSys + "\\localspl.dll", "C:\\ship\\l.dll", false), kOk);
  EXPECT_EQ(pc.writableByOthers("C:\\ship\\l.dll", writable), kOk);
  EXPECT_TRUE(writable);
  EXPECT_EQ(pc.writableByOthers("C:\\ship\\none", writable), platform::kErrorFileNotFound);
}

TEST(FakeRegistry, OpensWithoutCreatingEnumeratesAndDeletesLeafKeys) {
  FakePc pc;
  platform::RegKey key = 0;
  EXPECT_EQ(pc.regOpenKey("Software\\A", key), platform::kErrorFileNotFound);
  EXPECT_FALSE(pc.registryKeyExists("Software\\A")) << "opening creates nothing";
  pc.setRegistryString("Software\\A", "b", "1");
  pc.setRegistryValue("Software\\A", "a", {platform::kRegBinary, std::string("\0\1", 2)});
  pc.setRegistryString("Software\\A\\Sub", "c", "2");
  ASSERT_EQ(pc.regOpenKey("software\\a", key), kOk);
  std::string name, data;
  std::uint32_t type = 0;
  ASSERT_EQ(pc.regEnumValue(key, 0, name, type, data), kOk);
  EXPECT_EQ(name, "a");
  EXPECT_EQ(type, platform::kRegBinary);
  EXPECT_EQ(data, std::string("\0\1", 2));
  EXPECT_EQ(pc.regEnumValue(key, 2, name, type, data), platform::kErrorNoMoreItems);
  EXPECT_EQ(pc.regEnumKey(key, 0, name), kOk);
  EXPECT_EQ(name, "Sub");
  EXPECT_EQ(pc.regEnumKey(key, 1, name), platform::kErrorNoMoreItems);
  EXPECT_EQ(pc.regSetValue(key, "m", platform::kRegMultiSz, std::string("x\0\0", 3)), kOk);
  EXPECT_EQ(pc.registryValue("Software\\A", "M")->type, platform::kRegMultiSz);
  EXPECT_EQ(pc.regDeleteValue(key, "m"), kOk);
  EXPECT_EQ(pc.regDeleteValue(key, "m"), platform::kErrorFileNotFound);
  EXPECT_EQ(pc.regDeleteKey("Software\\A"), platform::kErrorAccessDenied) << "it has a subkey";
  EXPECT_EQ(pc.regDeleteKey("Software\\A\\Sub"), kOk);
  EXPECT_EQ(pc.regDeleteKey("Software\\A"), kOk);
  EXPECT_EQ(pc.regEnumValue(key, 0, name, type, data), platform::kErrorKeyDeleted);
  EXPECT_EQ(pc.regDeleteKey("Software\\A"), platform::kErrorFileNotFound);
  EXPECT_EQ(pc.regCloseKey(key), kOk);
}

TEST(FakeMonitors, PortsDefaultPrinterAndAMonitorWhoseStartFails) {
  FakePc pc;
  std::uint32_t needed = 0;
  std::vector<std::string> ports;
  EXPECT_EQ(pc.enumPortsSize(needed), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(pc.enumPorts(needed, ports), kOk);
  EXPECT_EQ(ports.front(), "LPT1:");
  EXPECT_EQ(std::count(ports.begin(), ports.end(), "Remote Port"), 0);
  pc.putFile(kSys + "\\test.dll", FakePc::monitorDll(1u));
  pc.setRegistryString(kKey, "Server Address", "10.77.0.2");
  ASSERT_EQ(pc.addMonitor({"Test Monitor", "Windows NT x86", "test.dll"}), kOk);
  EXPECT_EQ(pc.enumPortsSize(needed), platform::kErrorInsufficientBuffer);
  EXPECT_EQ(pc.enumPorts(needed, ports), kOk);
  EXPECT_EQ(ports.back(), "Remote Port") << "the monitor's port while it runs";
  EXPECT_EQ(pc.deleteMonitor("", "Test Monitor"), kOk);

  // A monitor whose start fails is refused, and takes the key made for it.
  pc.files[kSys + "\\test.dll"].initFails = true;
  pc.setRegistryString(kKey, "Server Address", "10.77.0.2");
  EXPECT_EQ(pc.addMonitor({"Test Monitor", "Windows NT x86", "test.dll"}),
            platform::kErrorProcNotFound);
  EXPECT_FALSE(pc.registryKeyExists(kKey));
  EXPECT_FALSE(pc.spoolerModules.count("Test Monitor"));

  std::string name = "x";
  EXPECT_EQ(pc.defaultPrinter(name), platform::kErrorFileNotFound);
  EXPECT_EQ(name, "");
  pc.addPrinter("P", "LPT1:");
  ASSERT_EQ(pc.setDefaultPrinter("p"), kOk);
  EXPECT_EQ(pc.defaultPrinter(name), kOk);
  EXPECT_EQ(name, "P");
}

TEST(FakeFaults, TheNthCallFailsAndAKilledProcessChangesNothing) {
  FakePc pc;
  pc.resetCallCount();
  platform::RegKey key = 0;
  pc.failNthCall(2, 1234);
  EXPECT_EQ(pc.regCreateKey("Software\\A", key), kOk);
  EXPECT_EQ(pc.regSetString(key, "v", "1"), 1234u);
  EXPECT_EQ(pc.regSetString(key, "v", "1"), kOk);
  EXPECT_EQ(pc.callCount(), 3u);
  pc.killAfter(1);
  EXPECT_EQ(pc.regSetString(key, "v", "2"), kOk);
  EXPECT_TRUE(pc.killed());
  EXPECT_EQ(pc.regSetString(key, "v", "3"), platform::kErrorProcessKilled);
  EXPECT_EQ(pc.regDeleteKey("Software\\A"), platform::kErrorProcessKilled);
  EXPECT_EQ(pc.registryString("Software\\A", "v"), "2");
  pc.revive();
  EXPECT_FALSE(pc.killed());
  EXPECT_EQ(pc.regCloseKey(key), kOk);
}

}  // namespace
