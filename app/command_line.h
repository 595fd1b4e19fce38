// The command line of the unattended mode: Windows-style switches, `/` or
// `-`, case-insensitive, a value after a colon.  An empty line is the wizard.
#pragma once

#include <string>
#include <vector>

namespace app {

struct Options {
  bool quiet = false;        // /quiet: no window, no question
  bool uninstall = false;    // /uninstall
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
  // Empty for a good line; else what is wrong, as the log and the box say it.
  std::string error;
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
// switch or add another.  An empty printer leaves /printer out.
std::string installSwitches(const std::string& server, const std::string& printer, bool makeDefault,
                            bool testPage);

// Reads the switches.  /log is read even from a line with an error, so that
// the error can be logged.
CommandLine parseCommandLine(const std::string& line);

}  // namespace app
