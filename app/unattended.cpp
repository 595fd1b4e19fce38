#include "app/unattended.h"

#include <vector>

#include "app/log_prompter.h"
#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "discovery/device_table.h"
#include "discovery/network_setup.h"
#include "discovery/receiver.h"
#include "discovery/search.h"
#include "journal/journal.h"
#include "monitor/install.h"
#include "monitor/registry_key.h"
#include "monitor/status.h"
#include "pages/Endfrm.h"
#include "printers/default_printer.h"
#include "printers/matching.h"
#include "printers/ports.h"
#include "printers/printer_list.h"
#include "report/print_target.h"

namespace app {

namespace {

struct CodeText {
  ExitCode code;
  const char* text;
};
constexpr CodeText kCodes[] = {
    {ExitCode::Done, "done"},
    {ExitCode::BadCommandLine, "bad command line"},
    {ExitCode::AnotherCopy, "another copy of the wizard is running"},
    {ExitCode::NoServer, "no server found"},
    {ExitCode::MonitorFailed, "the monitor's files or registration failed"},
    {ExitCode::NoMatchingPrinter, "no matching printer"},
    {ExitCode::PortFailed, "the port change failed"},
    {ExitCode::DefaultFailed, "the default printer could not be set"},
    {ExitCode::TestPageFailed, "the test page could not be printed"},
    {ExitCode::UninstallStopped, "the uninstall stopped"},
    {ExitCode::UndoFailed, "an earlier run that was ended in the middle could not be undone"},
    {ExitCode::RecordFailed, "the record of the changes could not be completed"},
};

constexpr unsigned kPollMs = 100;

// One run: the PC, the log, what has been done so far.
class Run {
 public:
  Run(platform::Platform& os, LogPrompter& log, const Options& o) : os_(os), log_(log), o_(o) {}

  ExitCode install();
  ExitCode uninstall();
  // What a run that failed could not put back, a line each.
  const std::vector<std::string>& notPutBack() const { return notPutBack_; }

 private:
  bool printerExists(const std::string& name, ExitCode& failure);
  bool search(discovery::Server& found);
  bool matchingPrinter(const std::string& serverPrinter, std::string& name, ExitCode& failure);
  ExitCode installMonitor(const std::string& address, journal::Journal& journal);
  ExitCode changes(const discovery::Server& server, const std::string& printer,
                   journal::Journal& journal);
  ExitCode ended(ExitCode code, const journal::Journal::Ending& ending);

