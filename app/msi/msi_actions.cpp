// The MSI package's custom actions: run the installed wizard's unattended
// mode, copy its log into the installer's log line by line, and fail the
// installation when the wizard ends with a non-zero code.
#include <windows.h>
// The installer's headers follow windows.h.
#include <msi.h>
#include <msiquery.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "monitor/family.h"
#include "platform/win32/win32_late.h"

namespace {

// The installer's functions, bound from the system folder as the spooler's
// are: neither msi.dll nor winspool.drv is a known DLL.
namespace msi {
PLATFORM_LATE_FUNCTION("msi.dll", MsiGetPropertyA);
PLATFORM_LATE_FUNCTION("msi.dll", MsiSetPropertyA);
PLATFORM_LATE_FUNCTION("msi.dll", MsiCreateRecord);
PLATFORM_LATE_FUNCTION("msi.dll", MsiRecordSetStringA);
PLATFORM_LATE_FUNCTION("msi.dll", MsiProcessMessage);
PLATFORM_LATE_FUNCTION("msi.dll", MsiCloseHandle);
}  // namespace msi
namespace spool = platform::spool;

// The installer runs the actions in a process that has msi.dll loaded; were
// it missing, an action fails rather than take a zero for a success.
bool installerBound() {
  return msi::MsiGetPropertyA.get() && msi::MsiSetPropertyA.get() && msi::MsiCreateRecord.get() &&
         msi::MsiRecordSetStringA.get() && msi::MsiProcessMessage.get() &&
         msi::MsiCloseHandle.get();
}

// The wizard ends on its own within its search bound and the spooler's work;
// this only keeps a hung run from holding the installation for ever.
constexpr DWORD kWizardBoundMs = 20 * 60 * 1000;
// The wizard's code for "another installation is in progress".
constexpr DWORD kAnotherInstallation = 1618;

std::string property(MSIHANDLE install, const char* name) {
  char none[1] = "";
  DWORD size = 0;
  if (msi::MsiGetPropertyA(install, name, none, &size) != ERROR_MORE_DATA) return "";
  std::string value(size + 1, '\0');
  size = static_cast<DWORD>(value.size());
  if (msi::MsiGetPropertyA(install, name, value.data(), &size) != ERROR_SUCCESS) return "";
  value.resize(size);
  return value;
}

void say(MSIHANDLE install, INSTALLMESSAGE kind, const std::string& text) {
  MSIHANDLE record = msi::MsiCreateRecord(1);
  if (!record) return;
  msi::MsiRecordSetStringA(record, 0, "[1]");
  msi::MsiRecordSetStringA(record, 1, text.c_str());
  msi::MsiProcessMessage(install, kind, record);
  msi::MsiCloseHandle(record);
}

bool monitorInstalled() {
  DWORD needed = 0, count = 0;
  spool::EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!spool::EnumMonitorsA(nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
  const auto* monitors = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (monitors[i].pName && lstrcmpiA(monitors[i].pName, monitor::kMonitorName) == 0) return true;
  }
  return false;
}

std::vector<std::string> fileLines(const std::string& path) {
  std::vector<std::string> lines;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (text.size() < (1u << 20) && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got) {
    text.append(chunk, got);
  }
  CloseHandle(file);
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

struct Run {
  DWORD exitCode = 1;
  std::string lastWords;  // the log's last message before its exit-code line
};

// Runs `"exe" switches /log:<a temporary file>` with no window, waits for it
// within the bound and copies its log into the installer's log.
Run runWizard(MSIHANDLE install, const std::string& exe, const std::string& switches) {
  Run run;
  char folder[MAX_PATH] = "", log[MAX_PATH] = "";
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "prn", 0, log)) {
    run.lastWords = "No temporary file for the wizard's log could be made.";
    return run;
  }
  std::string command = "\"" + exe + "\" " + switches + " \"/log:" + log + "\"";
  say(install, INSTALLMESSAGE_INFO, "Running " + command);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    run.lastWords =
        "The wizard could not be started (error " + std::to_string(GetLastError()) + ").";
    DeleteFileA(log);
    return run;
  }
  bool finished = WaitForSingleObject(process.hProcess, kWizardBoundMs) == WAIT_OBJECT_0;
  if (!finished) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 10000);
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (const std::string& line : fileLines(log)) {
    say(install, INSTALLMESSAGE_INFO, "PrnWizard: " + line);
    if (line.rfind("Exit code ", 0) != 0) run.lastWords = line;
  }
  DeleteFileA(log);
  if (!finished) run.lastWords = "The wizard did not finish within 20 minutes and was stopped.";
  return run;
}

