#include "journal/journal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace journal {

using platform::Error;
using platform::kOk;

namespace {

constexpr char kStepValue[] = "Step";
constexpr std::uint32_t kRegMultiSz = platform::kRegMultiSz;
// A key tree is read to this depth and size at most.
constexpr int kMaxDepth = 16;
constexpr std::size_t kMaxKeys = 512;

bool missing(Error e) {
  return e == platform::kErrorFileNotFound || e == platform::kErrorPathNotFound;
}

std::string code(Error e) { return " (code " + std::to_string(static_cast<std::int32_t>(e)) + ")"; }

std::string hklm(const std::string& path) { return "HKEY_LOCAL_MACHINE\\" + path; }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// REG_MULTI_SZ: each field and its zero, then one more zero.
std::string multi(const std::vector<std::string>& fields) {
  std::string bytes;
  for (const std::string& f : fields) bytes += f + '\0';
  return bytes + '\0';
}
// The first `count` fields, empty ones included.
std::vector<std::string> fieldsOf(const std::string& bytes, std::size_t count) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (fields.size() < count && at <= bytes.size()) {
    std::size_t end = bytes.find('\0', at);
    if (end == std::string::npos) end = bytes.size();
    fields.push_back(bytes.substr(at, end - at));
    at = end + 1;
  }
  fields.resize(count);
  return fields;
}

std::string number(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%04d", n % 10000);
  return text;
}

bool isEntryName(const std::string& name) {
  return name.size() == 4 && std::all_of(name.begin(), name.end(), [](char c) {
           return std::isdigit(static_cast<unsigned char>(c));
         });
}

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) <
             std::tolower(static_cast<unsigned char>(y));
    });
  }
};

// A key and everything below it.  Subkeys by their path below the key:
// "\" is the key itself, "\Ports\Remote Port" a subkey.
struct Value {
  std::uint32_t type = 0;
  std::string data;
  bool operator==(const Value&) const = default;
};
using Values = std::map<std::string, Value, NoCase>;
struct Tree {
  bool exists = false;
  std::map<std::string, Values, NoCase> keys;
  bool operator==(const Tree&) const = default;
};

std::string below(const std::string& path, const std::string& sub) {
  return sub == "\\" ? path : path + sub;
}

// Every value and subkey of `path`; a missing key is a tree that does not exist.
Error readKeys(platform::Registry& r, const std::string& path, const std::string& sub, int depth,
               Tree& tree) {
  if (depth > kMaxDepth || tree.keys.size() > kMaxKeys) return platform::kErrorInvalidParameter;
  platform::RegKey key = 0;
  if (Error e = r.regOpenKey(below(path, sub), key)) return e;
  Values& values = tree.keys[sub];
  std::vector<std::string> subkeys;
  Error e = kOk;
  for (std::uint32_t i = 0; !e; ++i) {
    std::string name, data;
    std::uint32_t type = 0;
    e = r.regEnumValue(key, i, name, type, data);
    if (!e) values[name] = {type, data};
  }
  if (e == platform::kErrorNoMoreItems) e = kOk;
  for (std::uint32_t i = 0; !e; ++i) {
    std::string name;
    e = r.regEnumKey(key, i, name);
    if (!e) subkeys.push_back(name);
  }
  if (e == platform::kErrorNoMoreItems) e = kOk;
  r.regCloseKey(key);
  for (const std::string& s : subkeys) {
    if (e) break;
    e = readKeys(r, path, (sub == "\\" ? "" : sub) + "\\" + s, depth + 1, tree);
  }
  return e;
}

Error readTree(platform::Registry& r, const std::string& path, Tree& tree) {
  tree = Tree{};
  Error e = readKeys(r, path, "\\", 0, tree);
  if (missing(e) && tree.keys.empty()) return kOk;
  tree.exists = !e;
  return e;
}

