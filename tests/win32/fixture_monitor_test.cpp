// The fixture port monitor in Wine's spooler: registration, its port
// "Remote Port", jobs recorded byte for byte, the version export of every
// variant, and removal.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win32/processes.h"
#include "tools/fixtures/test_pc.h"

namespace {

const char kMonitor[] = "Printer Sharing Port Monitor";
const char kEnvironment[] = "Windows NT x86";  // the monitor's, as the wizard registers it
const char kKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors\\"
                    "Printer Sharing Port Monitor";
const char kFallbackKey[] = "Software\\Fixture Port Monitor";
const char kPort[] = "Remote Port";
const char kPrinter[] = "Fixture Monitor Test Printer";
const char kDriver[] = "Fixture Monitor Test Driver";

std::string systemDir() {
  char dir[512];
  UINT n = GetSystemDirectoryA(dir, sizeof dir);
  return std::string(dir, n);
}

std::string tempFile(const char* name) {
  char dir[MAX_PATH];
  DWORD n = GetTempPathA(sizeof dir, dir);
  return std::string(dir, n) + name;
}

void deleteValue(const char* keyPath, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

// Level 1 or 2 records of EnumMonitorsA; false when a call fails.
bool enumMonitors(DWORD level, std::vector<BYTE>& buffer, DWORD& count) {
  DWORD needed = 0;
  count = 0;
  if (!EnumMonitorsA(nullptr, level, nullptr, 0, &needed, &count) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return false;
  buffer.assign(needed + 1, 0);
  return EnumMonitorsA(nullptr, level, buffer.data(), needed, &needed, &count);
}

const MONITOR_INFO_2A* findMonitor(std::vector<BYTE>& buffer, DWORD count) {
  auto* info = reinterpret_cast<const MONITOR_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (std::string(info[i].pName) == kMonitor) return &info[i];
  return nullptr;
}

bool monitorListed() {
  std::vector<BYTE> buffer;
  DWORD count;
  if (!enumMonitors(1, buffer, count)) return false;
  auto* info = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (std::string(info[i].pName) == kMonitor) return true;
  return false;
}

bool enumPorts(DWORD level, std::vector<BYTE>& buffer, DWORD& count) {
  DWORD needed = 0;
  count = 0;
  if (!EnumPortsA(nullptr, level, nullptr, 0, &needed, &count) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return false;
  buffer.assign(needed + 1, 0);
  return EnumPortsA(nullptr, level, buffer.data(), needed, &needed, &count);
}


// A recorded job: the first line is the document name, the rest the bytes.
struct Job {
  bool found = false;
  std::string name;
  std::string bytes;
};

Job readJob(const std::string& path) {
  Job job;
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return job;
  std::string data = wintest::readFile(path);
  if (data == "(missing)") data.clear();
  size_t end = data.find('\n');
  if (end == std::string::npos) return job;
  job.found = true;
  job.name = data.substr(0, end);
  job.bytes = data.substr(end + 1);
  return job;
}

bool addPrinter() {
  return testpc::addPostScriptDriver(kDriver, testpc::kNativeEnvironment) &&
         testpc::addPrinter(kPrinter, kPort, kDriver);
}

void deletePrinter() {
  testpc::deletePrinter(kPrinter);
  testpc::deleteDriver(kDriver, testpc::kNativeEnvironment);
}

// A raw job of the given bytes, written in pieces of `piece` bytes; whether
// the spooler took it to its end.
bool printRaw(const char* docName, const std::string& bytes, size_t piece) {
  HANDLE printer;
  if (!OpenPrinterA(const_cast<char*>(kPrinter), &printer, nullptr)) return false;
  DOC_INFO_1A doc{const_cast<char*>(docName), nullptr, const_cast<char*>("RAW")};
  bool ok = StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&doc)) != 0;
  for (size_t at = 0; ok && at < bytes.size(); at += piece) {
    DWORD size = static_cast<DWORD>(std::min(piece, bytes.size() - at)), written = 0;
    ok = WritePrinter(printer, const_cast<char*>(bytes.data() + at), size, &written) &&
         written == size;
  }
  if (!EndDocPrinter(printer)) ok = false;
  ClosePrinter(printer);
  return ok;
}

class FixtureMonitorSpooler : public testing::Test {
 protected:
  void SetUp() override {
    removeAll();
    ASSERT_FALSE(monitorListed()) << "left over from an earlier run";
    for (const char* base : {"talomon", "taloui"}) {
      std::string from = wintest::exeDir() + "\\fixture_" + base +
                         (std::string(base) == "talomon" ? "_v2.dll" : ".dll");
      std::string to = systemDir() + "\\" + base + ".dll";
      ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << ": " << GetLastError();
    }
    MONITOR_INFO_2A info{const_cast<char*>(kMonitor), const_cast<char*>(kEnvironment),
                         const_cast<char*>("talomon.dll")};
    ASSERT_TRUE(AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info))) << GetLastError();
  }