// CustomActionData: the exe's path, a bar (no path holds one), its switches.
bool splitData(MSIHANDLE install, std::string& exe, std::string& switches) {
  std::string data = property(install, "CustomActionData");
  std::string::size_type bar = data.find('|');
  if (bar == std::string::npos || bar == 0) {
    say(install, INSTALLMESSAGE_ERROR, "The custom action got no wizard to run: \"" + data + "\".");
    return false;
  }
  exe = data.substr(0, bar);
  switches = data.substr(bar + 1);
  return true;
}

UINT failed(MSIHANDLE install, const Run& run) {
  say(install, INSTALLMESSAGE_ERROR,
      "The Printer Sharing Server setup failed (exit code " + std::to_string(run.exitCode) +
          "): " + run.lastWords);
  return ERROR_INSTALL_FAILURE;
}

}  // namespace

// Immediate: gives the deferred installation its CustomActionData, the exe
// and the switches made from SERVER, PRINTER, WAIT, DEFAULT and TESTPAGE
// (on only when "1"), each value quoted so that no property can add a
// switch of its own.
extern "C" __declspec(dllexport) UINT __stdcall PrepareUnattendedInstall(MSIHANDLE install) {
  if (!installerBound()) return ERROR_INSTALL_FAILURE;
  std::string data = property(install, "INSTALLDIR") + PRNWIZARD_EXE_FILE "|" +
                     app::installSwitches(property(install, "SERVER"), property(install, "PRINTER"),
                                          app::propertyOn(property(install, "DEFAULT")),
                                          app::propertyOn(property(install, "TESTPAGE")),
                                          property(install, "WAIT"));
  if (msi::MsiSetPropertyA(install, "RunUnattendedInstall", data.c_str()) == ERROR_SUCCESS)
    return ERROR_SUCCESS;
  say(install, INSTALLMESSAGE_ERROR, "The unattended installation could not be prepared.");
  return ERROR_INSTALL_FAILURE;
}

extern "C" __declspec(dllexport) UINT __stdcall RunUnattendedInstall(MSIHANDLE install) {
  if (!installerBound()) return ERROR_INSTALL_FAILURE;
  std::string exe, switches;
  if (!splitData(install, exe, switches)) return ERROR_INSTALL_FAILURE;
  bool hadMonitor = monitorInstalled();
  Run run = runWizard(install, exe, switches);
  if (run.exitCode == 0) return ERROR_SUCCESS;
  UINT result = failed(install, run);
  // The installation is rolled back: a monitor that this run added goes too,
  // with the printer it moved; one that was there before stays.  A run that
  // found another installation in progress changed nothing: a monitor that
  // appeared meanwhile is that installation's.
  if (run.exitCode != kAnotherInstallation && !hadMonitor && monitorInstalled()) {
    say(install, INSTALLMESSAGE_INFO, "Removing the port monitor this installation added.");
    Run undo = runWizard(install, exe, "/quiet /uninstall");
    if (undo.exitCode != 0) failed(install, undo);
  }
  return result;
}

extern "C" __declspec(dllexport) UINT __stdcall RunUnattendedUninstall(MSIHANDLE install) {
  if (!installerBound()) return ERROR_INSTALL_FAILURE;
  std::string exe, switches;
  if (!splitData(install, exe, switches)) return ERROR_INSTALL_FAILURE;
  Run run = runWizard(install, exe, switches);
  return run.exitCode == 0 ? ERROR_SUCCESS : failed(install, run);
}