// Deletes a key and all below it, the deepest keys first.
Error deleteTree(platform::Registry& r, const std::string& path, int depth = 0) {
  if (depth > kMaxDepth) return platform::kErrorInvalidParameter;
  platform::RegKey key = 0;
  Error e = r.regOpenKey(path, key);
  if (missing(e)) return kOk;
  if (e) return e;
  std::vector<std::string> subkeys;
  for (std::uint32_t i = 0; !e; ++i) {
    std::string name;
    e = r.regEnumKey(key, i, name);
    if (!e) subkeys.push_back(name);
  }
  r.regCloseKey(key);
  if (e != platform::kErrorNoMoreItems) return e;
  for (const std::string& s : subkeys)
    if (Error d = deleteTree(r, path + "\\" + s, depth + 1)) return d;
  e = r.regDeleteKey(path);
  return missing(e) ? kOk : e;
}

// Makes the key at `path` hold exactly `saved`, changing only what differs.
Error restoreTree(platform::Registry& r, const std::string& path, const Tree& saved,
                  const Tree& now) {
  if (!saved.exists) return deleteTree(r, path);
  // Keys that were not there, deepest first (a longer path sorts after its key).
  for (auto it = now.keys.rbegin(); it != now.keys.rend(); ++it)
    if (!saved.keys.count(it->first))
      if (Error e = deleteTree(r, below(path, it->first))) return e;
  for (const auto& [sub, values] : saved.keys) {
    auto current = now.keys.find(sub);
    if (current != now.keys.end() && current->second == values) continue;
    platform::RegKey key = 0;
    if (Error e = r.regCreateKey(below(path, sub), key)) return e;
    Error e = kOk;
    if (current != now.keys.end())
      for (const auto& [name, value] : current->second)
        if (!e && !values.count(name)) e = r.regDeleteValue(key, name);
    for (const auto& [name, value] : values) {
      if (e) break;
      if (current != now.keys.end()) {
        auto was = current->second.find(name);
        if (was != current->second.end() && was->second == value) continue;
      }
      e = r.regSetValue(key, name, value.type, value.data);
    }
    r.regCloseKey(key);
    if (e) return e;
  }
  return kOk;
}

// Whether the key has neither values nor subkeys; then it is deleted.
void removeIfEmpty(platform::Registry& r, const std::string& path) {
  platform::RegKey key = 0;
  if (r.regOpenKey(path, key)) return;
  std::string name, data;
  std::uint32_t type = 0;
  bool empty = r.regEnumValue(key, 0, name, type, data) == platform::kErrorNoMoreItems &&
               r.regEnumKey(key, 0, name) == platform::kErrorNoMoreItems;
  r.regCloseKey(key);
  if (empty) r.regDeleteKey(path);
}

// The keys the wizard made for its journal and remembered ports go when
// nothing is left in them.
void tidy(platform::Registry& r) {
  removeIfEmpty(r, kPortsKey);
  removeIfEmpty(r, kWizardKey);
}

// --- undo ---------------------------------------------------------------

struct Undo {
  // Lost: cannot be put back, ever, and nothing rests on it: said, and the
  // undo goes on.  Failed: not now; what came before may rest on it.
  enum { Nothing, Done, Lost, Failed } result = Nothing;
  std::string text;  // Done: what was put back; Lost, Failed: what could not be
};
Undo done(std::string text) { return {Undo::Done, std::move(text)}; }
Undo failed(std::string text) { return {Undo::Failed, std::move(text)}; }
Undo nothing() { return {}; }

int listed(platform::Spooler& s, const std::string& name, Error& e) {
  std::uint32_t needed = 0;
  e = s.enumMonitorsSize(needed);
  std::vector<std::string> names;
  if (e && e != platform::kErrorInsufficientBuffer) return -1;
  if ((e = s.enumMonitors(needed, names))) return -1;
  return std::find(names.begin(), names.end(), name) != names.end() ? 1 : 0;
}