  platform::Platform& os_;
  LogPrompter& log_;
  const Options& o_;
  std::vector<std::string> notPutBack_;
};

bool Run::printerExists(const std::string& name, ExitCode& failure) {
  std::vector<printers::PrinterRow> rows;
  if (!printers::listPrinters(os_, log_, rows)) {
    failure = ExitCode::NoMatchingPrinter;
    return false;
  }
  for (const printers::PrinterRow& row : rows)
    if (row.name == name) return true;
  log_.line("No local printer is named \"" + name + "\".");
  failure = ExitCode::BadCommandLine;
  return false;
}

// The search the detection page runs, and its choice: the first server
// that reports a printer, else at the end of the wait the first that
// answered.  With an address given, only that server is asked, for its
// printer.
bool Run::search(discovery::Server& found) {
  const std::string& address = o_.server;
  log_.line((address.empty() ? "Searching the LAN for servers"
                             : "Asking " + address + " for its printer") +
            " for up to " + std::to_string(o_.waitSeconds) + " s.");
  if (discovery::setUpNetwork(os_, os_, log_) != discovery::Setup::Ready) return false;
  discovery::startReceiver(os_);
  platform::Ipv4 ip = platform::kInaddrNone;
  if (address.empty()) {
    discovery::startSearch(os_, os_, log_);
  } else if (os_.inetAddr(address, ip) == platform::kOk) {
    discovery::clearTaloInfo();
    discovery::sendBurst(os_, os_, ip);
  }
  auto answered = [&] {
    if (address.empty()) return discovery::chooseServer(found) && !found.printer.empty();
    for (const discovery::Server& s : discovery::foundServers())
      if (s.ip == address) {
        found = s;
        return true;
      }
    return false;
  };
  const unsigned polls = o_.waitSeconds * 1000 / kPollMs;
  bool done = answered();
  for (unsigned i = 0; i < polls && !done; ++i) {
    os_.sleep(kPollMs);
    done = answered();
  }
  discovery::bStopReceiver = 1;
  if (!done && address.empty()) done = discovery::chooseServer(found);
  if (done)
    log_.line("The server " + found.ip + " (" + found.model + ") reports the printer \"" +
              found.printer + "\".");
  return done;
}

// The first local printer that fully fits the server's printer.
bool Run::matchingPrinter(const std::string& serverPrinter, std::string& name, ExitCode& failure) {
  failure = ExitCode::NoMatchingPrinter;
  std::vector<printers::PrinterRow> rows;
  if (!printers::listPrinters(os_, log_, rows)) return false;
  for (const printers::PrinterRow& row : rows) {
    if (!printers::fullMatch(row.name, serverPrinter)) continue;
    name = row.name;
    return true;
  }
  log_.line(serverPrinter.empty()
                ? "The server reports no printer, so no local printer can be matched to it."
                : "No local printer fits the server's printer \"" + serverPrinter + "\".");
  return false;
}

ExitCode Run::installMonitor(const std::string& address, journal::Journal& journal) {
  const int before = log_.messages();
  try {
    // A message means a step failed, even where the installation went on
    // with the monitor already there.
    if (!monitor::installMonitor({os_, os_, os_, log_, osMajorVersion}, journal) ||
        log_.messages() != before)
      return ExitCode::MonitorFailed;
    log_.line("The port monitor is installed.");
    monitor::storeServerAddress(os_, log_, address, &journal);
  } catch (const monitor::RegistryError& e) {
    log_.line(e.what());
    return ExitCode::MonitorFailed;
  }
  if (monitor::storedServerAddress(os_) != address) {
    log_.line("The server address could not be stored.");
    return ExitCode::MonitorFailed;
  }
  log_.line("The server address " + address + " is stored.");
  return ExitCode::Done;
}

// The run's end: its changes stand, or all of them were put back.
ExitCode Run::ended(ExitCode code, const journal::Journal::Ending& ending) {
  if (ending.commitError) {
    log_.line(platform::failureText(
        "The record of the changes could not be completed, so they were put back.",
        ending.commitError));
    code = ExitCode::RecordFailed;
  }
  if (!ending.leftOver.empty())
    log_.line("Temporary files that the next start removes: " + ending.leftOver.front() +
              (ending.leftOver.size() > 1 ? " and others." : "."));
  notPutBack_ = ending.notPutBack;
  return code;
}

// Everything the run changes, in order; the first failure's code.
ExitCode Run::changes(const discovery::Server& server, const std::string& printer,
                      journal::Journal& journal) {
  if (ExitCode e = installMonitor(server.ip, journal); e != ExitCode::Done) return e;
  if (printers::moveToRemotePort(
          os_, log_, osMajorVersion, printer, [](bool) {}, journal) != printers::MoveOutcome::Moved)
    return ExitCode::PortFailed;
  log_.line("\"" + printer + "\" prints to \"" + printers::kRemotePort + "\".");
  if (o_.makeDefault) {
    if (!printers::makeDefaultPrinter(os_, log_, osMajorVersion, printer, journal))
      return ExitCode::DefaultFailed;
    log_.line("\"" + printer + "\" is the default printer.");
  }
  if (o_.testPage) {
    report::Destination destination;
    destination.printer = printer;
    platform::Error e =
        report::printAt(os_, destination, pages::completionTestPage(server.ip, printer));
    if (e != platform::kOk) {
      log_.line(platform::failureText("The test page could not be printed.", e));
      return ExitCode::TestPageFailed;
    }
    log_.line("Test page printed");
  }
  return ExitCode::Done;
}

ExitCode Run::install() {
  ExitCode failure = ExitCode::Done;
  // Everything that can be refused before a change is checked first.
  if (!o_.printer.empty() && !printerExists(o_.printer, failure)) return failure;
  discovery::Server server{"", o_.server, ""};
  // The server's printer picks the local printer; a printer given needs no search.
  if ((o_.server.empty() || o_.printer.empty()) && !search(server)) {
    log_.line(o_.server.empty() ? "No server answered."
                                : "The server " + o_.server +
                                      " did not answer, so its printer is not known; /printer: "
                                      "names the local printer to use.");
    return ExitCode::NoServer;
  }
  std::string printer = o_.printer;
  if (printer.empty() && !matchingPrinter(server.printer, printer, failure)) return failure;
  log_.line("The printer is \"" + printer + "\".");

  // The whole run is one step: it all stands, or nothing was changed.
  journal::Journal journal({os_, os_, os_, osMajorVersion}, "the unattended installation");
  ExitCode code = changes(server, printer, journal);
  return ended(code, journal.end(code == ExitCode::Done));
}

ExitCode Run::uninstall() {
  journal::Journal::Ending ending;
  switch (monitor::uninstall(
      {os_, os_, os_, log_, osMajorVersion}, [](bool) {}, &ending)) {
    case monitor::Removal::Removed:
      return ended(ExitCode::Done, ending);
    case monitor::Removal::NotInstalled:  // nothing to remove
      return ExitCode::Done;
    case monitor::Removal::Declined:
    case monitor::Removal::Failed:
      break;
  }
  notPutBack_ = ending.notPutBack;
  return ExitCode::UninstallStopped;
}

}  // namespace

const char* exitCodeText(ExitCode code) {
  for (const CodeText& c : kCodes)
    if (c.code == code) return c.text;
  return "";
}

std::string usageText() {
  std::string text =
      "Unattended installation:\n"
      "  PrnWizard.exe /quiet [/server:ADDRESS] [/printer:NAME] [/default] [/testpage]\n"
      "                [/wait:SECONDS] [/log:FILE]\n"
      "  PrnWizard.exe /quiet /uninstall [/log:FILE]\n\n"
      "/server:  the server's IPv4 address; without it the LAN is searched\n"
      "/printer: the local printer to move; without it the matching printer\n"
      "/default: make the printer the default printer\n"
      "/testpage: print the test page\n"
      "/wait:    seconds to search for a server (3)\n"
      "/log:     write every message and the outcome to FILE\n\n"
      "Exit codes:\n";
  for (const CodeText& c : kCodes)
    text += "  " + std::to_string(static_cast<int>(c.code)) + "  " + c.text + "\n";
  return text;
}

ExitCode runUnattended(platform::Platform& os, gui::Ui& ui, const Options& options,
                       const std::string& commandLine) {
  LogPrompter log(os, options.logFile);
  if (!log.start(std::string(kAppTitle) + " /quiet, started with: " + commandLine))
    return ExitCode::BadCommandLine;
  ExitCode code = ExitCode::AnotherCopy;
  std::vector<std::string> notPutBack;
  platform::WindowId running = 0;
  if (os.findWindow(kAppClass, kAppTitle, running) == platform::kOk && running) {
    log.line("Another copy of the wizard is running.");
  } else {
    ui.keepApplicationWindowHidden();
    os.setWindowText(ui.applicationWindow(), kAppTitle);
    os.setApplication(ui.applicationWindow(), kAppTitle);
    osMajorVersion = os.osMajorVersion();
    setContext(&os, &ui);
    // What a run ended in the middle left is undone before anything else.
    journal::Recovery recovery = journal::recover({os, os, os, osMajorVersion});
    if (recovery.result != journal::Recovery::Nothing) log.line(journal::recoveryText(recovery));
    Run run(os, log, options);
    if (recovery.result == journal::Recovery::Failed) {
      code = ExitCode::UndoFailed;
    } else {
      code = options.uninstall ? run.uninstall() : run.install();
      notPutBack = run.notPutBack();
    }
  }
  if (code != ExitCode::Done && code != ExitCode::UndoFailed) {
    if (notPutBack.empty()) log.line("Nothing was changed.");
    for (const std::string& line : notPutBack) log.line("Not put back: " + line + ".");
  }
  log.line("Exit code " + std::to_string(static_cast<int>(code)) + ": " + exitCodeText(code) + ".");
  return code;
}

}  // namespace app
