// The in-memory PC's windows and message boxes, its accounts and sessions,
// its named mutexes and its clock.
#include "platform/fake/fake_pc.h"

namespace platform {

WindowId FakePc::addWindow(const std::string& cls, const std::string& title) {
  windows.push_back({nextId_, cls, title});
  nextId_ += 4;
  return windows.back().id;
}

FakePc::Window* FakePc::window(WindowId id) {
  for (auto& w : windows)
    if (w.id == id) return &w;
  return nullptr;
}

Error FakePc::doGetVersion(std::uint32_t& v) {
  v = version;
  return kOk;
}

Error FakePc::doFindWindow(const std::string& cls, const std::string& title, WindowId& found) {
  for (const auto& w : windows)
    if ((cls.empty() || w.cls == cls) && w.title == title) {
      found = w.id;
      return kOk;
    }
  return kOk;
}

Error FakePc::doSetForegroundWindow(WindowId id) {
  if (!window(id)) return kErrorInvalidWindowHandle;
  foreground = id;
  return kOk;
}

Error FakePc::doSetWindowText(WindowId id, const std::string& text) {
  Window* w = window(id);
  if (!w) return kErrorInvalidWindowHandle;
  w->title = text;
  return kOk;
}

Error FakePc::doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                           Buttons buttons, Icon icon, Answer& answer) {
  answer = nextAnswer(buttons);
  boxes.push_back({owner, text, caption, buttons, icon, answer});
  if (whileShown) whileShown(ShownBox(boxes.back()));
  return kOk;
}

Error FakePc::doShellExecute(const ShellRequest& request) {
  shellRequests.push_back(request);
  return kOk;
}

Error FakePc::doSendMessage(WindowId window, unsigned message, std::uintptr_t, std::intptr_t) {
  sentMessages.push_back({window, message});
  if (message != kWmClose) return kOk;
  // The window closes and lets its port go.
  auto held = portOfWindow.find(window);
  if (held != portOfWindow.end()) {
    portsHeldElsewhere.erase(held->second);
    portOfWindow.erase(held);
  }
  std::erase_if(windows, [window](const Window& w) { return w.id == window; });
  return kOk;
}

Error FakePc::doComputerName(std::string& name) {
  name = computer;
  return kOk;
}

Error FakePc::doProcessAccount(Account& a) {
  if (win9xFamily()) return kErrorCallNotImplemented;
  a = account;
  return kOk;
}

Error FakePc::doSessionId(std::uint32_t& id) {
  if (majorVersion() < 5) return kErrorProcNotFound;
  id = session;
  return kOk;
}

Error FakePc::doSessionUser(std::uint32_t id, std::string& user) {
  if (majorVersion() < 5) return kErrorModNotFound;
  auto signedIn = sessionUsers.find(id);
  if (signedIn != sessionUsers.end()) user = signedIn->second;
  return kOk;
}

std::vector<std::string> FakePc::mutexesOwned() const {
  std::vector<std::string> names;
  for (const auto& [id, name] : mutexes_) names.push_back(name);
  return names;
}

Error FakePc::doTakeMutex(const std::string& name, MutexId& mutex) {
  // NT 4.0 has no namespaces: "Global\..." names a folder that is not there.
  if (!win9xFamily() && majorVersion() < 5 && name.find('\\') != std::string::npos)
    return kErrorPathNotFound;
  auto other = mutexesElsewhere.find(name);
  if (other != mutexesElsewhere.end()) {
    if (other->second.releasedAt && now >= *other->second.releasedAt) {
      mutexesElsewhere.erase(other);  // its owner let it go (and closed it)
    } else {
      if (other->second.closedToThisAccount) return kErrorAccessDenied;
      return kOk;  // owned by that process: no handle is kept
    }
  }
  // Free, or owned by this process already (a mutex is taken again by the
  // thread that owns it).
  mutex = nextMutex_;
  nextMutex_ += 4;
  mutexes_[mutex] = name;
  return kOk;
}

Error FakePc::doReleaseMutex(MutexId mutex) {
  return mutexes_.erase(mutex) ? kOk : kErrorInvalidHandle;
}

Error FakePc::doSystemTime(SystemTime& time) {
  time = clock;
  return kOk;
}

Error FakePc::doMachine(Machine& m) {
  m = machine;
  return kOk;
}

Error FakePc::doProgramPath(std::string& path) {
  path = programPath;
  return kOk;
}

Error FakePc::doStartProcess(const std::string& program_, const std::string& commandLine,
                             ProcessId& process) {
  const std::string program = redirected(program_);
  const File* f = file(program);
  if (!f) return folders.count(program) ? kErrorAccessDenied : kErrorFileNotFound;
  // Another process's handle that shares nothing keeps the loader out; ours
  // shares reading, which is what it needs.
  if (lockedFiles.count(program)) return kErrorSharingViolation;
  if (f->dll || (f->bits == 64 && machine.native == Architecture::X86))
    return kErrorBadExeFormat;
  started.push_back({program, commandLine});
  std::uint32_t code = onStart ? onStart(started.back()) : 0;
  process = nextProcess_;
  nextProcess_ += 4;
  processes_[process] = code;
  return kOk;
}

Error FakePc::doWaitForProcess(ProcessId process, std::uint32_t& exitCode) {
  auto p = processes_.find(process);
  if (p == processes_.end()) return kErrorInvalidHandle;
  exitCode = p->second;
  processes_.erase(p);
  return kOk;
}

}  // namespace platform
