// An in-memory PC: the platform backend of the native tests.  Its state is
// public so that a test can lay out the PC before a run and read it after.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/answer_queue.h"
#include "platform/platform.h"

namespace platform {

class FakePc : public Platform, public AnswerQueue {
 public:
  struct Window {
    WindowId id;
    std::string cls;
    std::string title;
  };
  struct ShownBox {
    WindowId owner;
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
    Answer answer;
  };

  std::uint32_t version = 0x0A280105;  // Windows XP: major 5
  // The machine and this process on it (GetMachine): a 32-bit machine by
  // default.  setMachine lays out a 64-bit one: its SysWOW64 folder, where
  // a guest's file calls in the system folder go (GetSystemDirectoryA
  // still names system32), and its spooler's own DLL 64-bit.  On a 64-bit
  // machine the spooler takes only its own environment (1805) and DLLs of
  // its own bitness; a process loads only DLLs of its own (193).  A guest,
  // and a 64-bit process opening the 32-bit view (RegOpenKeyEx32), see
  // HKLM\Software as Software\WOW6432Node.
  Machine machine;
  static constexpr char kSysWow64[] = "C:\\windows\\SysWOW64";
  void setMachine(Machine m);
  // The bitness of this process and of the spooler.
  int processBits() const { return machine.process64() ? 64 : 32; }
  int spoolerBits() const { return machine.native == Architecture::X86 ? 32 : 64; }
  // The spooler's own environment name.
  std::string nativeEnvironment() const;
  // Where a file call of this process goes: a guest's system folder is
  // SysWOW64.
  std::string redirected(const std::string& path) const;
  // The registry path a key of this process is kept at (`view32`: the
  // 32-bit view asked for).
  std::string registryView(const std::string& path, bool view32 = false) const;

  // The program's own path (GetModuleFileNameA), and the processes it
  // starts: each runs `onStart`, a test's stand-in for the program, at once
  // (CreateProcessA returns after it), which gives its exit code.
  std::string programPath = "C:\\Setup\\PrnWizard.exe";
  struct StartedProcess {
    std::string program, commandLine;
  };
  std::vector<StartedProcess> started;
  std::function<std::uint32_t(const StartedProcess&)> onStart;
  std::string computer = "TESTPC";      // GetComputerNameA
  bool win9xFamily() const { return (version & 0x80000000u) != 0; }
  std::uint8_t majorVersion() const { return static_cast<std::uint8_t>(version & 0xFF); }

  // Who this process runs as, and where.  The 9x family has no tokens
  // (processAccount fails with 120); it and NT 4.0 have no sessions
  // (sessionId 127, sessionUser 126).
  Account account{false, "TESTPC\\alice"};
  std::uint32_t session = 1;
  // Who is signed in to each session; nobody in a session not listed.
  std::map<std::uint32_t, std::string> sessionUsers{{1, "TESTPC\\alice"}};
  SystemTime clock{2024, 3, 5, 14, 7, 9};  // GetSystemTime
  // Named mutexes that other processes own.  One another account made
  // without letting others open it refuses this process (5); `releasedAt`:
  // the tickCount from which its owner has released it.
  struct OtherMutex {
    bool closedToThisAccount = false;
    std::optional<std::uint32_t> releasedAt;
  };
  std::map<std::string, OtherMutex> mutexesElsewhere;
  // The names of the mutexes this process owns, one per handle.
  std::vector<std::string> mutexesOwned() const;
  std::vector<Window> windows;
  WindowId foreground = 0;
  std::vector<ShownBox> boxes;  // every message box, in order
  // Their answers: `answers` and `unexpectedQuestion` (AnswerQueue).
  // Runs while a box is up (before it is answered): what the user might do
  // meanwhile.
  std::function<void(const ShownBox&)> whileShown;

  std::vector<ShellRequest> shellRequests;
  struct SentMessage {
    WindowId window;
    unsigned message;
  };
  std::vector<SentMessage> sentMessages;
  // A window that holds a UDP port and lets it go when it closes (WM_CLOSE).
  std::map<WindowId, std::uint16_t> portOfWindow;

  // Virtual time: sleep() advances tickCount() without waiting.
  std::atomic<std::uint32_t> now{0};
  std::atomic<std::uint64_t> slept{0};
  void sleep(unsigned ms) override {
    now += ms;
    slept += ms;
  }
  std::uint32_t tickCount() override { return now; }