Error setPort(const Pc& pc, const std::string& printer, const std::string& port, bool& changed) {
  changed = false;
  platform::Spooler& s = pc.spooler;
  platform::PrinterHandle h = 0;
  auto mode =
      pc.osMajorVersion >= 5 ? platform::OpenMode::Administer : platform::OpenMode::NoDefaults;
  if (Error e = s.openPrinter(printer, mode, h)) return e;
  std::uint32_t needed = 0;
  platform::PrinterInfo2 info;
  Error e = s.printerSize(h, needed);
  if (e == platform::kErrorInsufficientBuffer)
    e = s.getPrinter(h, needed, info);
  else if (!e)
    e = platform::kErrorInvalidParameter;
  if (!e && info.portName != port) {
    info.portName = port;
    info.securityDescriptor.clear();
    e = s.setPrinter(h, info);
    changed = !e;
  }
  s.closePrinter(h);
  return e;
}

Error setDefault(const Pc& pc, const std::string& printer) {
  platform::Spooler& s = pc.spooler;
  if (pc.osMajorVersion >= 5) return s.setDefaultPrinter(printer);
  // The 9x family: the printer's default attribute.
  platform::PrinterHandle h = 0;
  if (Error e = s.openPrinter(printer, platform::OpenMode::NoDefaults, h)) return e;
  std::uint32_t needed = 0;
  platform::PrinterInfo5 info;
  Error e = s.printer5Size(h, needed);
  if (e == platform::kErrorInsufficientBuffer)
    e = s.getPrinter5(h, needed, info);
  else if (!e)
    e = platform::kErrorInvalidParameter;
  if (!e) {
    info.attributes |= platform::kPrinterAttributeDefault;
    e = s.setPrinter5(h, info);
  }
  s.closePrinter(h);
  return e;
}

