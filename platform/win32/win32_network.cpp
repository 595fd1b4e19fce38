// Windows Sockets and the IP Helper behind the platform seam.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <new>

#include "platform/win32/win32_platform.h"

namespace platform {

namespace {
SOCKET sock(Socket s) { return static_cast<SOCKET>(s); }
int optionName(SockOpt o) { return o == SockOpt::Broadcast ? SO_BROADCAST : SO_RCVBUF; }
}  // namespace

int Win32Platform::doWsaStartup(std::uint16_t version) {
  WSADATA data;
  int result = WSAStartup(version, &data);
  if (result != 0) fail(static_cast<std::uint32_t>(result));
  return result;
}

Socket Win32Platform::doSocket() {
  SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (s == INVALID_SOCKET) {
    fail(static_cast<std::uint32_t>(WSAGetLastError()));
    return kInvalidSocket;
  }
  return static_cast<Socket>(s);
}

bool Win32Platform::doSetSockOpt(Socket s, SockOpt option, int value) {
  if (setsockopt(sock(s), SOL_SOCKET, optionName(option), reinterpret_cast<const char*>(&value),
                 sizeof value) == 0)
    return true;
  fail(static_cast<std::uint32_t>(WSAGetLastError()));
  return false;
}

bool Win32Platform::doGetSockOpt(Socket s, SockOpt option, int& value) {
  int length = sizeof value;
  if (getsockopt(sock(s), SOL_SOCKET, optionName(option), reinterpret_cast<char*>(&value),
                 &length) == 0)
    return true;
  fail(static_cast<std::uint32_t>(WSAGetLastError()));
  return false;
}

bool Win32Platform::doBind(Socket s, Ipv4 address, std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = address;
  a.sin_port = htons(port);
  if (::bind(sock(s), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
  fail(static_cast<std::uint32_t>(WSAGetLastError()));
  return false;
}

int Win32Platform::doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                            std::uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = address;
  a.sin_port = htons(port);
  int n = ::sendto(sock(s), reinterpret_cast<const char*>(data), length, 0,
                   reinterpret_cast<sockaddr*>(&a), sizeof a);
  if (n == SOCKET_ERROR) fail(static_cast<std::uint32_t>(WSAGetLastError()));
  return n;
}

int Win32Platform::doWaitReadable(Socket s, long seconds, long microseconds) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(sock(s), &readable);
  timeval limit{seconds, microseconds};
  int n = ::select(0, &readable, nullptr, nullptr, seconds < 0 ? nullptr : &limit);
  if (n == SOCKET_ERROR) {
    fail(static_cast<std::uint32_t>(WSAGetLastError()));
    return -1;
  }
  return n;
}

int Win32Platform::doRecvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from) {
  sockaddr_in a{};
  int size = sizeof a;
  // The address and its length go together: both or neither.  An address
  // without a length fails with WSAEFAULT, and under Wine the socket then
  // never reports readable again.
  int n = ::recvfrom(sock(s), reinterpret_cast<char*>(buffer), length, 0,
                     from ? reinterpret_cast<sockaddr*>(&a) : nullptr, from ? &size : nullptr);
  if (n == SOCKET_ERROR) {
    // WSAEMSGSIZE included: the datagram was longer than the buffer and
    // its rest is gone, so it counts as not received.
    fail(static_cast<std::uint32_t>(WSAGetLastError()));
    return -1;
  }
  if (from) *from = a.sin_addr.s_addr;
  return n;
}

bool Win32Platform::doCloseSocket(Socket s) {
  if (::closesocket(sock(s)) == 0) return true;
  fail(static_cast<std::uint32_t>(WSAGetLastError()));
  return false;
}

bool Win32Platform::doWsaCleanup() {
  if (::WSACleanup() == 0) return true;
  fail(static_cast<std::uint32_t>(WSAGetLastError()));
  return false;
}

Ipv4 Win32Platform::doInetAddr(const std::string& text) { return ::inet_addr(text.c_str()); }

std::string Win32Platform::doInetNtoa(Ipv4 address) {
  in_addr a{};
  a.s_addr = address;
  const char* text = ::inet_ntoa(a);
  return text ? text : "";
}

std::uint32_t Win32Platform::doAdaptersInfoSize(std::uint32_t& size) {
  ULONG length = 0;
  DWORD result = GetAdaptersInfo(nullptr, &length);
  size = length;
  return result;
}

std::uint32_t Win32Platform::doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) {
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
  if (!buffer) return ERROR_NOT_ENOUGH_MEMORY;
  ULONG length = size;
  auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get());
  DWORD result = GetAdaptersInfo(info, &length);
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