  // The network.  Replies are delivered to the socket bound to their port.
  struct Datagram {
    Ipv4 from;
    std::vector<std::uint8_t> bytes;
  };
  struct Sent {
    Ipv4 to;
    std::uint16_t port;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Adapter> adapters;
  std::set<std::uint16_t> portsHeldElsewhere;  // bind() to these fails
  int receiveBufferLimit = 1 << 20;           // what SO_RCVBUF grants at most
  // Real waits (select time-outs) last this share of their nominal time.
  double waitScale = 0.02;
  // Called after every send, outside the network's lock: the LAN's answer.
  std::function<void(const Sent&)> onSend;

  void addAdapter(std::vector<AdapterAddress> addresses) { adapters.push_back({addresses}); }
  // A datagram from the LAN to the PC's socket bound to `port`.
  void deliver(Ipv4 from, std::vector<std::uint8_t> bytes, std::uint16_t port = 9999);
  std::vector<Sent> sent() const;
  std::size_t queued(std::uint16_t port) const;
  int wsaStartups() const { return wsaStartups_; }
  int wsaCleanups() const { return wsaCleanups_; }
  bool socketOpen(Socket s) const;
  // Wakes every wait and makes further socket calls fail (end of a test).
  void shutDownNetwork();
  // This process ends (a test that runs the program again): its sockets
  // close, waking their waiters, and the mutexes it owns are abandoned.
  void endProcess();
  bool ending() const override { return ending_.load(); }
  ~FakePc() override;

  WindowId addWindow(const std::string& cls, const std::string& title);
  Window* window(WindowId id);

  // The spooler (fake_spooler.cpp).  The local printers, in the order the
  // spooler lists them; a test lays them out and reads them back.
  std::vector<PrinterInfo2> printers;
  // A printer with the fields AddPrinterA would give it.
  PrinterInfo2& addPrinter(const std::string& name, const std::string& port,
                           const std::string& driver = "Generic PostScript");
  // The printer of that name (case-insensitive, as the spooler), or null.
  PrinterInfo2* printer(const std::string& name);
  struct PrinterOpen {
    std::string name;
    OpenMode mode;
    Error result;
  };
  std::vector<PrinterOpen> printerOpens;  // every OpenPrinterA, in order
  std::vector<PrinterInfo2> printerWrites;  // every record SetPrinterA took, as passed
  // Handles opened and not closed yet, with the name each was opened by.
  std::map<PrinterHandle, std::string> printerHandles;
  PrinterHandle nextPrinterHandle = 0x5000;

  // monitors: kept as Wine's spooler keeps them, in the registry: a monitor
  // is a key under kMonitorsKey with a "Driver" value naming its DLL in the
  // system directory (the environment is checked, not kept).  The list
  // starts with "Local Port".
  static constexpr char kMonitorsKey[] = "System\\CurrentControlSet\\Control\\Print\\Monitors";
  struct MonitorRequest {
    enum Kind { Add, Delete } kind;
    std::string name, environment, dllName;
    Error result;
  };
  std::vector<MonitorRequest> monitorRequests;  // every AddMonitor and DeleteMonitor
  // Registers a monitor as an installer before this run did: its key and
  // "Driver" value (its DLL file is the test's to lay down), and the
  // spooler running it.
  void registerMonitor(const std::string& name, const std::string& dllName);
  // The ports EnumPorts lists: those of each monitor the spooler runs, as
  // its DLL file names them (File::ports), in the monitors' order.
  std::vector<std::string> portNames() const;
  // The names EnumMonitors lists, in its order.
  std::vector<std::string> monitorNames() const;
  // end of monitors

  // The registry (fake_registry.cpp): keys by full path under
  // HKEY_LOCAL_MACHINE, names compared without regard to case.
  struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct RegValue {
    std::uint32_t type;
    std::string bytes;  // as stored: a REG_SZ with its terminating zero
    bool operator==(const RegValue&) const = default;
  };
  using RegValues = std::map<std::string, RegValue, NoCase>;
  using RegKeys = std::map<std::string, RegValues, NoCase>;
  RegKeys registry = startRegistry();  // "Local Port" registered
  // false: the user has no rights to open keys with full access (5).
  bool registryWritable = true;
  // Sets a value, creating its key and the keys above it.
  void setRegistryValue(const std::string& path, const std::string& name, RegValue value);
  void setRegistryString(const std::string& path, const std::string& name,
                         const std::string& text);
  std::optional<RegValue> registryValue(const std::string& path, const std::string& name) const;
  // The text of a REG_SZ value without its zero; nullopt when missing.
  std::optional<std::string> registryString(const std::string& path,
                                            const std::string& name) const;
  bool registryKeyExists(const std::string& path) const;
  // Deletes a key with its values and every key below it.
  void deleteRegistryTree(const std::string& path);
  std::vector<std::string> registrySubkeys(const std::string& path) const;
  std::size_t openRegistryKeys() const { return openKeys_.size(); }