// The saved tree of a "key" entry.
Tree savedTree(const Journal::Entry& entry) {
  Tree t;
  t.exists = entry.fields[2] == "1";
  std::map<std::string, const Journal::Item*> data;
  for (const Journal::Item& item : entry.items) data[item.name] = &item;
  for (const Journal::Item& item : entry.items) {
    const std::string suffix = " where";
    if (item.name.size() <= suffix.size() ||
        item.name.compare(item.name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    // A key's place, and with the saved data beside it, one of its values.
    std::vector<std::string> where = fieldsOf(item.data, 2);
    Values& values = t.keys[where[0]];
    auto d = data.find(item.name.substr(0, item.name.size() - suffix.size()));
    if (d != data.end()) values[where[1]] = {d->second->type, d->second->data};
  }
  return t;
}

Undo undo(const Pc& pc, const Journal::Entry& entry) {
  const std::vector<std::string>& f = entry.fields;
  const std::string& kind = f[0];
  if (kind == "file" || kind == "folder") {
    bool folder = kind == "folder";
    Error e = folder ? pc.files.removeDirectory(f[1]) : pc.files.deleteFile(f[1]);
    if (missing(e)) return nothing();
    if (e) return failed("the " + kind + " " + f[1] + " could not be removed" + code(e));
    return done("removed the " + kind + " " + f[1]);
  }
  if (kind == "moved") {
    Error e = pc.files.moveFile(f[2], f[1]);
    if (missing(e)) return nothing();
    if (e) return failed(f[2] + " could not be renamed back to " + f[1] + code(e));
    return done("renamed " + f[2] + " back to " + f[1]);
  }
  if (kind == "key") {
    Tree saved = savedTree(entry), now;
    Error e = readTree(pc.registry, f[1], now);
    if (!e && now == saved) return nothing();
    if (!e) e = restoreTree(pc.registry, f[1], saved, now);
    if (e) return failed(hklm(f[1]) + " could not be put back as it was" + code(e));
    return done("put " + hklm(f[1]) + " back as it was");
  }
  if (kind == "value") {
    const std::string& path = f[1];
    const std::string& name = f[2];
    bool existed = f[3] == "1", keyExisted = f[4] == "1";
    platform::RegKey key = 0;
    Error e = existed ? pc.registry.regCreateKey(path, key) : pc.registry.regOpenKey(path, key);
    if (!existed && missing(e)) return nothing();
    std::string what = "the value " + quoted(name) + " of " + hklm(path);
    if (e) return failed(what + " could not be put back" + code(e));
    std::uint32_t type = 0;
    std::string data;
    Error q = pc.registry.regQueryValue(key, name, type, data);
    bool changed = false;
    if (existed) {
      const Journal::Item& old = entry.items.at(0);
      if (q || type != old.type || data != old.data) {
        e = pc.registry.regSetValue(key, name, old.type, old.data);
        changed = true;
      }
    } else if (!q) {
      e = pc.registry.regDeleteValue(key, name);
      changed = true;
    }
    pc.registry.regCloseKey(key);
    if (e) return failed(what + " could not be put back" + code(e));
    if (!keyExisted) removeIfEmpty(pc.registry, path);
    return changed ? done("put " + what + " back") : nothing();
  }
  if (kind == "port") {
    bool changed = false;
    Error e = setPort(pc, f[1], f[2], changed);
    if (e == platform::kErrorInvalidPrinterName) return nothing();  // the printer is gone
    if (e)
      return failed("the printer " + quoted(f[1]) + " could not be put back on " + quoted(f[2]) +
                    code(e));
    return changed ? done("put the printer " + quoted(f[1]) + " back on " + quoted(f[2]))
                   : nothing();
  }
  if (kind == "monitor-removed" || kind == "monitor-added") {
    bool removed = kind == "monitor-removed";
    Error e = kOk;
    int there = listed(pc.spooler, f[1], e);
    if (there < 0) return failed("the monitors could not be listed" + code(e));
    if (removed == (there == 1)) return nothing();
    e = removed ? pc.spooler.addMonitor({f[1], f[2], f[3]}) : pc.spooler.deleteMonitor(f[2], f[1]);
    if (e)
      return failed("the monitor " + quoted(f[1]) + " could not be " +
                    (removed ? "registered again" : "removed again") + code(e));
    return done((removed ? "registered the monitor " : "removed the monitor ") + quoted(f[1]) +
                " again");
  }
  if (kind == "default") {
    std::string now;
    Error e = pc.spooler.defaultPrinter(now);
    if (e && !missing(e)) return failed("the default printer could not be read" + code(e));
    if (now == f[1]) return nothing();
    if (f[1].empty())
      return {Undo::Lost,
              "there was no default printer before; " + quoted(now) + " stays the default"};
    if ((e = setDefault(pc, f[1])))
      return failed(quoted(f[1]) + " could not be made the default printer again" + code(e));
    return done("made " + quoted(f[1]) + " the default printer again");
  }
  return failed("an unknown change " + quoted(kind) + " was left as it is");
}

// What an entry changed, for a report that changes nothing.
std::string describe(const Journal::Entry& entry) {
  const std::vector<std::string>& f = entry.fields;
  const std::string& kind = f[0];
  if (kind == "file" || kind == "folder") return "made the " + kind + " " + f[1];
  if (kind == "moved") return "renamed " + f[1] + " to " + f[2];
  if (kind == "key") return "kept a copy of " + hklm(f[1]) + " before changing it";
  if (kind == "value") return "changed the value " + quoted(f[2]) + " of " + hklm(f[1]);
  if (kind == "port") return "moved the printer " + quoted(f[1]) + " off the port " + quoted(f[2]);
  if (kind == "monitor-removed") return "removed the monitor " + quoted(f[1]);
  if (kind == "monitor-added") return "registered the monitor " + quoted(f[1]);
  if (kind == "default")
    return "changed the default printer" + (f[1].empty() ? std::string() : " from " + quoted(f[1]));
  return "an unknown change " + quoted(kind);
}

// How many fields each kind has.
std::size_t fieldCount(const std::string& kind) {
  if (kind == "file" || kind == "folder" || kind == "default") return 2;
  if (kind == "moved" || kind == "port" || kind == "monitor-added") return 3;
  if (kind == "key") return 3;
  if (kind == "monitor-removed") return 4;
  if (kind == "value") return 5;
  return 1;
}

// A journal as stored.
struct Stored {
  std::string step;
  std::vector<Journal::Entry> entries;
};

Error readStored(platform::Registry& r, platform::RegKey key, Stored& out) {
  std::map<std::string, Journal::Entry> entries;
  std::vector<Journal::Item> items;
  Error e = kOk;
  for (std::uint32_t i = 0; !e; ++i) {
    Journal::Item item;
    e = r.regEnumValue(key, i, item.name, item.type, item.data);
    if (e) break;
    if (item.name == kStepValue) {
      out.step = fieldsOf(item.data, 1)[0];
    } else if (isEntryName(item.name)) {
      std::string kind = fieldsOf(item.data, 1)[0];
      entries[item.name] = {item.name, fieldsOf(item.data, fieldCount(kind)), {}};
    } else {
      items.push_back(std::move(item));
    }
  }
  if (e != platform::kErrorNoMoreItems) return e;
  // Saved data without its entry was written before a change that never came.
  for (Journal::Item& item : items) {
    auto entry = entries.find(item.name.substr(0, 4));
    if (entry != entries.end() && item.name.size() > 4 && item.name[4] == '.')
      entry->second.items.push_back(std::move(item));
  }
  for (auto& [id, entry] : entries) {
    std::sort(entry.items.begin(), entry.items.end(),
              [](const Journal::Item& a, const Journal::Item& b) { return a.name < b.name; });
    out.entries.push_back(std::move(entry));
  }
  return kOk;
}

// The leftovers named in the registry: path and whether it is a folder.
std::vector<std::pair<std::string, bool>> readLeftovers(platform::Registry& r) {
  std::vector<std::pair<std::string, bool>> paths;
  platform::RegKey key = 0;
  if (r.regOpenKeyToRead(kLeftoversKey, key)) return paths;
  for (std::uint32_t i = 0; i < 1000; ++i) {
    std::string name, data;
    std::uint32_t type = 0;
    if (r.regEnumValue(key, i, name, type, data)) break;
    paths.emplace_back(name, fieldsOf(data, 1)[0] == "folder");
  }
  r.regCloseKey(key);
  return paths;
}

}  // namespace

std::string recordFailedText(Error e) {
  return platform::failureText("The wizard could not write its record of the changes it makes in " +
                                   hklm(kJournalKey) + ", so it changed nothing.",
                               e);
}

std::vector<std::string> removeLeftovers(platform::Registry& registry, platform::Files& files) {
  std::vector<std::string> left;
  std::vector<std::pair<std::string, bool>> paths = readLeftovers(registry);
  if (paths.empty()) {
    removeIfEmpty(registry, kLeftoversKey);
    return left;
  }
  platform::RegKey key = 0;
  if (Error e = registry.regOpenKey(kLeftoversKey, key)) {
    left.push_back(hklm(kLeftoversKey) + code(e));
    return left;
  }
  // The files first, then the folders that held them, the deepest first.
  std::stable_sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? !a.second : a.first.size() > b.first.size();
  });
  for (const auto& [path, folder] : paths) {
    Error e = folder ? files.removeDirectory(path) : files.deleteFile(path);
    if (e && !missing(e))
      left.push_back(path + code(e));
    else
      registry.regDeleteValue(key, path);
  }
  registry.regCloseKey(key);
  removeIfEmpty(registry, kLeftoversKey);
  return left;
}

