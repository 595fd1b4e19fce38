// Windows Sockets and the IP Helper behind the platform seam.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <new>

#include "platform/win32/win32_late.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {
SOCKET sock(Socket s) { return static_cast<SOCKET>(s); }
int optionName(SockOpt o) { return o == SockOpt::Broadcast ? SO_BROADCAST : SO_RCVBUF; }
// A port in network byte order (x86 is little-endian).
u_short networkOrder(std::uint16_t port) { return static_cast<u_short>((port >> 8) | (port << 8)); }

// Windows Sockets 1.1 (wsock32.dll, no known DLL), bound from the system
// folder all at once on first use, safely from any thread: the receiver
// thread calls it too.  `error` says why it could not be bound; every call
// then fails with it.
#define WINSOCK_FUNCTIONS(X)                                                                 \
  X(WSAStartup) X(WSACleanup) X(WSAGetLastError) X(socket) X(setsockopt) X(getsockopt) X(bind) \
  X(sendto) X(select) X(recvfrom) X(closesocket) X(inet_addr) X(inet_ntoa)
struct Winsock {
  Error error = kOk;
#define WINSOCK_MEMBER(fn) decltype(&::fn) fn = nullptr;
  WINSOCK_FUNCTIONS(WINSOCK_MEMBER)
#undef WINSOCK_MEMBER
};

Winsock bindWinsock() {
  Winsock ws;
#define WINSOCK_BIND(fn)                                           \
  if (!ws.error) {                                                 \
    ws.fn = lateBound<decltype(&::fn)>("wsock32.dll", #fn);        \
    if (!ws.fn) ws.error = lastWin32Error();                       \
  }
  WINSOCK_FUNCTIONS(WINSOCK_BIND)
#undef WINSOCK_BIND
  return ws;
}

const Winsock& winsock() {
  static const Winsock bound = bindWinsock();
  return bound;
}

Error wsaError() { return static_cast<Error>(winsock().WSAGetLastError()); }

// The IP Helper is only needed for the subnet test, well after start-up.
PLATFORM_LATE_FUNCTION("iphlpapi.dll", GetAdaptersInfo);
}  // namespace

Error Win32Platform::doWsaStartup(std::uint16_t version) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  WSADATA data;
  return static_cast<Error>(ws.WSAStartup(version, &data));
}

Error Win32Platform::doSocket(Socket& s) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  SOCKET made = ws.socket(AF_INET, SOCK_DGRAM, 0);
  if (made == INVALID_SOCKET) return wsaError();
  s = static_cast<Socket>(made);
  return kOk;
}

Error Win32Platform::doSetSockOpt(Socket s, SockOpt option, int value) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  return ws.setsockopt(sock(s), SOL_SOCKET, optionName(option),
                       reinterpret_cast<const char*>(&value), sizeof value) == 0
             ? kOk
             : wsaError();
}

Error Win32Platform::doGetSockOpt(Socket s, SockOpt option, int& value) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  int length = sizeof value;
  return ws.getsockopt(sock(s), SOL_SOCKET, optionName(option), reinterpret_cast<char*>(&value),
                       &length) == 0
             ? kOk
             : wsaError();
}

Error Win32Platform::doBind(Socket s, Ipv4 address, std::uint16_t port) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = address;
  a.sin_port = networkOrder(port);
  return ws.bind(sock(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? kOk : wsaError();
}

Error Win32Platform::doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                              std::uint16_t port) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = address;
  a.sin_port = networkOrder(port);
  int n = ws.sendto(sock(s), reinterpret_cast<const char*>(data), length, 0,
                    reinterpret_cast<sockaddr*>(&a), sizeof a);
  return n == SOCKET_ERROR ? wsaError() : kOk;
}

Error Win32Platform::doWaitReadable(Socket s, long seconds, long microseconds, bool& readable) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(sock(s), &set);
  timeval limit{seconds, microseconds};
  int n = ws.select(0, &set, nullptr, nullptr, seconds < 0 ? nullptr : &limit);
  if (n == SOCKET_ERROR) return wsaError();
  readable = n > 0;
  return kOk;
}

Error Win32Platform::doRecvFrom(Socket s, std::uint8_t* buffer, int length, int& received,
                                Ipv4* from) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  sockaddr_in a{};
  int size = sizeof a;
  // The address and its length go together: both or neither.  An address
  // without a length fails with WSAEFAULT, and under Wine the socket then
  // never reports readable again.
  int n = ws.recvfrom(sock(s), reinterpret_cast<char*>(buffer), length, 0,
                      from ? reinterpret_cast<sockaddr*>(&a) : nullptr, from ? &size : nullptr);
  // WSAEMSGSIZE included: the datagram was longer than the buffer and its
  // rest is gone, so it counts as not received.
  if (n == SOCKET_ERROR) return wsaError();
  if (from) *from = a.sin_addr.s_addr;
  received = n;
  return kOk;
}

Error Win32Platform::doCloseSocket(Socket s) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  return ws.closesocket(sock(s)) == 0 ? kOk : wsaError();
}

Error Win32Platform::doWsaCleanup() {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  return ws.WSACleanup() == 0 ? kOk : wsaError();
}

Error Win32Platform::doInetAddr(const std::string& text, Ipv4& address) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  address = ws.inet_addr(text.c_str());
  return kOk;
}

Error Win32Platform::doInetNtoa(Ipv4 address, std::string& text) {
  const Winsock& ws = winsock();
  if (ws.error) return ws.error;
  in_addr a{};
  a.s_addr = address;
  const char* t = ws.inet_ntoa(a);
  text = t ? t : "";
  return kOk;
}

Error Win32Platform::doAdaptersInfoSize(std::uint32_t& size) {
  auto adaptersInfo = GetAdaptersInfo.get();
  if (!adaptersInfo) return lastWin32Error();
  ULONG length = 0;
  DWORD result = adaptersInfo(nullptr, &length);
  size = length;
  return result;
}

Error Win32Platform::doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) {
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
  if (!buffer) return ERROR_NOT_ENOUGH_MEMORY;
  auto adaptersInfo = GetAdaptersInfo.get();
  if (!adaptersInfo) return lastWin32Error();
  ULONG length = size;
  auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get());
  DWORD result = adaptersInfo(info, &length);
  if (result != NO_ERROR) return result;
  adapters.clear();
  for (IP_ADAPTER_INFO* a = info; a; a = a->Next) {
    Adapter adapter;
    for (IP_ADDR_STRING* ip = &a->IpAddressList; ip; ip = ip->Next)
      adapter.addresses.push_back({ip->IpAddress.String, ip->IpMask.String});
    adapters.push_back(std::move(adapter));
  }
  return NO_ERROR;
}

}  // namespace platform