  // The spooler's running monitors (fake_spooler.cpp): the DLL it runs for
  // each registered monitor, by its path.  That file cannot be overwritten
  // or deleted, but can be renamed (the spooler keeps it loaded under the
  // new name).  AddMonitor loads it, DeleteMonitor unloads it.
  std::map<std::string, std::string, NoCase> spoolerModules = startSpoolerModules();

  // Files and modules (fake_files.cpp): files by full path, compared
  // without regard to case, in folders that exist.
  struct File {
    bool dll = false;
    // A DLL's exports, each with what it returns when called as
    // DWORD WINAPI f(void).
    std::map<std::string, std::uint32_t> exports;
    std::string content;
    bool readOnly = false;          // FILE_ATTRIBUTE_READONLY
    bool writableByOthers = false;  // its DACL lets users write it
    // A monitor DLL: the ports it provides, and whether its initialisation
    // fails (the spooler then refuses it with 127 and deletes its key, as
    // Wine's does).
    std::vector<std::string> ports;
    bool initFails = false;
    int bits = 32;  // a DLL's or a program's: 32 or 64
    bool operator==(const File&) const = default;
  };
  // A monitor DLL: InitializePrintMonitor2, the port "Remote Port", and
  // LprGetVersion returning `version` unless it has none.
  static File monitorDll(std::optional<std::uint32_t> version, const std::string& content = "");
  static File plainDll(const std::string& content = "");
  static File dataFile(const std::string& content = "");
  std::string systemDir = "C:\\windows\\system32";
  std::set<std::string, NoCase> folders{"C:", "C:\\windows", "C:\\windows\\system32",
                                        "C:\\ProgramData"};
  // CSIDL_COMMON_APPDATA; empty: SHGetFolderPathA is missing (127).
  std::string commonAppData = "C:\\ProgramData";
  // Folders made with a DACL for administrators only, and folders that an
  // account other than SYSTEM, the Administrators and this process's may
  // write to (users may make folders in the common application data
  // folder).  A folder made without adminOnly inherits its parent's; a
  // file is open to others with its folder, or by its own DACL.
  std::set<std::string, NoCase> adminOnlyFolders;
  std::set<std::string, NoCase> openFolders{"C:\\ProgramData"};
  // Files another process holds open without sharing: no copy over them,
  // no rename, no deletion (32).
  std::set<std::string, NoCase> lockedFiles;
  std::map<std::string, File, NoCase> files = startFiles();  // localspl.dll
  void addFolder(const std::string& path);  // and the folders above it
  void putFile(const std::string& path, File file);  // its folder made if missing
  const File* file(const std::string& path) const;
  std::size_t loadedModules() const { return modules_.size(); }
  std::vector<std::string> libraryLoads;  // every LoadLibraryA's path, in order
  // Calls through an export whose DLL was already freed.
  int staleProcCalls = 0;

  // The whole PC as a fault loop compares it: files and folders, the
  // registry (and with it the monitors), the spooler's running monitors,
  // the printers and their ports, the default printer.
  struct State {
    RegKeys registry;
    std::map<std::string, File, NoCase> files;
    std::set<std::string, NoCase> folders, adminOnlyFolders, openFolders;
    std::map<std::string, std::string, NoCase> spoolerModules;
    std::vector<PrinterInfo2> printers;
    std::string defaultPrinter;
    bool operator==(const State&) const = default;
    // Drops `folder` and all below it (a run's own report, not a change).
    void forget(const std::string& folder);
  };
  State state() const;
  // What differs between two states, a line each, for a test's message.
  static std::string difference(const State& before, const State& after);
  // The next start of the program on this PC: what belonged to the last
  // process (its loaded DLLs, open keys and printer handles) is gone.
  void newProcess();

