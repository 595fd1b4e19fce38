// The in-memory PC's registry, files and monitors answer as Wine does (the
// same answers are checked against Wine in tests/win32/monitor_test.cpp).
#include <gtest/gtest.h>

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
  EXPECT_EQ(pc.copyFile("C:\\ship\\missing.dl_", kSys + "\\a.dll"), platform::kErrorFileNotFound);
  EXPECT_EQ(pc.copyFile("C:\\nowhere\\a.dl_", kSys + "\\a.dll"), platform::kErrorPathNotFound);
  EXPECT_EQ(pc.copyFile("C:\\ship\\a.dl_", "C:\\nowhere\\a.dll"), platform::kErrorPathNotFound);
  EXPECT_EQ(pc.copyFile("C:\\ship\\a.dl_", kSys + "\\a.dll"), kOk);
  EXPECT_EQ(pc.copyFile("C:\\ship\\notes.txt", kSys + "\\A.DLL"), kOk) << "overwrites";
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
  EXPECT_EQ(pc.copyFile(kSys + "\\a.dll", "C:\\ship\\a.dl_"), platform::kErrorSharingViolation);
  EXPECT_EQ(pc.freeLibrary(m), kOk);
  EXPECT_EQ(pc.callDwordProc(p), 0u);
  EXPECT_EQ(pc.staleProcCalls, 1);
  EXPECT_EQ(pc.freeLibrary(m), platform::kErrorModNotFound);

  std::string dir;
  EXPECT_EQ(pc.systemDirectory(dir), kOk);
  EXPECT_EQ(dir, kSys);
}

}  // namespace
