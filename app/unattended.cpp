#include "app/unattended.h"

#include <vector>

#include "app/instance_guard.h"
#include "app/kept_log.h"
#include "app/log_prompter.h"
#include "app/state/context.h"
#include "app/state/wizard_state.h"
#include "discovery/device_table.h"
#include "discovery/network_setup.h"
#include "discovery/receiver.h"
#include "discovery/search.h"
#include "journal/journal.h"
#include "monitor/family.h"
#include "monitor/install.h"
#include "monitor/registry_key.h"
#include "monitor/status.h"
#include "pages/Endfrm.h"
#include "printers/default_printer.h"
#include "printers/logon_default.h"
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
    {ExitCode::NoServer, "no server found"},
    {ExitCode::MonitorFailed, "the monitor's files or registration failed"},
    {ExitCode::NoMatchingPrinter, "no matching printer"},
    {ExitCode::PortFailed, "the port change failed"},
    {ExitCode::DefaultFailed, "the default printer could not be set"},
    {ExitCode::TestPageFailed, "the test page could not be printed"},
    {ExitCode::UninstallStopped, "the uninstall stopped"},
    {ExitCode::NoWindowHere, "no window can be shown here; /quiet runs unattended"},
    {ExitCode::SeveralServers, "more than one server answered; /server: names the one to use"},
    {ExitCode::DiscoveryPortHeld, "the discovery port is held by another program"},
    {ExitCode::MonitorNotRegistered, "not set up: the port monitor is not registered"},
    {ExitCode::AddressNotStored, "not set up: the server address is not stored"},
    {ExitCode::NoRemotePortPrinter, "not set up: no printer prints to \"Remote Port\""},
    {ExitCode::StateUnreadable, "the PC's state could not be read"},
    {ExitCode::UndoFailed, "an earlier run that was ended in the middle could not be undone"},
    {ExitCode::RecordFailed, "the record of the changes could not be completed"},
    {ExitCode::NotYetUndone, "not set up: a run that was ended in the middle is not yet undone"},
    {ExitCode::Needs64BitWizard,
     "64-bit Windows: the 64-bit wizard PrnWizard64.exe shipped beside this one is needed"},
    {ExitCode::UnsupportedWindows, "this Windows is neither x86 nor x64; nothing was changed"},
    {ExitCode::Wizard64NotStarted, "the 64-bit wizard PrnWizard64.exe could not be started"},
    {ExitCode::AnotherInstallation, "another installation is in progress; run again later"},
};

constexpr unsigned kPollMs = 100;
// How long the end of the search waits for the receiver thread to leave.
constexpr unsigned kReceiverEndMs = 2000;

std::string twoDigits(unsigned n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string timeText(platform::Windows& clock) {
  platform::SystemTime t;
  if (clock.systemTime(t) != platform::kOk) return "at an unknown time";
  return "on " + std::to_string(t.year) + "-" + twoDigits(t.month) + "-" + twoDigits(t.day) +
         " at " + twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second) +
         " UTC";
}

// One run: the PC, the log, what has been done so far.
class Run {
 public:
  Run(platform::Platform& os, LogPrompter& log, const Options& o, const Session& session)
      : os_(os), log_(log), o_(o), session_(session) {}

  ExitCode install();
  ExitCode uninstall();
  ExitCode status();
  // What a run that failed could not put back, a line each.
  const std::vector<std::string>& notPutBack() const { return notPutBack_; }

 private:
  bool printerExists(const std::string& name, ExitCode& failure);
  ExitCode search(discovery::Server& found);
  bool matchingPrinter(const std::string& serverPrinter, std::string& name, ExitCode& failure);
  ExitCode installMonitor(const std::string& address, journal::Journal& journal);
  ExitCode makeDefault(const std::string& printer, journal::Journal& journal);
  ExitCode changes(const discovery::Server& server, const std::string& printer,
                   journal::Journal& journal);
  ExitCode ended(ExitCode code, const journal::Journal::Ending& ending);

