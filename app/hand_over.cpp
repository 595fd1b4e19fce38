#include "app/hand_over.h"

#include <algorithm>
#include <cctype>

#include "app/sha256.h"
#include "app/session.h"
#include "app/state/wizard_state.h"
#include "app/unattended.h"

namespace app {

namespace {

const char kNothingChanged[] = "\nNothing was changed.";

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Says why this run changes nothing: in a box for a person (none where
// nobody can see it), else in the /log file; the code is the run's.
int refuse(platform::Platform& os, gui::Ui& ui, const CommandLine& line,
           const std::string& commandLine, const std::string& why, ExitCode code) {
  if (line.empty || line.helpAlone) {
    Session session = currentSession(os, false);
    if (session.unseen()) return static_cast<int>(refuseWindow(os, commandLine, session));
    os.setApplication(ui.applicationWindow(), kAppTitle);
    os.prompter().showMessage(why);
    return static_cast<int>(code);
  }
  return static_cast<int>(refuseUnattended(os, line, commandLine, why, code));
}

// The 32-bit wizard on x64 Windows: the 64-bit one runs in its place when
// it is the one built with this program.
int handOver(platform::Platform& os, gui::Ui& ui, const CommandLine& line,
             const std::string& commandLine, const std::string& wizard64Sha256) {
  const std::string needed =
      "This Windows is 64-bit: there the printer sharing driver is installed by the 64-bit "
      "wizard, PrnWizard64.exe, shipped beside this one.";
  std::string program;
  if (os.programPath(program) != platform::kOk || program.rfind('\\') == std::string::npos)
    return refuse(os, ui, line, commandLine,
                  needed + "  This wizard's folder could not be read." + kNothingChanged,
                  ExitCode::Needs64BitWizard);
  const std::string folder = program.substr(0, program.rfind('\\'));
  const std::string wizard64 = folder + "\\" + kWizard64Name;
  const std::string notHere = needed + "  It is not in \"" + folder + "\"." + kNothingChanged;
  const std::string notOurs = needed + "  The " + kWizard64Name + " in \"" + folder +
                              "\" is not the one shipped with this wizard, so it is not "
                              "started." +
                              kNothingChanged;
  if (wizard64Sha256.empty())
    return refuse(os, ui, line, commandLine, notHere, ExitCode::Needs64BitWizard);
  // Held from the check until it has started: nobody can change, replace,
  // rename or delete it in between.
  platform::FileId held = 0;
  if (os.openFileToRead(wizard64, held) != platform::kOk)
    return refuse(os, ui, line, commandLine, notHere, ExitCode::Needs64BitWizard);
  std::string bytes;
  bool ours = os.readFile(held, kWizard64MaxBytes, bytes) == platform::kOk &&
              sha256Hex(bytes) == lower(wizard64Sha256);
  platform::ProcessId process = 0;
  platform::Error started = platform::kOk;
  if (ours) {
    std::string line64 = "\"" + wizard64 + "\"";
    if (!commandLine.empty()) line64 += " " + commandLine;
    started = os.startProcess(wizard64, line64, process);
  }
  os.closeFile(held);
  if (!ours) return refuse(os, ui, line, commandLine, notOurs, ExitCode::Needs64BitWizard);
  if (started != platform::kOk)
    return refuse(os, ui, line, commandLine,
                  platform::failureText("The 64-bit wizard \"" + wizard64 +
                                            "\" could not be started." + kNothingChanged,
                                        started),
                  ExitCode::Wizard64NotStarted);
  // It is the wizard the user runs: waited for as long as it runs.  Its
  // log is its own from here on.
  std::uint32_t exitCode = 0;
  if (os.waitForProcess(process, exitCode) != platform::kOk)
    return static_cast<int>(ExitCode::Wizard64NotStarted);
  return static_cast<int>(exitCode);
}

}  // namespace

std::optional<int> runWhereItBelongs(platform::Platform& os, gui::Ui& ui, const CommandLine& line,
                                     const std::string& commandLine,
                                     const std::string& wizard64Sha256) {
  platform::Machine machine;
  if (platform::Error e = os.machine(machine))
    return refuse(os, ui, line, commandLine,
                  platform::failureText(
                      std::string("Which Windows this is could not be read.") + kNothingChanged, e),
                  ExitCode::UnsupportedWindows);
  switch (machine.native) {
    case platform::Architecture::X86:
      return std::nullopt;
    case platform::Architecture::Arm64:
      return refuse(os, ui, line, commandLine,
                    std::string("The printer sharing driver is made for x86 and x64 Windows only, "
                                "and this Windows runs on ARM64.") +
                        kNothingChanged,
                    ExitCode::UnsupportedWindows);
    case platform::Architecture::X64:
      break;
  }
  if (!machine.guest) {
    wizard64 = true;
    return std::nullopt;
  }
  return handOver(os, ui, line, commandLine, wizard64Sha256);
}

}  // namespace app
