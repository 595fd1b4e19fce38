// The command line of the unattended mode: Windows-style switches, `/` or
// `-`, case-insensitive, a value after a colon.  An empty line is the wizard;
// /? alone shows the switches; every other line runs with no window.
#pragma once

#include <string>
#include <vector>

namespace app {

struct Options {
  bool quiet = false;        // /quiet (or /q, /qn, /s, /silent): no window, no question
  bool uninstall = false;    // /uninstall
  bool status = false;       // /status: read whether the PC is set up, change nothing
  bool help = false;         // /?
  bool makeDefault = false;  // /default
  bool testPage = false;     // /testpage
  std::string server;        // /server:ADDRESS; empty: discover
  std::string printer;       // /printer:NAME; empty: the matching printer
  std::string logFile;       // /log:FILE; empty: no log
  unsigned waitSeconds = 3;  // /wait:SECONDS, for the discovery
};

struct CommandLine {
  Options options;
  // Empty for a good line; else what is wrong, as the log says it.
  std::string error;
  bool empty = true;      // no word at all: the wizard
  bool helpAlone = false;  // "/?" and nothing else: the box that lists the switches
};

inline constexpr unsigned kMaxWaitSeconds = 600;

// The words of a command line as the C runtime splits them: blanks
// separate, double quotes group (also inside a word), a backslash before a
// quote makes it a plain quote.
std::vector<std::string> splitCommandLine(const std::string& line);

// The word in double quotes, escaped so that splitCommandLine reads back
// exactly `word`, whatever quotes, backslashes or blanks it holds.
std::string quoteWord(const std::string& word);

// The switches of an unattended installation with these answers (the MSI
// package's properties): each value is quoted, so that none can end its
// switch or add another.  An empty printer leaves /printer out, an empty
// wait /wait.
std::string installSwitches(const std::string& server, const std::string& printer, bool makeDefault,
                            bool testPage, const std::string& wait = "");

// A package property that turns a switch on: "1" only (msiexec's
// DEFAULT=0 must not mean yes).
inline bool propertyOn(const std::string& value) { return value == "1"; }

// Reads the switches.  /log is read even from a line with an error, so that
// the error can be logged.
CommandLine parseCommandLine(const std::string& line);

}  // namespace app