  void TearDown() override { removeAll(); }

  void removeAll() {
    deletePrinter();
    DeleteMonitorA(nullptr, const_cast<char*>(kEnvironment), const_cast<char*>(kMonitor));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFallbackKey);
    for (const char* base : {"talomon", "taloui"})
      DeleteFileA((systemDir() + "\\" + base + ".dll").c_str());
    DeleteFileA(jobFile_.c_str());
  }

  void addPrinterWithJobFile() {
    ASSERT_EQ(testpc::setString(kKey, "Job File", jobFile_), ERROR_SUCCESS);
    ASSERT_TRUE(addPrinter()) << GetLastError();
  }

  const std::string jobFile_ = tempFile("fixture_monitor_job.txt");
};

TEST_F(FixtureMonitorSpooler, RegistrationPortAndRemoval) {
  std::vector<BYTE> buffer;
  DWORD count;
  ASSERT_TRUE(enumMonitors(2, buffer, count)) << GetLastError();
  const MONITOR_INFO_2A* monitor = findMonitor(buffer, count);
  ASSERT_NE(monitor, nullptr) << "EnumMonitorsA does not list the monitor";
  EXPECT_STREQ(monitor->pDLLName, "talomon.dll");
  EXPECT_STREQ(monitor->pEnvironment, kEnvironment);
  EXPECT_TRUE(monitorListed()) << "level 1";

  // The monitor makes its port's key itself when the spooler starts it.
  EXPECT_TRUE(testpc::keyExists(std::string(kKey) + "\\Ports\\" + kPort));

  ASSERT_TRUE(enumPorts(1, buffer, count)) << GetLastError();
  auto* ports1 = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
  bool listed = false;
  for (DWORD i = 0; i < count; ++i) listed = listed || std::string(ports1[i].pName) == kPort;
  EXPECT_TRUE(listed) << "EnumPortsA level 1 lacks the port";
  ASSERT_TRUE(enumPorts(2, buffer, count)) << GetLastError();
  auto* ports2 = reinterpret_cast<const PORT_INFO_2A*>(buffer.data());
  const PORT_INFO_2A* port = nullptr;
  for (DWORD i = 0; i < count; ++i)
    if (std::string(ports2[i].pPortName) == kPort) port = &ports2[i];
  ASSERT_NE(port, nullptr) << "EnumPortsA level 2 lacks the port";
  EXPECT_STREQ(port->pMonitorName, kMonitor);
  EXPECT_EQ(port->fPortType & PORT_TYPE_WRITE, static_cast<DWORD>(PORT_TYPE_WRITE));

  MONITOR_INFO_2A again{const_cast<char*>(kMonitor), const_cast<char*>(kEnvironment),
                        const_cast<char*>("talomon.dll")};
  EXPECT_FALSE(AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&again)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));

  // Removal takes the whole key, settings and port with it.
  ASSERT_EQ(testpc::setString(kKey, "Server Address", "10.77.0.2"), ERROR_SUCCESS);
  EXPECT_TRUE(DeleteMonitorA(nullptr, const_cast<char*>(kEnvironment),
                             const_cast<char*>(kMonitor)))
      << GetLastError();
  EXPECT_FALSE(monitorListed());
  EXPECT_FALSE(testpc::keyExists(kKey));
  EXPECT_FALSE(DeleteMonitorA(nullptr, const_cast<char*>(kEnvironment),
                              const_cast<char*>(kMonitor)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
}

TEST_F(FixtureMonitorSpooler, GdiDocumentReachesTheMonitor) {
  addPrinterWithJobFile();
  HDC dc = CreateDCA("WINSPOOL", kPrinter, nullptr, nullptr);
  ASSERT_NE(dc, nullptr) << GetLastError();
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = "Test Page";
  EXPECT_GT(StartDocA(dc, &doc), 0) << GetLastError();
  EXPECT_GT(StartPage(dc), 0);
  EXPECT_TRUE(TextOutA(dc, 300, 300, "Fixture monitor", 15));
  EXPECT_GT(EndPage(dc), 0);
  EXPECT_GT(EndDoc(dc), 0) << GetLastError();
  DeleteDC(dc);

  Job job = readJob(jobFile_);
  ASSERT_TRUE(job.found) << "no job recorded in " << jobFile_;
  EXPECT_EQ(job.name, "Test Page");
  EXPECT_EQ(job.bytes.rfind("%!PS", 0), 0u) << job.bytes.substr(0, 40);
  EXPECT_NE(job.bytes.find("%%Title: Test Page"), std::string::npos);
  EXPECT_NE(job.bytes.find("%%EOF"), std::string::npos) << "the job is cut short";
}

TEST_F(FixtureMonitorSpooler, RawBytesRecordedExactlyAndJobFileLookup) {
  addPrinterWithJobFile();
  // Every byte value, line ends and a zero, across several 4096-byte pieces.
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += static_cast<char>((i * 7 + i / 256) & 0xFF);
  bytes.append("\r\n\n\0end", 7);
  ASSERT_TRUE(printRaw("Raw\nBytes", bytes, 1000)) << GetLastError();
  Job job = readJob(jobFile_);
  ASSERT_TRUE(job.found);
  EXPECT_EQ(job.name, "Raw Bytes") << "a line break in the name becomes a space";
  EXPECT_EQ(job.bytes.size(), bytes.size());
  EXPECT_TRUE(job.bytes == bytes) << "the bytes differ from what was printed";

  // The next job replaces the file.
  ASSERT_TRUE(printRaw("Second", "short", 5));
  job = readJob(jobFile_);
  EXPECT_EQ(job.name, "Second");
  EXPECT_EQ(job.bytes, "short");

  // Without "Job File" in the monitor's key the fallback key names the file;
  // with neither the monitor refuses the job.
  deleteValue(kKey, "Job File");
  std::string fallback = tempFile("fixture_monitor_fallback.txt");
  DeleteFileA(fallback.c_str());
  ASSERT_EQ(testpc::setString(kFallbackKey, "Job File", fallback), ERROR_SUCCESS);
  EXPECT_TRUE(printRaw("Fallback", "data", 4));
  job = readJob(fallback);
  EXPECT_EQ(job.name, "Fallback");
  EXPECT_EQ(job.bytes, "data");
  DeleteFileA(fallback.c_str());

  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFallbackKey);
  DeleteFileA(jobFile_.c_str());
  EXPECT_FALSE(printRaw("Nowhere", "data", 4)) << "a job without a file was taken";
  EXPECT_FALSE(readJob(jobFile_).found);
}