  platform::Platform& os_;
  LogPrompter& log_;
  const Options& o_;
  const Session& session_;
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

// With an address given, only that server is asked, for its printer.
// Otherwise the LAN is searched as the detection page searches it, for the
// whole wait, and a server is taken only when it is the one that answered,
// or the one that fits /printer: where servers answer, a PC must not take
// whichever answered first, or PCs of one LAN would pick different ones.
ExitCode Run::search(discovery::Server& found) {
  const std::string& address = o_.server;
  log_.line((address.empty() ? "Searching the LAN for servers"
                             : "Asking " + address + " for its printer") +
            " for up to " + std::to_string(o_.waitSeconds) + " s.");
  switch (discovery::setUpNetwork(os_, os_, log_, discovery::PortHolder::LeaveAlone)) {
    case discovery::Setup::Ready:
      break;
    case discovery::Setup::PortHeld:
      return ExitCode::DiscoveryPortHeld;
    case discovery::Setup::NoDiscovery:
    case discovery::Setup::EndProgram:  // not with LeaveAlone
      return ExitCode::NoServer;
  }
  discovery::startReceiver(os_);
  platform::Ipv4 ip = platform::kInaddrNone;
  if (address.empty()) {
    discovery::startSearch(os_, os_, log_);
  } else if (os_.inetAddr(address, ip) == platform::kOk) {
    discovery::clearTaloInfo();
    discovery::sendBurst(os_, os_, ip);
  }
  auto answered = [&] {
    for (const discovery::Server& s : discovery::foundServers())
      if (s.ip == address) {
        found = s;
        return true;
      }
    return false;
  };
  const unsigned polls = o_.waitSeconds * 1000 / kPollMs;
  bool done = !address.empty() && answered();
  for (unsigned i = 0; i < polls && !done; ++i) {
    os_.sleep(kPollMs);
    done = !address.empty() && answered();
  }
  discovery::stopReceiver(os_, kReceiverEndMs);
  if (!address.empty()) {
    if (!done) {
      log_.line("The server " + address +
                " did not answer, so its printer is not known; /printer: names the local printer "
                "to use.");
      return ExitCode::NoServer;
    }
  } else {
    std::vector<discovery::Server> servers = discovery::foundServers();
    if (servers.empty()) {
      log_.line("No server answered.");
      return ExitCode::NoServer;
    }
    std::vector<discovery::Server> fitting;
    for (const discovery::Server& s : servers)
      if (!o_.printer.empty() && printers::fullMatch(o_.printer, s.printer)) fitting.push_back(s);
    if (servers.size() == 1) {
      found = servers[0];
    } else if (fitting.size() == 1) {
      found = fitting[0];
      log_.line(std::to_string(servers.size()) + " servers answered; only " + found.ip +
                " reports a printer that fits \"" + o_.printer + "\".");
    } else {
      log_.line(std::to_string(servers.size()) + " servers answered" +
                (o_.printer.empty() ? std::string()
                                    : ", and " + std::to_string(fitting.size()) +
                                          " of them report a printer that fits \"" + o_.printer +
                                          "\"") +
                "; /server: names the one to use.  Nothing is changed.");
      for (const discovery::Server& s : servers)
        log_.line("  " + s.ip + " (" + s.model + ") reports " +
                  (s.printer.empty() ? std::string("no printer")
                                     : "the printer \"" + s.printer + "\"") +
                  ".");
      return ExitCode::SeveralServers;
    }
  }
  log_.line("The server " + found.ip + " (" + found.model + ") reports the printer \"" +
            found.printer + "\".");
  return ExitCode::Done;
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
    if (!monitor::installMonitor({os_, os_, os_, log_, osMajorVersion, wizard64}, journal) ||
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

// The default printer is a setting of each user.  A run of the signed-in
// user sets theirs; any other run (SYSTEM, another account) would set only
// its own account's, so it arranges each user's at their next logon.
ExitCode Run::makeDefault(const std::string& printer, journal::Journal& journal) {
  if (session_.signedInUsersOwn()) {
    if (!printers::makeDefaultPrinter(os_, log_, osMajorVersion, printer, journal))
      return ExitCode::DefaultFailed;
    log_.line("\"" + printer + "\" is the default printer.");
    return ExitCode::Done;
  }
  if (!journal.savedKey(printers::kLogonDefaultKey)) {
    log_.line(journal::recordFailedText(journal.error()));
    return ExitCode::DefaultFailed;
  }
  if (platform::Error e = printers::registerLogonDefault(os_, os_, os_, printer)) {
    log_.line(platform::failureText(
        "Each user's default printer could not be arranged for their next logon.", e));
    return ExitCode::DefaultFailed;
  }
  log_.line("This run is " + session_.describe() +
            ", not the signed-in user's own, so it does not set its own default printer: \"" +
            printer +
            "\" becomes each user's default printer at their next logon (Active Setup runs "
            "Windows' printer command for each of them).");
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
    if (ExitCode e = makeDefault(printer, journal); e != ExitCode::Done) return e;
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
  if (o_.server.empty() || o_.printer.empty()) {
    if (ExitCode e = search(server); e != ExitCode::Done) return e;
  }
  std::string printer = o_.printer;
  if (printer.empty() && !matchingPrinter(server.printer, printer, failure)) return failure;
  log_.line("The printer is \"" + printer + "\".");
  if (o_.makeDefault && !session_.signedInUsersOwn() && !printers::logonDefaultCarries(printer)) {
    log_.line("Windows' printer command cannot name \"" + printer +
              "\", so it cannot become each user's default at their logon.");
    return ExitCode::BadCommandLine;
  }

  // The whole run is one step: it all stands, or nothing was changed.
  journal::Journal journal({os_, os_, os_, osMajorVersion, wizard64}, "the unattended installation");
  ExitCode code = changes(server, printer, journal);
  return ended(code, journal.end(code == ExitCode::Done));
}

ExitCode Run::uninstall() {
  journal::Journal::Ending ending;
  bool monitorRemoved = false;
  switch (monitor::uninstall(
      {os_, os_, os_, log_, osMajorVersion, wizard64}, [](bool) {}, &ending)) {
    case monitor::Removal::Removed:
      if (ExitCode e = ended(ExitCode::Done, ending); e != ExitCode::Done) return e;
      monitorRemoved = true;
      break;
    case monitor::Removal::NotInstalled:  // nothing to remove
      break;
    case monitor::Removal::Declined:
    case monitor::Removal::Failed:
      notPutBack_ = ending.notPutBack;
      return ExitCode::UninstallStopped;
  }
  // After the monitor's removal has stood: its own step.
  bool removed = false;
  if (platform::Error e = printers::unregisterLogonDefault(os_, removed)) {
    log_.line(platform::failureText(
        "The default printer arranged for each user's logon could not be unregistered.", e));
    if (monitorRemoved) notPutBack_ = {"the port monitor's removal, which stands"};
    return ExitCode::UninstallStopped;
  }
  if (removed) log_.line("The default printer arranged for each user's logon is unregistered.");
  return ExitCode::Done;
}

// Reads what an installation leaves and changes nothing: no key is made,
// nothing is opened for writing, the kept log is left alone.
ExitCode Run::status() {
  const int before = log_.messages();
  bool registered = monitor::monitorInstalled(os_, log_, monitor::kMonitorName) == 1;
  if (log_.messages() != before) return ExitCode::StateUnreadable;
  if (!registered) {
    log_.line("The port monitor \"" + std::string(monitor::kMonitorName) + "\" is not registered.");
    return ExitCode::MonitorNotRegistered;
  }
  log_.line("The port monitor is registered.");
  std::string address;
  try {
    address = monitor::readServerAddress(os_);
  } catch (const monitor::RegistryError& e) {
    log_.line(e.what());
    return ExitCode::StateUnreadable;
  }
  if (address.empty()) {
    log_.line("No server address is stored.");
    return ExitCode::AddressNotStored;
  }
  if (!o_.server.empty() && address != o_.server) {
    log_.line("The stored server address is " + address + ", not " + o_.server + ".");
    return ExitCode::AddressNotStored;
  }
  log_.line("The stored server address is " + address + ".");
  std::vector<printers::PrinterRow> rows;
  if (!printers::listPrinters(os_, log_, rows)) return ExitCode::StateUnreadable;
  std::vector<std::string> onPort;
  for (const printers::PrinterRow& row : rows)
    if (row.remotePort) onPort.push_back(row.name);
  bool given = o_.printer.empty();
  for (const std::string& name : onPort) {
    log_.line("\"" + name + "\" prints to \"" + printers::kRemotePort + "\".");
    if (name == o_.printer) given = true;
  }
  if (onPort.empty()) {
    log_.line(std::string("No printer prints to \"") + printers::kRemotePort + "\".");
    return ExitCode::NoRemotePortPrinter;
  }
  if (!given) {
    log_.line("\"" + o_.printer + "\" does not print to \"" + printers::kRemotePort + "\".");
    return ExitCode::NoRemotePortPrinter;
  }
  // A run ended in the middle whose changes the next start undoes.
  std::optional<journal::Pending> pending;
  if (platform::Error e = journal::readPending(os_, pending)) {
    log_.line(platform::failureText("The record of an unfinished run cannot be read.", e));
    return ExitCode::StateUnreadable;
  }
  if (pending && !pending->step.empty()) {
    log_.line("A run was ended in the middle of " + pending->step +
              "; the wizard's next start undoes its changes.");
    return ExitCode::NotYetUndone;
  }
  log_.line("The PC is set up.");
  return ExitCode::Done;
}

// A text of several lines, one log line each.
void logLines(LogPrompter& log, const std::string& text) {
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) log.line(text.substr(start, end - start));
    start = end + 1;
  }
}

ExitCode finish(LogPrompter& log, ExitCode code) {
  log.line("Exit code " + std::to_string(static_cast<int>(code)) + ": " + exitCodeText(code) + ".");
  return code;
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
      "  PrnWizard.exe /quiet /uninstall [/log:FILE]\n"
      "  PrnWizard.exe /quiet /status [/server:ADDRESS] [/printer:NAME] [/log:FILE]\n\n"
      "/quiet:   also /q, /qn, /s or /silent; /norestart is accepted\n"
      "/server:  the server's IPv4 address; without it the LAN is searched,\n"
      "          and only a server that is alone, or alone fits /printer, is taken\n"
      "/printer: the local printer to move; without it the matching printer\n"
      "/default: make the printer the default printer (run as SYSTEM: each\n"
      "          user's, from their next logon)\n"
      "/testpage: print the test page\n"
      "/wait:    seconds to search for a server (3)\n"
      "/log:     write every message and the outcome to FILE\n"
      "/status:  change nothing; exit 0 when the PC is set up\n\n"
      "Exit codes:\n";
  for (const CodeText& c : kCodes)
    text += "  " + std::to_string(static_cast<int>(c.code)) + "  " + c.text + "\n";
  return text;
}

ExitCode runUnattended(platform::Platform& os, gui::Ui& ui, const CommandLine& line,
                       const std::string& commandLine, const Session& session) {
  const Options& options = line.options;
  LogPrompter log(os, options.logFile);
  std::string notKept, kept;
  // /status changes nothing, not even the kept log.
  if (!options.status || !line.error.empty()) kept = keptLogPath(os, notKept);
  // A run that ends without the guard adds its lines at the kept log's
  // end: the run that holds the guard may be writing it.
  auto endWithoutGuard = [&](ExitCode code) {
    finish(log, code);
    log.keep(kept, false);
    return code;
  };
  bool logWritten = log.start(std::string(kAppTitle) + ", started with: " + commandLine);
  log.line("Run by " + session.describe() + " " + timeText(os) + ".");
  if (!notKept.empty()) log.line(notKept);
  if (!logWritten) {
    log.line("The log " + options.logFile + " cannot be written.");
    return endWithoutGuard(ExitCode::BadCommandLine);
  }
  if (!line.error.empty()) {
    log.line(line.error);
    return endWithoutGuard(ExitCode::BadCommandLine);
  }
  ui.keepApplicationWindowHidden();
  os.setApplication(ui.applicationWindow(), kAppTitle);
  osMajorVersion = os.osMajorVersion();
  setContext(&os, &ui);
  Run run(os, log, options, session);
  if (options.status) return finish(log, run.status());

  InstanceGuard guard(os, osMajorVersion);
  if (!guard.tryTake()) {
    const std::string seconds = std::to_string(kGuardWaitMs / 1000);
    const std::string another =
        "Another installation of the Printer Sharing Server driver is in progress";
    platform::Error e = guard.error();
    log.line(e == platform::kOk ? another + "; waiting up to " + seconds + " s for it to end."
             : e == platform::kErrorAccessDenied
                 ? another + " in another account; waiting up to " + seconds + " s for it to end."
                 : "The single-instance guard cannot be taken (code " + std::to_string(e) +
                       "); trying again for up to " + seconds + " s.");
    if (!guard.take(kGuardWaitMs)) {
      log.line("It did not end within " + seconds + " s.  Nothing is changed.");
      return endWithoutGuard(ExitCode::AnotherInstallation);
    }
    log.line("It has ended.");
  }
  // The kept log is this run's from here on: the last one's is moved aside.
  if (!kept.empty()) moveKeptLogAside(os, kept);
  log.keep(kept, true);
  // What a run ended in the middle left is undone before anything else.
  journal::Recovery recovery = journal::recover({os, os, os, osMajorVersion, wizard64});
  if (recovery.result != journal::Recovery::Nothing) log.line(journal::recoveryText(recovery));
  if (recovery.result == journal::Recovery::Failed) return finish(log, ExitCode::UndoFailed);
  ExitCode code = options.uninstall ? run.uninstall() : run.install();
  if (code != ExitCode::Done) {
    if (run.notPutBack().empty()) log.line("Nothing was changed.");
    for (const std::string& notBack : run.notPutBack()) log.line("Not put back: " + notBack + ".");
  }
  return finish(log, code);
}

ExitCode refuseUnattended(platform::Files& files, const CommandLine& line,
                          const std::string& commandLine, const std::string& why, ExitCode code) {
  LogPrompter log(files, line.options.logFile);
  log.start(std::string(kAppTitle) + ", started with: " + commandLine);
  logLines(log, why);
  return finish(log, code);
}

ExitCode refuseWindow(platform::Platform& os, const std::string& commandLine,
                      const Session& session) {
  LogPrompter log(os, "");
  std::string notKept;
  std::string kept = keptLogPath(os, notKept);
  log.start(std::string(kAppTitle) + ", started with: " + commandLine);
  log.line("Run by " + session.describe() + " " + timeText(os) + ".");
  log.line("Nobody can see a window of " + session.describe() +
           ", so the wizard shows none.  /quiet installs unattended:");
  logLines(log, usageText());
  finish(log, ExitCode::NoWindowHere);
  log.keep(kept, false);  // added at its end: an installation may be writing it
  return ExitCode::NoWindowHere;
}

}  // namespace app
