#include "app/command_line.h"

#include <cctype>

namespace app {

namespace {

constexpr std::size_t kMaxPath = 259;     // MAX_PATH less the terminating zero
constexpr std::size_t kMaxPrinter = 220;  // the spooler's longest printer name
constexpr std::size_t kShownValue = 40;   // an echoed value is cut here

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string shown(const std::string& value) {
  return value.size() <= kShownValue ? value : value.substr(0, kShownValue) + "...";
}

// Four decimal numbers 0 to 255 joined by dots, as the monitor stores a
// server; neither 0.0.0.0 nor the broadcast address.
bool serverAddress(const std::string& text) {
  int parts = 0;
  std::size_t i = 0;
  while (parts < 4) {
    std::size_t digits = 0;
    unsigned value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 4) {
      value = value * 10 + static_cast<unsigned>(text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    if (++parts < 4) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
  }
  return i == text.size() && text != "0.0.0.0" && text != "255.255.255.255";
}

bool seconds(const std::string& text, unsigned& out) {
  if (text.empty() || text.size() > 3) return false;
  out = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    out = out * 10 + static_cast<unsigned>(c - '0');
  }
  return out <= kMaxWaitSeconds;
}

// Applies one switch; the error, or empty.
std::string apply(const std::string& word, Options& o, std::vector<std::string>& seen) {
  if (word.size() < 2 || (word[0] != '/' && word[0] != '-'))
    return "Unexpected argument \"" + shown(word) + "\": switches begin with / or -.";
  std::size_t colon = word.find(':');
  std::string name = lower(word.substr(1, colon == std::string::npos ? colon : colon - 1));
  bool hasValue = colon != std::string::npos;
  std::string value = hasValue ? word.substr(colon + 1) : std::string();
  // The quiet switches of other installers mean /quiet, and deployment
  // tools add /norestart to every line; either may come more than once.
  if (name == "q" || name == "qn" || name == "s" || name == "silent") name = "quiet";
  bool repeatable = name == "quiet" || name == "norestart";
  for (const std::string& s : seen)
    if (s == name && !repeatable) return "/" + name + " is given twice.";
  seen.push_back(name);

  bool ignored = false;
  bool* flag = name == "quiet"       ? &o.quiet
               : name == "uninstall" ? &o.uninstall
               : name == "status"    ? &o.status
               : name == "?"         ? &o.help
               : name == "default"   ? &o.makeDefault
               : name == "testpage"  ? &o.testPage
               : name == "norestart" ? &ignored  // nothing here needs a restart
                                     : nullptr;
  if (flag) {
    if (hasValue) return "/" + name + " takes no value.";
    *flag = true;
    return "";
  }
  if (name != "server" && name != "printer" && name != "log" && name != "wait")
    return "Unknown switch \"" + shown(word) + "\"; /? lists the switches.";
  if (value.empty()) return "/" + name + ": needs a value.";
  if (name == "server") {
    if (!serverAddress(value))
      return "/server:" + shown(value) + " is not an IPv4 address such as 10.0.0.5.";
    o.server = value;
  } else if (name == "printer") {
    if (value.size() > kMaxPrinter)
      return "/printer: names a printer longer than " + std::to_string(kMaxPrinter) +
             " characters.";
    o.printer = value;
  } else if (name == "log") {
    if (value.size() > kMaxPath)
      return "/log: names a path longer than " + std::to_string(kMaxPath) + " characters.";
    o.logFile = value;
  } else if (!seconds(value, o.waitSeconds)) {
    return "/wait:" + shown(value) + " is not a number of seconds from 0 to " +
           std::to_string(kMaxWaitSeconds) + ".";
  }
  return "";
}

// What the switches say together.
std::string combination(const Options& o, const std::vector<std::string>& seen) {
  if (o.help) return seen.size() == 1 ? "" : "/? stands alone.";
  auto given = [&](const char* name) {
    for (const std::string& s : seen)
      if (s == name) return true;
    return false;
  };
  if (!o.quiet && !seen.empty()) return "The switches work only with /quiet.";
  if (o.uninstall && o.status) return "/uninstall and /status exclude each other.";
  if (o.uninstall) {
    for (const char* name : {"server", "printer", "default", "testpage", "wait"})
      if (given(name)) return "/uninstall takes no /" + std::string(name) + ".";
  }
  if (o.status) {
    for (const char* name : {"default", "testpage", "wait"})
      if (given(name)) return "/status takes no /" + std::string(name) + ".";
  }
  return "";
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) return words;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !blank(line[i]))) {
      std::size_t slashes = 0;
      while (i < line.size() && line[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < line.size() && line[i] == '"') {
        // 2n backslashes and a quote: n backslashes and the quote groups;
        // 2n+1: n backslashes and a plain quote.
        word.append(slashes / 2, '\\');
        if (slashes % 2) {
          word += '"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          word += '"';  // "" inside quotes is a plain quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        word.append(slashes, '\\');
        if (i < line.size() && (quoted || !blank(line[i]))) word += line[i++];
      }
    }
    words.push_back(word);
  }
}

std::string quoteWord(const std::string& word) {
  // Backslashes are plain unless a quote follows them: those before a quote
  // (the word's own, or the closing one) are doubled, and the quote escaped.
  std::string quoted = "\"";
  std::size_t slashes = 0;
  for (char c : word) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    quoted.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
    quoted += c;
    slashes = 0;
  }
  quoted.append(slashes * 2, '\\');
  return quoted + '"';
}

std::string installSwitches(const std::string& server, const std::string& printer, bool makeDefault,
                            bool testPage, const std::string& wait) {
  std::string line = "/quiet " + quoteWord("/server:" + server);
  if (!printer.empty()) line += " " + quoteWord("/printer:" + printer);
  if (makeDefault) line += " /default";
  if (testPage) line += " /testpage";
  if (!wait.empty()) line += " " + quoteWord("/wait:" + wait);
  return line;
}

CommandLine parseCommandLine(const std::string& line) {
  CommandLine result;
  std::vector<std::string> seen;
  std::vector<std::string> words = splitCommandLine(line);
  for (const std::string& word : words) {
    std::string error = apply(word, result.options, seen);
    if (result.error.empty()) result.error = error;
  }
  if (result.error.empty()) result.error = combination(result.options, seen);
  result.empty = words.empty();
  result.helpAlone = result.options.help && words.size() == 1 && result.error.empty();
  return result;
}

}  // namespace app