Journal::Journal(const Pc& pc, std::string step) : pc_(pc), step_(std::move(step)) {}

Journal::~Journal() {
  if (!ended_) end(false);
}

bool Journal::open() {
  if (key_) return true;
  if (error_) return false;
  platform::RegKey there = 0;
  Error e = pc_.registry.regOpenKey(kJournalKey, there);
  if (!e) {
    // An earlier run's journal that the start could not undo: no new one on top.
    pc_.registry.regCloseKey(there);
    error_ = platform::kErrorAlreadyExists;
    return false;
  }
  if (!missing(e)) {
    error_ = e;
    return false;
  }
  if ((e = pc_.registry.regCreateKey(kJournalKey, key_))) {
    error_ = e;
    key_ = 0;
    return false;
  }
  made_ = true;
  if ((e = pc_.registry.regSetValue(key_, kStepValue, platform::kRegSz, step_ + '\0'))) {
    error_ = e;
    return false;
  }
  return true;
}

bool Journal::record(std::vector<std::string> fields, std::vector<Item> items) {
  if (!open()) return false;
  Entry entry{number(next_), std::move(fields), {}};
  // Saved data is named below the entry: "0001.0001", "0001.0001 where".
  for (Item& item : items) item.name = entry.id + item.name;
  for (const Item& item : items)
    if (Error e = pc_.registry.regSetValue(key_, item.name, item.type, item.data)) {
      error_ = e;
      return false;
    }
  if (Error e = pc_.registry.regSetValue(key_, entry.id, kRegMultiSz, multi(entry.fields))) {
    error_ = e;
    return false;
  }
  ++next_;
  entry.items = std::move(items);
  entries_.push_back(std::move(entry));
  return true;
}

