// The unattended mode: the installation or the removal from the command
// line, with no window and no question, its messages in a log and its
// outcome in the exit code.
#pragma once

#include <string>

#include "app/command_line.h"
#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

// One code per outcome; the README lists them and /? shows them.
enum class ExitCode : int {
  Done = 0,
  BadCommandLine = 1,
  AnotherCopy = 2,
  NoServer = 3,
  MonitorFailed = 4,
  NoMatchingPrinter = 5,
  PortFailed = 6,
  DefaultFailed = 7,
  TestPageFailed = 8,
  UninstallStopped = 9,
  UndoFailed = 20,
  RecordFailed = 21,
};

// What the code means, as the log's last line and /? say it.
const char* exitCodeText(ExitCode code);
// The text /? shows: the switches and the exit codes.
std::string usageText();

// Runs the installation (or with /uninstall the removal) that `options`
// ask for.  `commandLine` is logged as given.  The application window is
// titled, so that the wizard started meanwhile finds this copy, but stays
// hidden.
ExitCode runUnattended(platform::Platform& os, gui::Ui& ui, const Options& options,
                       const std::string& commandLine);

}  // namespace app
