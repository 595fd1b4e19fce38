// The in-memory PC's network: sockets with datagram queues, the adapter
// list, and the LAN's answers through onSend/deliver.  Thread-safe: the
// wizard's receiver thread waits and receives while tests deliver.
#include <arpa/inet.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/fake/fake_pc.h"

namespace platform {

namespace {
constexpr std::uint32_t kWsaENotSock = 10038;
constexpr std::uint32_t kWsaEAccess = 10013;
constexpr std::uint32_t kWsaEInval = 10022;
constexpr std::uint32_t kAdapterRecordSize = 640;  // sizeof(IP_ADAPTER_INFO)
}  // namespace

FakePc::~FakePc() {
  // Like the end of the process: threads that use this PC stop first.
  ending_ = true;
  shutDownNetwork();
  for (int i = 0; i < 2000 && threadsRunning() > 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void FakePc::shutDownNetwork() {
  std::unique_lock<std::mutex> hold(netLock_);
  shutDown_ = true;
  arrived_.notify_all();
  // A thread still inside a wait leaves it now; let it get out first.
  arrived_.wait_for(hold, std::chrono::seconds(2), [this] { return waiting_ == 0; });
}

FakePc::SocketState* FakePc::socketState(Socket s) {
  auto it = sockets_.find(s);
  if (it == sockets_.end() || !it->second.open || shutDown_) {
    fail(kWsaENotSock);
    return nullptr;
  }
  return &it->second;
}

void FakePc::doSendMessage(WindowId window, unsigned message, std::uintptr_t, std::intptr_t) {
  sentMessages.push_back({window, message});
  if (message != kWmClose) return;
  // The window closes and lets its port go.
  auto held = portOfWindow.find(window);
  if (held != portOfWindow.end()) {
    portsHeldElsewhere.erase(held->second);
    portOfWindow.erase(held);
  }
  std::erase_if(windows, [window](const Window& w) { return w.id == window; });
}

int FakePc::doWsaStartup(std::uint16_t) {
  std::lock_guard<std::mutex> hold(netLock_);
  ++wsaStartups_;
  return 0;
}

bool FakePc::doWsaCleanup() {
  std::lock_guard<std::mutex> hold(netLock_);
  ++wsaCleanups_;
  return true;
}

Socket FakePc::doSocket() {
  std::lock_guard<std::mutex> hold(netLock_);
  Socket s = nextSocket_;
  nextSocket_ += 4;
  sockets_[s] = SocketState{};
  return s;
}

bool FakePc::doSetSockOpt(Socket s, SockOpt option, int value) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return false;
  if (option == SockOpt::Broadcast) state->broadcast = value != 0;
  if (option == SockOpt::ReceiveBuffer) state->receiveBuffer = std::min(value, receiveBufferLimit);
  return true;
}

bool FakePc::doGetSockOpt(Socket s, SockOpt option, int& value) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return false;
  value = option == SockOpt::Broadcast ? state->broadcast : state->receiveBuffer;
  return true;
}

bool FakePc::doBind(Socket s, Ipv4, std::uint16_t port) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return false;
  bool taken = portsHeldElsewhere.count(port) > 0;
  for (const auto& [other, st] : sockets_)
    if (other != s && st.open && st.bound && st.port == port) taken = true;
  if (state->bound) {
    fail(kWsaEInval);
    return false;
  }
  if (taken) {
    fail(kWsaEAddrInUse);
    return false;
  }
  state->bound = true;
  state->port = port;
  return true;
}