bool Journal::createdFile(const std::string& path) { return record({"file", path}); }
bool Journal::createdFolder(const std::string& path) { return record({"folder", path}); }
bool Journal::movedFile(const std::string& from, const std::string& to) {
  return record({"moved", from, to});
}

bool Journal::savedKey(const std::string& path) {
  Tree tree;
  if (Error e = readTree(pc_.registry, path, tree)) {
    error_ = e;
    return false;
  }
  std::vector<Item> items;
  int n = 1;
  for (const auto& [sub, values] : tree.keys) {
    if (values.empty()) {
      items.push_back({"." + number(n++) + " where", kRegMultiSz, multi({sub, ""})});
      continue;
    }
    for (const auto& [name, value] : values) {
      std::string id = "." + number(n++);
      items.push_back({id, value.type, value.data});
      items.push_back({id + " where", kRegMultiSz, multi({sub, name})});
    }
  }
  return record({"key", path, tree.exists ? "1" : "0"}, std::move(items));
}

bool Journal::printerPort(const std::string& printer, const std::string& port) {
  return record({"port", printer, port});
}

bool Journal::monitorRemoved(const platform::MonitorInfo2& m) {
  return record({"monitor-removed", m.name, m.environment, m.dllName});
}

bool Journal::monitorAdded(const std::string& name, const std::string& environment) {
  return record({"monitor-added", name, environment});
}

bool Journal::defaultPrinter(const std::string& previous) { return record({"default", previous}); }

namespace {
// A string value as it is, for the journal: whether key and value exist.
Error readValue(platform::Registry& r, const std::string& path, const std::string& name,
                bool& keyExisted, bool& existed, Journal::Item& old) {
  keyExisted = existed = false;
  platform::RegKey key = 0;
  Error e = r.regOpenKey(path, key);
  if (missing(e)) return kOk;
  if (e) return e;
  keyExisted = true;
  e = r.regQueryValue(key, name, old.type, old.data);
  r.regCloseKey(key);
  if (missing(e)) return kOk;
  existed = !e;
  return e;
}
}  // namespace

