// The completion page's "Done": the chosen printer becomes the default
// printer, by the spooler's call on the NT family and by the printer's
// default attribute on the 9x family.
#pragma once

#include <cstdint>
#include <string>

#include "journal/journal.h"
#include "platform/prompter.h"
#include "platform/spooler.h"

namespace printers {

// True when the spooler took the change.  Every failure is said in the
// plain dialog before the caller ends the program: "OpenPrinter Failed!",
// "GetPrinter Falied!!", "GetPrinter Failed!!", or, when the spooler
// refuses the change itself (or the default printer before it cannot be
// read, for the journal), "Could not make %s the default printer.\nCode %d".
// The default printer before the change is recorded in `journal`.
bool makeDefaultPrinter(platform::Spooler& spooler, platform::Prompter& prompter,
                        std::uint8_t osMajorVersion, const std::string& name,
                        journal::Journal& journal);

}  // namespace printers