int FakePc::doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                     std::uint16_t port) {
  Sent copy{address, port, std::vector<std::uint8_t>(data, data + length)};
  {
    std::lock_guard<std::mutex> hold(netLock_);
    SocketState* state = socketState(s);
    if (!state) return -1;
    bool limited = address == kInaddrNone;
    if (limited && !state->broadcast) {
      fail(kWsaEAccess);
      return -1;
    }
    sent_.push_back(copy);
    // A broadcast on the port this PC listens on comes back to it, from
    // the address of the adapter it left through.
    for (const Adapter& adapter : adapters) {
      for (const AdapterAddress& a : adapter.addresses) {
        Ipv4 ip = ::inet_addr(a.ipAddress.c_str()), mask = ::inet_addr(a.ipMask.c_str());
        if (ip == 0 || ip == kInaddrNone || mask == 0 || mask == kInaddrNone) continue;
        if (!limited && address != (~mask | ip)) continue;
        for (auto& [other, st] : sockets_) {
          if (st.open && st.bound && st.port == port) {
            st.queue.push_back({ip, copy.bytes});
            arrived_.notify_all();
          }
        }
        if (limited) goto looped;
      }
    }
  looped:;
  }
  if (onSend) onSend(copy);
  return length;
}

void FakePc::deliver(Ipv4 from, std::vector<std::uint8_t> bytes, std::uint16_t port) {
  std::lock_guard<std::mutex> hold(netLock_);
  for (auto& [s, st] : sockets_) {
    if (st.open && st.bound && st.port == port) {
      st.queue.push_back({from, std::move(bytes)});
      arrived_.notify_all();
      return;
    }
  }
}

std::vector<FakePc::Sent> FakePc::sent() const {
  std::lock_guard<std::mutex> hold(netLock_);
  return sent_;
}

std::size_t FakePc::queued(std::uint16_t port) const {
  std::lock_guard<std::mutex> hold(netLock_);
  for (const auto& [s, st] : sockets_)
    if (st.open && st.bound && st.port == port) return st.queue.size();
  return 0;
}

bool FakePc::socketOpen(Socket s) const {
  std::lock_guard<std::mutex> hold(netLock_);
  auto it = sockets_.find(s);
  return it != sockets_.end() && it->second.open;
}

int FakePc::doWaitReadable(Socket s, long seconds, long microseconds) {
  std::unique_lock<std::mutex> hold(netLock_);
  if (!socketState(s)) return -1;
  ++waiting_;
  auto ready = [&] {
    SocketState* st = socketState(s);
    return !st || !st->queue.empty();
  };
  bool woke;
  if (seconds < 0) {
    arrived_.wait(hold, ready);
    woke = true;
  } else {
    auto scaled = std::chrono::microseconds(seconds * 1000000L + microseconds) * waitScale;
    // A wait scaled to nothing only looks; it does not sleep.
    woke = scaled.count() > 0 ? arrived_.wait_for(hold, scaled, ready) : ready();
  }
  int result = !woke ? 0 : socketState(s) ? 1 : -1;
  // The last touch of this object: a destructor waiting for the waiters
  // to leave may go on as soon as the lock is released.
  --waiting_;
  arrived_.notify_all();
  return result;
}

int FakePc::doRecvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return -1;
  if (state->queue.empty()) {
    fail(10035);  // WSAEWOULDBLOCK: a blocking socket would wait; tests never let it
    return -1;
  }
  Datagram d = std::move(state->queue.front());
  state->queue.pop_front();
  int n = static_cast<int>(d.bytes.size());
  if (n > 0) std::memcpy(buffer, d.bytes.data(), static_cast<std::size_t>(std::min(n, length)));
  if (from) *from = d.from;
  if (n > length) {
    fail(kWsaEMsgSize);  // the rest of the datagram is lost
    return -1;
  }
  return n;
}

bool FakePc::doCloseSocket(Socket s) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return false;
  state->open = false;
  state->queue.clear();
  arrived_.notify_all();
  return true;
}

Ipv4 FakePc::doInetAddr(const std::string& text) { return ::inet_addr(text.c_str()); }

std::string FakePc::doInetNtoa(Ipv4 address) {
  in_addr a{};
  a.s_addr = address;
  return ::inet_ntoa(a);
}

std::uint32_t FakePc::doAdaptersInfoSize(std::uint32_t& size) {
  if (adapters.empty()) return kErrorNoData;
  size = static_cast<std::uint32_t>(adapters.size()) * kAdapterRecordSize;
  return kErrorBufferOverflow;
}

std::uint32_t FakePc::doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& out) {
  if (size < adapters.size() * kAdapterRecordSize) return kErrorBufferOverflow;
  out = adapters;
  return 0;
}

}  // namespace platform
