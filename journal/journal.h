// The journal of one step: what the step changes on the PC, written to the
// registry before each change, so that the step is all or nothing.  A step
// that fails puts back what it changed; the next start puts back what a
// step that was ended in the middle (power cut, task manager, a deployment
// tool's time-out) had changed.
//
// On disk: the values of kJournalKey.  "Step" names the step; each change
// is a REG_MULTI_SZ value named by its number ("0001": its kind and what
// undoing it needs), with the saved data it needs in values named after it
// ("0001.0001", "0001.0001 where").  The key holds values only: deleting
// it is the step's commit, one atomic call.  The step's temporary files
// and folders are named in kLeftoversKey before that, and removed after
// it; what cannot be removed then (a DLL still in use) stays named there
// for the end of the next step or the next start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "platform/spooler.h"

namespace journal {

// The wizard's own key (the MSI package writes "Shortcut" there).
inline constexpr char kWizardKey[] = "Software\\Varn\\PRN WIZARD";
inline constexpr char kJournalKey[] = "Software\\Varn\\PRN WIZARD\\Journal";
// Each printer's own port while the wizard has moved it away from it: one
// string value per printer, named as the printer.
inline constexpr char kPortsKey[] = "Software\\Varn\\PRN WIZARD\\Ports";
// Temporary files and folders still to remove: a value per path, "file"
// or "folder".  Removed only while no journal waits to be undone (one that
// could not be undone may need them).
inline constexpr char kLeftoversKey[] = "Software\\Varn\\PRN WIZARD\\Leftovers";

// What a journal changes and undoes.
struct Pc {
  platform::Spooler& spooler;
  platform::Registry& registry;
  platform::Files& files;
  std::uint8_t osMajorVersion;
  bool x64 = false;  // the 64-bit wizard on x64 Windows (monitor/family.h)
};

// The message of a step whose journal could not be written: the step
// changes nothing.
std::string recordFailedText(platform::Error e);

class Journal {
 public:
  // `step` names the step for the next start's report ("the installation
  // of the printer sharing driver").  Nothing is written before the first
  // change is recorded.
  Journal(const Pc& pc, std::string step);
  // A step left without end() (an exception) is put back.
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Each records, before a change, how to undo it.  False when the record
  // could not be written (error() says why): the change must not be made.
  bool createdFile(const std::string& path);
  bool createdFolder(const std::string& path);
  bool movedFile(const std::string& from, const std::string& to);
  // A copy of a key under HKEY_LOCAL_MACHINE, its values and subkeys (or
  // that it is missing), before the step changes it.
  bool savedKey(const std::string& path);
  bool printerPort(const std::string& printer, const std::string& port);
  bool monitorRemoved(const platform::MonitorInfo2& monitor);
  bool monitorAdded(const std::string& name, const std::string& environment);
  // The default printer before the step changes it ("" when there was none).
  bool defaultPrinter(const std::string& previous);

  // Journaled registry writes: the value as it was is recorded, then the
  // string is written (its key made when missing) or the value deleted.
  platform::Error setString(const std::string& keyPath, const std::string& name,
                            const std::string& value);
  platform::Error deleteValue(const std::string& keyPath, const std::string& name);

  // A temporary file or folder of the step, removed when the step ends
  // (a failed step's are undone with it).
  void removeWhenDone(const std::string& path, bool folder);

  platform::Error error() const { return error_; }
  const Pc& pc() const { return pc_; }

  // Savepoints: undo what was recorded since mark().  What could not be put
  // back, a line each.
  std::size_t mark() const { return entries_.size(); }
  std::vector<std::string> rollbackTo(std::size_t mark);

  struct Ending {
    bool kept = false;                    // the step's changes stand
    platform::Error commitError = 0;      // the commit failed: all was put back
    std::vector<std::string> notPutBack;  // what could not be put back (then, unless it
                                          // never can be, the journal stays)
    std::vector<std::string> leftOver;    // temporary files still to remove (kLeftoversKey)
  };
  // Commits the step when `done`, else puts back everything it changed.
  Ending end(bool done);
  // The same, saying through `prompter` what the user must know: a commit
  // that failed, what could not be put back.  True when the changes stand.
  bool end(bool done, platform::Prompter& prompter);

  // One recorded change (also what the next start reads back).
  struct Item {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
  };
  struct Entry {
    std::string id;                   // "0001"
    std::vector<std::string> fields;  // the kind, then its arguments
    std::vector<Item> items;          // saved data
  };

 private:
  bool open();
  bool record(std::vector<std::string> fields, std::vector<Item> items = {});
  void close();

  Pc pc_;
  std::string step_;
  platform::RegKey key_ = 0;
  bool made_ = false;
  bool ended_ = false;
  bool blocked_ = false;  // an undo that failed keeps the journal
  platform::Error error_ = platform::kOk;
  int next_ = 1;
  std::vector<Entry> entries_;
  std::vector<std::pair<std::string, bool>> temporary_;
};

// Removes the leftovers named in kLeftoversKey (and their names); those
// that cannot be removed, a line each.
std::vector<std::string> removeLeftovers(platform::Registry& registry, platform::Files& files);

// Says through `prompter` what the user must know of a step's ending: a
// commit that failed, what could not be put back.
void report(const Journal::Ending& ending, platform::Prompter& prompter);

// What a journal left by an earlier run holds, for a report that changes
// nothing (/quiet /status).
struct Pending {
  std::string step;                    // empty when only leftovers are there
  std::vector<std::string> changes;    // what was changed, a line each, in order
  std::vector<std::string> leftovers;  // temporary files and folders still to remove
};
// nullopt when neither a journal nor leftovers are there.  A journal that
// cannot be read fails with the registry's code.
platform::Error readPending(platform::Registry& registry, std::optional<Pending>& pending);

// The start of the program: a journal left by a run that was ended in the
// middle is undone before anything else, and leftovers are removed.
struct Recovery {
  enum Result { Nothing, Undone, Failed } result = Nothing;
  std::string step;
  std::vector<std::string> undone;      // what was put back, a line each
  std::vector<std::string> lost;        // what can never be put back (no default printer before)
  std::vector<std::string> notPutBack;  // Failed: what could not be; the journal stays
};
Recovery recover(const Pc& pc);
// The report of a recovery for a log or a message box ("" for Nothing).
std::string recoveryText(const Recovery& r);

}  // namespace journal