Error Journal::setString(const std::string& path, const std::string& name,
                         const std::string& value) {
  bool keyExisted = false, existed = false;
  Item old;
  if (Error e = readValue(pc_.registry, path, name, keyExisted, existed, old)) return error_ = e;
  old.name = ".0001";
  if (!record({"value", path, name, existed ? "1" : "0", keyExisted ? "1" : "0"},
              existed ? std::vector<Item>{old} : std::vector<Item>{}))
    return error_;
  platform::RegKey key = 0;
  if (Error e = pc_.registry.regCreateKey(path, key)) return e;
  Error e = pc_.registry.regSetString(key, name, value);
  pc_.registry.regCloseKey(key);
  return e;
}

Error Journal::deleteValue(const std::string& path, const std::string& name) {
  bool keyExisted = false, existed = false;
  Item old;
  if (Error e = readValue(pc_.registry, path, name, keyExisted, existed, old)) return error_ = e;
  if (!existed) return kOk;
  old.name = ".0001";
  if (!record({"value", path, name, "1", "1"}, {old})) return error_;
  platform::RegKey key = 0;
  if (Error e = pc_.registry.regOpenKey(path, key)) return e;
  Error e = pc_.registry.regDeleteValue(key, name);
  pc_.registry.regCloseKey(key);
  return e;
}

void Journal::removeWhenDone(const std::string& path, bool folder) {
  temporary_.emplace_back(path, folder);
}

std::vector<std::string> Journal::rollbackTo(std::size_t mark) {
  std::vector<std::string> notPutBack;
  while (entries_.size() > mark) {
    Entry& entry = entries_.back();
    Undo u = undo(pc_, entry);
    if (u.result == Undo::Lost) notPutBack.push_back(u.text);
    if (u.result == Undo::Failed) {
      blocked_ = true;
      // What came before may rest on it: left as it is, with its record,
      // for the next try.
      notPutBack.push_back(u.text);
      for (std::size_t i = entries_.size() - 1; i-- > mark;)
        notPutBack.push_back("not undone either: " + describe(entries_[i]));
      break;
    }
    if (key_) {
      // Undone: out of the journal (an entry left there is undone again, harmlessly).
      for (const Item& item : entry.items) pc_.registry.regDeleteValue(key_, item.name);
      pc_.registry.regDeleteValue(key_, entry.id);
    }
    entries_.pop_back();
  }
  return notPutBack;
}

void Journal::close() {
  if (key_) pc_.registry.regCloseKey(key_);
  key_ = 0;
}

Journal::Ending Journal::end(bool done) {
  Ending ending;
  if (ended_) return ending;
  ended_ = true;
  if (done && !error_) {
    if (!made_) {
      ending.kept = true;
      return ending;
    }
    // The temporary files are named where they outlive the journal, then
    // the journal goes: the commit.  From here on the step stands.
    Error e = kOk;
    if (!temporary_.empty()) {
      platform::RegKey left = 0;
      e = pc_.registry.regCreateKey(kLeftoversKey, left);
      for (const auto& [path, folder] : temporary_)
        if (!e)
          e = pc_.registry.regSetValue(left, path, platform::kRegSz, folder ? "folder" : "file");
      if (left) pc_.registry.regCloseKey(left);
    }
    if (!e) e = pc_.registry.regDeleteKey(kJournalKey);
    if (!e) {
      close();
      ending.kept = true;
      ending.leftOver = removeLeftovers(pc_.registry, pc_.files);
      tidy(pc_.registry);
      return ending;
    }
    ending.commitError = e;
  }
  ending.notPutBack = rollbackTo(0);
  if (made_ && !blocked_ && pc_.registry.regDeleteKey(kJournalKey) == kOk) {
    close();
    // Named for a commit that failed: undone now, so gone.
    removeLeftovers(pc_.registry, pc_.files);
    tidy(pc_.registry);
  }
  close();
  return ending;
}

bool Journal::end(bool done, platform::Prompter& prompter) {
  Ending e = end(done);
  report(e, prompter);
  return e.kept;
}

