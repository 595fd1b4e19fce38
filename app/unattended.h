// The unattended mode: the installation, the removal or the status from the
// command line, with no window and no question, its messages in a log and
// its outcome in the exit code.
#pragma once

#include <string>

#include "app/command_line.h"
#include "app/session.h"
#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

// One code per outcome; the README lists them and /? shows them.
enum class ExitCode : int {
  Done = 0,
  BadCommandLine = 1,
  NoServer = 3,
  MonitorFailed = 4,
  NoMatchingPrinter = 5,
  PortFailed = 6,
  DefaultFailed = 7,
  TestPageFailed = 8,
  UninstallStopped = 9,
  NoWindowHere = 10,
  SeveralServers = 11,
  DiscoveryPortHeld = 12,
  MonitorNotRegistered = 13,
  AddressNotStored = 14,
  NoRemotePortPrinter = 15,
  StateUnreadable = 16,
  UndoFailed = 20,
  RecordFailed = 21,
  NotYetUndone = 22,
  // The 32-bit wizard on 64-bit Windows (app/hand_over.h).
  Needs64BitWizard = 30,
  UnsupportedWindows = 31,
  Wizard64NotStarted = 32,
  // Windows Installer's ERROR_INSTALL_ALREADY_RUNNING, which deployment
  // tools retry.
  AnotherInstallation = 1618,
};

// What the code means, as the log's last line and /? say it.
const char* exitCodeText(ExitCode code);
// The text /? shows: the switches and the exit codes.
std::string usageText();

// How long an unattended run waits for another installation to end
// before it gives up with AnotherInstallation.
inline constexpr unsigned kGuardWaitMs = 30 * 1000;

// Runs what `line` asks for with no window: a line with a mistake is
// logged and refused; /status reads; otherwise the installation or the
// removal, once the single-instance guard is taken.  `commandLine` is
// logged as given.  Every run but /status also writes the kept log
// (app/kept_log.h): the run that takes the guard starts it anew, any other
// adds its lines at its end.  `session` is where this process runs.
ExitCode runUnattended(platform::Platform& os, gui::Ui& ui, const CommandLine& line,
                       const std::string& commandLine, const Session& session);

// A run refused before it began (app/hand_over.h): `why` in the /log file,
// when one is given, and `code`.
ExitCode refuseUnattended(platform::Files& files, const CommandLine& line,
                          const std::string& commandLine, const std::string& why, ExitCode code);

// Started where nobody can see a window (SYSTEM, session 0) without
// /quiet: shows nothing, says why in the kept log, NoWindowHere.
ExitCode refuseWindow(platform::Platform& os, const std::string& commandLine,
                      const Session& session);

}  // namespace app
