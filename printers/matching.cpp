#include "printers/matching.h"

#include <string_view>
#include <vector>

#include "printers/printer_list.h"

namespace printers {

namespace {

std::string_view limited(const std::string& name) {
  return std::string_view(name).substr(0, kNameLimit);
}

// The first run of characters other than the space, upper-cased; only the
// ASCII letters change.
std::string firstWord(std::string_view name) {
  std::size_t start = name.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  std::size_t end = name.find(' ', start);
  std::string word(name.substr(start, end == std::string_view::npos ? end : end - start));
  for (char& c : word)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return word;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool sameMaker(const std::string& P, const std::string& S) {
  std::string pc = firstWord(limited(P));
  std::string talo = firstWord(limited(S));
  if (pc.empty() || talo.empty()) return false;
  if (talo.find(pc) != std::string::npos) return true;
  return talo.find("HEWLETT") != std::string::npos && pc.find("HP") != std::string::npos;
}

unsigned modelNumber(const std::string& name) {
  std::string_view n = limited(name);
  for (std::size_t i = 0; i + 1 < n.size(); ++i) {
    if (!isDigit(n[i]) || !isDigit(n[i + 1])) continue;
    std::uint32_t value = 0;
    for (; i < n.size() && isDigit(n[i]); ++i)
      value = value * 10u + static_cast<std::uint32_t>(n[i] - '0');
    return value;
  }
  return 0;
}

int FindModel(const std::string& P, const std::string& S) {
  return modelNumber(P) == modelNumber(S) ? 0 : 1;
}

bool fullMatch(const std::string& P, const std::string& S) {
  return sameMaker(P, S) && FindModel(P, S) == 0;
}

PrinterPage choosePrinterPage(platform::Spooler& spooler, const std::string& serverPrinter) {
  std::vector<platform::PrinterInfo2> list;
  // An unreadable list leaves the automatic page to deal with it.
  if (readPrinters(spooler, list) != ListResult::Listed) return PrinterPage::Automatic;
  if (serverPrinter.empty()) return PrinterPage::AskPrinter;
  for (const auto& p : list)
    if (fullMatch(p.printerName.value_or(""), serverPrinter)) return PrinterPage::Automatic;
  return PrinterPage::AskPrinter;
}

std::string pickPrinter(platform::Spooler& spooler, platform::Prompter& prompter,
                        const std::string& serverPrinter, const std::string& given) {
  std::vector<platform::PrinterInfo2> list;
  ListResult r = readPrinters(spooler, list);
  if (r == ListResult::Failed) prompter.showMessage("EnumPrinters Failed!!");
  if (r != ListResult::Listed || list.empty()) return given;
  std::string chosen = list.front().printerName.value_or("");
  if (serverPrinter.empty()) return chosen;
  for (const auto& p : list) {
    std::string name = p.printerName.value_or("");
    if (!sameMaker(name, serverPrinter)) continue;
    chosen = name;
    if (FindModel(name, serverPrinter) == 0) break;
  }
  return chosen;
}

}  // namespace printers
