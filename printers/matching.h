// Which local printer has a driver for the server's printer: the printers'
// names are compared by maker (the first word) and by model number (the
// first run of two or more digits).
#pragma once

#include <cstddef>
#include <string>

#include "platform/prompter.h"
#include "platform/spooler.h"

namespace printers {

// Names are compared by their first 255 characters; the rest plays no part.
inline constexpr std::size_t kNameLimit = 255;

// The first word of the local name P (upper-cased, ASCII letters only)
// occurs inside the first word of the server's name S; or S's word holds
// "HEWLETT" and P's holds "HP".  A name without a word matches nothing.
bool sameMaker(const std::string& P, const std::string& S);
// The model number of a name: the first run of two or more decimal digits,
// modulo 2^32; 0 when there is none.
unsigned modelNumber(const std::string& name);
// 0 when P and S have the same model number, else 1.
int FindModel(const std::string& P, const std::string& S);
// The local printer P fits the server's printer S.
bool fullMatch(const std::string& P, const std::string& S);

// The page the printer matching opens after the monitor step.
enum class PrinterPage { Automatic, AskPrinter };
// Automatic when some local printer fits `serverPrinter`, when there are no
// local printers, or when they cannot be listed; AskPrinter otherwise
// (always, with printers, when `serverPrinter` is empty).  Shows nothing.
PrinterPage choosePrinterPage(platform::Spooler& spooler, const std::string& serverPrinter);

// The printer the automatic page proposes: the first that fits, else the
// last of the same maker, else the first in the list; `given` when there
// are no local printers or they cannot be listed (then after the plain
// message "EnumPrinters Failed!!").
std::string pickPrinter(platform::Spooler& spooler, platform::Prompter& prompter,
                        const std::string& serverPrinter, const std::string& given);

}  // namespace printers