// Each variant's LprGetVersion, loaded as the installer loads it.
TEST(FixtureMonitorVariants, VersionExportOfEachVariant) {
  struct Variant {
    const char* file;
    bool monitor;
    bool hasVersion;
    DWORD version;
  };
  const Variant variants[] = {
      {"fixture_talomon_v1.dll", true, true, 1},
      {"fixture_talomon_v2.dll", true, true, 2},
      {"fixture_talomon_v5.dll", true, true, 5},
      {"fixture_talomon_v80000001.dll", true, true, 0x80000001u},
      {"fixture_talomon_noversion.dll", true, false, 0},
      {"fixture_lprmon_v1.dll", true, true, 1},
      {"fixture_lprmon_v2.dll", true, true, 2},
      {"fixture_lprmon_noversion.dll", true, false, 0},
      {"fixture_taloui.dll", false, false, 0},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.file);
    HMODULE dll = LoadLibraryA((wintest::exeDir() + "\\" + v.file).c_str());
    ASSERT_NE(dll, nullptr) << GetLastError();
    auto get = reinterpret_cast<DWORD(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll, "LprGetVersion")));
    EXPECT_EQ(get != nullptr, v.hasVersion);
    if (get) {
      EXPECT_EQ(get(), v.version);
    }
    EXPECT_EQ(GetProcAddress(dll, "InitializePrintMonitor2") != nullptr, v.monitor);
    FreeLibrary(dll);
  }
}

}  // namespace
