// Where the wizard may run.  The 32-bit wizard on 64-bit Windows is a WOW64
// guest: its system folder is redirected and the 64-bit spooler takes
// neither its environment nor its DLLs, so it installs nothing there.  It
// hands the run to the 64-bit wizard shipped beside it, or changes nothing.
// Neither wizard runs where the spooler is neither x86 nor x64 (ARM64).
#pragma once

#include <optional>
#include <string>

#include "app/command_line.h"
#include "gui/ui.h"
#include "platform/platform.h"

namespace app {

inline constexpr char kWizard64Name[] = "PrnWizard64.exe";
// The 64-bit wizard is never read whole beyond this size.
inline constexpr std::size_t kWizard64MaxBytes = 64u << 20;

// The SHA-256 (hex) of the PrnWizard64.exe built with this program, as the
// build recorded it; empty when none was built (then none is ever started).
std::string builtPrnWizard64Sha256();

// Decides, before anything else of the run, from the machine: nullopt when
// this process goes on (a 32-bit machine, or the 64-bit wizard on x64
// Windows: then `wizard64` is set); else the run's exit code, after the
// 64-bit wizard ran in its place, or after saying why nothing was changed
// (a message box, or with a command line the /log file and the code).
//
// The 64-bit wizard is started only when `kWizard64Name` in this program's
// folder hashes to `wizard64Sha256`: the file is opened sharing only
// reading, hashed through that handle and held until it has started, so
// that what was checked is what runs.  It gets the same command line, and
// its exit code is the run's.
std::optional<int> runWhereItBelongs(platform::Platform& os, gui::Ui& ui, const CommandLine& line,
                                     const std::string& commandLine,
                                     const std::string& wizard64Sha256);

}  // namespace app