  // Printing (fake_printing.cpp): every document drawn, as a job on its
  // printer with what was drawn where, in device units.
  struct PrintedText {
    std::string text;
    PrintFont font;
    int x, y;
    PrintRect clip;
  };
  struct PrintedPicture {
    int width, height;
    PrintRect dest;
  };
  struct PrintJob {
    std::string printer;
    std::string document;
    PaperSize paper;  // portrait, as the context was made for it
    int pages = 0;
    bool ended = false;  // EndDoc handed it to the spooler
    std::vector<PrintedText> texts;
    std::vector<PrintedPicture> pictures;
  };
  std::vector<PrintJob> jobs;
  DeviceCaps printerCaps{300, 300, 75, 75};  // A4 on Wine's PostScript driver
  // Printer connections (NT family): listed with the local printers only
  // when asked for; a PC of the 9x family refuses to be asked (87).
  std::vector<PrintTarget> printerConnections;
  // The print dialog: the printer and copies it returns when confirmed, and
  // whether the user confirms; cancelled, it returns the default printer.
  std::string dialogPrinter;
  int dialogCopies = 1;
  bool dialogConfirms = true;
  std::function<void()> whilePrintDialog;  // runs while the dialog is up
  std::string defaultPrinterName;
  int printDialogs = 0;
  // The test page's text metrics: advance `emPixels / 2` per character
  // (bold a tenth more), line height 115 % of the em.
  static int fakeAdvance(const PrintFont& f) { return f.emPixels * (f.bold ? 55 : 50) / 100; }
  // A device context can be made for a printer the spooler lists.
  bool hasPrinter(const std::string& name) const;

 protected:
  // Every call of the areas' tables (platform/<area>.h), each defined in
  // fake_<area>.cpp, and the two the tables leave out.
  PLATFORM_EVERY_CALL(PLATFORM_CALL_OVERRIDE)
  Error doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                     Buttons buttons, Icon icon, Answer& answer) override;
  std::uint32_t doCallDwordProc(Proc proc) override;

 private:
  struct SocketState {
    bool open = true;
    bool broadcast = false;
    bool bound = false;
    std::uint16_t port = 0;
    int receiveBuffer = 8192;
    std::deque<Datagram> queue;
  };
  SocketState* socketState(Socket s);  // null when unknown or closed (WSAENOTSOCK)

  struct DcState {
    std::string printer;
    PaperSize paper;
    int job = -1;  // index into jobs while a document is open
    bool inPage = false;
  };
  DcState* dcState(PrinterDc dc);
  std::map<PrinterDc, DcState> dcs_;
  PrinterDc nextDc_ = 0x9000;

  WindowId nextId_ = 0x100;
  std::map<MutexId, std::string> mutexes_;  // owned by this process
  MutexId nextMutex_ = 0x700;
  mutable std::mutex netLock_;
  std::condition_variable arrived_;
  std::map<Socket, SocketState> sockets_;
  Socket nextSocket_ = 0x40;
  std::vector<Sent> sent_;
  int wsaStartups_ = 0;
  int wsaCleanups_ = 0;
  int waiting_ = 0;
  bool shutDown_ = false;
  std::atomic<bool> ending_{false};

  // monitors
  std::uint32_t monitorListSize() const;
  static RegKeys startRegistry();
  static std::map<std::string, File, NoCase> startFiles();
  static std::map<std::string, std::string, NoCase> startSpoolerModules();
  // A DLL this process or the spooler has loaded from `path`.
  bool inUse(const std::string& path) const;
  void renamed(const std::string& from, const std::string& to);
  // The registry's open keys; those opened to read only.
  std::map<RegKey, std::string> openKeys_;
  std::set<RegKey> readOnlyKeys_;
  RegKey nextKey_ = 0x200;
  // Loaded modules by handle, each with its file's path; exports handed out.
  struct Export {
    Module module;
    std::uint32_t result;
  };
  std::map<Module, std::string> modules_;
  std::map<Proc, Export> procs_;
  std::uintptr_t nextModule_ = 0x10000000;
  bool fileLoaded(const std::string& path) const;
  // Files this process holds open to read, sharing only reading.
  std::map<FileId, std::string> openFiles_;
  FileId nextFile_ = 0x3000;
  bool held(const std::string& path) const;
  std::map<ProcessId, std::uint32_t> processes_;  // started, not yet waited for
  ProcessId nextProcess_ = 0x8000;
};

}  // namespace platform
