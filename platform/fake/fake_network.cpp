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
constexpr Error kWsaEAccess = 10013;
constexpr Error kWsaEInval = 10022;
constexpr Error kWsaEWouldBlock = 10035;
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

void FakePc::endProcess() {
  {
    std::lock_guard<std::mutex> hold(netLock_);
    for (auto& [socket, state] : sockets_) {
      state.open = false;
      state.queue.clear();
    }
    arrived_.notify_all();
  }
  mutexes_.clear();
}

FakePc::SocketState* FakePc::socketState(Socket s) {
  auto it = sockets_.find(s);
  if (it == sockets_.end() || !it->second.open || shutDown_) return nullptr;
  return &it->second;
}

Error FakePc::doWsaStartup(std::uint16_t) {
  std::lock_guard<std::mutex> hold(netLock_);
  ++wsaStartups_;
  return kOk;
}

Error FakePc::doWsaCleanup() {
  std::lock_guard<std::mutex> hold(netLock_);
  ++wsaCleanups_;
  return kOk;
}

Error FakePc::doSocket(Socket& s) {
  std::lock_guard<std::mutex> hold(netLock_);
  s = nextSocket_;
  nextSocket_ += 4;
  sockets_[s] = SocketState{};
  return kOk;
}

Error FakePc::doSetSockOpt(Socket s, SockOpt option, int value) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return kWsaENotSock;
  if (option == SockOpt::Broadcast) state->broadcast = value != 0;
  if (option == SockOpt::ReceiveBuffer) state->receiveBuffer = std::min(value, receiveBufferLimit);
  return kOk;
}

Error FakePc::doGetSockOpt(Socket s, SockOpt option, int& value) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return kWsaENotSock;
  value = option == SockOpt::Broadcast ? state->broadcast : state->receiveBuffer;
  return kOk;
}

Error FakePc::doBind(Socket s, Ipv4, std::uint16_t port) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return kWsaENotSock;
  bool taken = portsHeldElsewhere.count(port) > 0;
  for (const auto& [other, st] : sockets_)
    if (other != s && st.open && st.bound && st.port == port) taken = true;
  if (state->bound) return kWsaEInval;
  if (taken) return kWsaEAddrInUse;
  state->bound = true;
  state->port = port;
  return kOk;
}

Error FakePc::doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                     std::uint16_t port) {
  Sent copy{address, port, std::vector<std::uint8_t>(data, data + length)};
  {
    std::lock_guard<std::mutex> hold(netLock_);
    SocketState* state = socketState(s);
    if (!state) return kWsaENotSock;
    bool limited = address == kInaddrNone;
    if (limited && !state->broadcast) return kWsaEAccess;
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
  return kOk;
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

Error FakePc::doWaitReadable(Socket s, long seconds, long microseconds, bool& readable) {
  std::unique_lock<std::mutex> hold(netLock_);
  if (!socketState(s)) return kWsaENotSock;
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
  Error result = woke && !socketState(s) ? kWsaENotSock : kOk;
  readable = woke && result == kOk;
  // The last touch of this object: a destructor waiting for the waiters
  // to leave may go on as soon as the lock is released.
  --waiting_;
  arrived_.notify_all();
  return result;
}

Error FakePc::doRecvFrom(Socket s, std::uint8_t* buffer, int length, int& received,
                         Ipv4* from) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return kWsaENotSock;
  // A blocking socket would wait here; tests never let it.
  if (state->queue.empty()) return kWsaEWouldBlock;
  Datagram d = std::move(state->queue.front());
  state->queue.pop_front();
  int n = static_cast<int>(d.bytes.size());
  if (n > 0) std::memcpy(buffer, d.bytes.data(), static_cast<std::size_t>(std::min(n, length)));
  if (from) *from = d.from;
  if (n > length) return kWsaEMsgSize;  // the rest of the datagram is lost
  received = n;
  return kOk;
}

Error FakePc::doCloseSocket(Socket s) {
  std::lock_guard<std::mutex> hold(netLock_);
  SocketState* state = socketState(s);
  if (!state) return kWsaENotSock;
  state->open = false;
  state->queue.clear();
  arrived_.notify_all();
  return kOk;
}

Error FakePc::doInetAddr(const std::string& text, Ipv4& address) {
  address = ::inet_addr(text.c_str());
  return kOk;
}

Error FakePc::doInetNtoa(Ipv4 address, std::string& text) {
  in_addr a{};
  a.s_addr = address;
  text = ::inet_ntoa(a);
  return kOk;
}

Error FakePc::doAdaptersInfoSize(std::uint32_t& size) {
  if (adapters.empty()) return kErrorNoData;
  size = static_cast<std::uint32_t>(adapters.size()) * kAdapterRecordSize;
  return kErrorBufferOverflow;
}

Error FakePc::doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& out) {
  if (size < adapters.size() * kAdapterRecordSize) return kErrorBufferOverflow;
  out = adapters;
  return kOk;
}

}  // namespace platform