void report(const Journal::Ending& e, platform::Prompter& prompter) {
  if (e.commitError)
    prompter.showMessage(platform::failureText(
        "The wizard could not complete its record of the changes, so it put them back.",
        e.commitError));
  if (!e.notPutBack.empty()) {
    std::string text = "These changes could not be put back:";
    for (const std::string& line : e.notPutBack) text += "\n" + line;
    prompter.showMessage(text);
  }
}

Error readPending(platform::Registry& registry, std::optional<Pending>& pending) {
  pending.reset();
  Pending p;
  for (const auto& [path, folder] : readLeftovers(registry)) p.leftovers.push_back(path);
  platform::RegKey key = 0;
  Error e = registry.regOpenKeyToRead(kJournalKey, key);
  if (missing(e)) {
    if (!p.leftovers.empty()) pending = p;
    return kOk;
  }
  if (e) return e;
  Stored stored;
  e = readStored(registry, key, stored);
  registry.regCloseKey(key);
  if (e) return e;
  p.step = stored.step.empty() ? "a step" : stored.step;
  for (const Journal::Entry& entry : stored.entries) p.changes.push_back(describe(entry));
  pending = p;
  return kOk;
}

Recovery recover(const Pc& pc) {
  Recovery r;
  platform::RegKey key = 0;
  Error e = pc.registry.regOpenKey(kJournalKey, key);
  if (!missing(e)) {
    Stored stored;
    if (!e) e = readStored(pc.registry, key, stored);
    if (key) pc.registry.regCloseKey(key);
    r.step = stored.step;
    if (e) {
      r.result = Recovery::Failed;
      r.notPutBack.push_back(hklm(kJournalKey) + " could not be read" + code(e));
      return r;
    }
    for (auto it = stored.entries.rbegin(); it != stored.entries.rend(); ++it) {
      Undo u = undo(pc, *it);
      if (u.result == Undo::Done) r.undone.push_back(u.text);
      if (u.result == Undo::Lost) r.lost.push_back(u.text);
      if (u.result != Undo::Failed) continue;
      // What came before may rest on it: left for the next start.
      r.notPutBack.push_back(u.text);
      for (auto before = std::next(it); before != stored.entries.rend(); ++before)
        r.notPutBack.push_back("not undone either: " + describe(*before));
      break;
    }
    // A journal whose changes never came leaves nothing to report.
    r.result = !r.notPutBack.empty()                ? Recovery::Failed
               : r.undone.empty() && r.lost.empty() ? Recovery::Nothing
                                                    : Recovery::Undone;
    if (r.result == Recovery::Failed) return r;
    if ((e = pc.registry.regDeleteKey(kJournalKey)) && !missing(e)) {
      r.result = Recovery::Failed;
      r.notPutBack.push_back(hklm(kJournalKey) + " could not be removed" + code(e));
      return r;
    }
  }
  // Temporary files of a step that ended: silently, as they mean nothing.
  removeLeftovers(pc.registry, pc.files);
  tidy(pc.registry);
  return r;
}

std::string recoveryText(const Recovery& r) {
  std::string step = r.step.empty() ? "its last step" : r.step;
  std::string text;
  switch (r.result) {
    case Recovery::Nothing:
      return "";
    case Recovery::Undone:
      text = "The wizard was ended before it finished " + step +
             ". What it had changed is put back as it was:";
      for (const std::string& line : r.undone) text += "\n- " + line;
      if (!r.lost.empty()) text += "\nThis could not be put back:";
      for (const std::string& line : r.lost) text += "\n- " + line;
      return text;
    case Recovery::Failed:
      text = "The wizard was ended before it finished " + step +
             ", and not all of it could be put back:";
      for (const std::string& line : r.notPutBack) text += "\n- " + line;
      if (!r.undone.empty()) text += "\nPut back:";
      for (const std::string& line : r.undone) text += "\n- " + line;
      text += "\nStart the wizard again to try once more.";
      return text;
  }
  return text;
}

}  // namespace journal
