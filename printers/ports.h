// Moving local printers between the monitor's port "Remote Port" and
// "LPT1:".  A port change reads the printer's level-2 record and writes it
// back with only the port changed and no security descriptor (so that the
// printer's security stays as it is).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "journal/journal.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "platform/spooler.h"

namespace printers {

inline constexpr char kRemotePort[] = "Remote Port";
inline constexpr char kLptPort[] = "LPT1:";

// How a port change opens the printer: with administer access on version 5
// and up, without defaults below.
platform::OpenMode portChangeOpenMode(std::uint8_t osMajorVersion);

// Moves the printer `name` to `port`.  False after its message, in the
// plain dialog: "GetPrinter Falied!!" (the size query succeeded, or the
// record could not be read), "GetPrinter Failed!!" (the printer could not
// be opened, or the size query failed other than with 122), or
// "SetPrinter Failed!!\nCode %d" (the write failed).
bool setPrinterPort(platform::Spooler& spooler, platform::Prompter& prompter,
                    std::uint8_t osMajorVersion, const std::string& name, const std::string& port);

// 1 when some local printer's port is exactly "Remote Port", 0 when none
// is (or there are no printers), -1 when the printers cannot be listed
// (after the message box "EnumPrinters Failed!!" without a caption of its
// own).  With bMove 1 every such printer is moved, each move recorded in
// `journal` first, to the port `destination` gives for it ("LPT1:" when
// none is given); a move that fails shows "OpenPrinter Failed!\nCode %d"
// or "SetPrinter Failed!!\nCode %d", the moves stop, and the result is -1.
using Destination = std::function<std::string(const std::string& printer)>;
int checkRemotePort(platform::Spooler& spooler, platform::Prompter& prompter,
                    std::uint8_t osMajorVersion, int bMove, journal::Journal* journal = nullptr,
                    const Destination& destination = {});

// The ports the wizard remembers for the printers it moved to "Remote
// Port" (journal::kPortsKey), by printer name (in any letter case, as the
// spooler and the registry compare names).  A missing key is an empty list;
// a list that cannot be read whole is no list: false after
// "RegOpenKeyEx Failed!!\nCode %d" or "RegEnumValue Failed!!\nCode %d"
// (read as empty, it would lose each printer's own port).
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const;
};
using RememberedPorts = std::map<std::string, std::string, NoCase>;
bool rememberedPorts(platform::Registry& registry, platform::Prompter& prompter,
                     RememberedPorts& ports);

// The automatic printer page's Next: moves `name` to "Remote Port" after
// asking (no question when it is there already).  `busy(true)` comes
// before the write and `busy(false)` after it.  Failed after the same
// messages as setPrinterPort; Declined when the user answers No.  The
// printer's own port is remembered (rememberedPorts) for "Uninstall",
// unless it is on "LPT1:" with a port remembered already (an update moved
// it there); the port and the remembered port are written through the
// journal.
enum class MoveOutcome { Moved, Declined, Failed };
MoveOutcome moveToRemotePort(platform::Spooler& spooler, platform::Prompter& prompter,
                             std::uint8_t osMajorVersion, const std::string& name,
                             const std::function<void(bool busy)>& busy, journal::Journal& journal);

// The page after the automatic page: the Lexmark help for names holding
// "Lexmark", "LEXMARK", "Compaq" or "COMPAQ" (exactly so written).
bool needsLexmarkHelp(const std::string& name);

}  // namespace printers
