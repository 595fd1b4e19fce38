// Windows Sockets (one UDP socket) and the adapter list.  Socket calls may
// come from several threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/faults.h"

namespace platform {

// The calls (the format is in platform/faults.h).  Adding one: a row here,
// FakePc::do... in platform/fake/fake_network.cpp and Win32Platform::do...
// in platform/win32/win32_network.cpp.
#define PLATFORM_NETWORK_CALLS(X)                                                                  \
  X(WSAStartup, wsaStartup, doWsaStartup, (std::uint16_t version), (version), )                    \
  /* A UDP socket over IPv4; kInvalidSocket on failure. */                                         \
  X(Socket, socket, doSocket, (Socket& s), (s), s = kInvalidSocket)                                \
  X(SetSockOpt, setSockOpt, doSetSockOpt, (Socket s, SockOpt option, int value),                   \
    (s, option, value), )                                                                          \
  X(GetSockOpt, getSockOpt, doGetSockOpt, (Socket s, SockOpt option, int& value),                  \
    (s, option, value), )                                                                          \
  X(Bind, bind, doBind, (Socket s, Ipv4 address, std::uint16_t port), (s, address, port), )        \
  X(SendTo, sendTo, doSendTo,                                                                      \
    (Socket s, const std::uint8_t* data, int length, Ipv4 address, std::uint16_t port),            \
    (s, data, length, address, port), )                                                            \
  /* select() on reading, for this socket alone: `readable` false on a time-out.                   \
     seconds < 0 waits without a time-out. */                                                      \
  X(Select, waitReadable, doWaitReadable,                                                          \
    (Socket s, long seconds, long microseconds, bool& readable),                                   \
    (s, seconds, microseconds, readable), readable = false)                                        \
  /* One datagram into `buffer`; `received` its length.  A datagram longer than the buffer         \
     is dropped whole and fails with WSAEMSGSIZE.  from may be null. */                            \
  X(RecvFrom, recvFrom, doRecvFrom,                                                                \
    (Socket s, std::uint8_t* buffer, int length, int& received, Ipv4* from),                       \
    (s, buffer, length, received, from), received = 0)                                             \
  X(CloseSocket, closeSocket, doCloseSocket, (Socket s), (s), )                                    \
  X(WSACleanup, wsaCleanup, doWsaCleanup, (), (), )                                                \
  /* inet_addr: kInaddrNone for a text that is not an address. */                                  \
  X(InetAddr, inetAddr, doInetAddr, (const std::string& text, Ipv4& address),                      \
    (text, address), address = kInaddrNone)                                                        \
  X(InetNtoa, inetNtoa, doInetNtoa, (Ipv4 address, std::string& text), (address, text),            \
    text.clear())                                                                                  \
  /* GetAdaptersInfo: the sizing call (0, or 111 with the size, or another error), then the        \
     call with a buffer of that size. */                                                           \
  X(GetAdaptersInfoSizing, adaptersInfoSize, doAdaptersInfoSize, (std::uint32_t& size),            \
    (size), )                                                                                      \
  X(GetAdaptersInfo, adaptersInfo, doAdaptersInfo,                                                 \
    (std::uint32_t size, std::vector<Adapter>& adapters), (size, adapters), )

enum class NetworkCall : int { PLATFORM_NETWORK_CALLS(PLATFORM_CALL_ENUMERATOR) };
constexpr Area areaOf(NetworkCall) { return Area::Network; }

// A socket handle; kInvalidSocket when none.
using Socket = std::uintptr_t;
inline constexpr Socket kInvalidSocket = ~Socket(0);
// IPv4 addresses are 32-bit values in network byte order, as inet_addr gives.
using Ipv4 = std::uint32_t;
inline constexpr Ipv4 kInaddrNone = 0xFFFFFFFF;
inline constexpr Ipv4 kInaddrAny = 0;

enum class SockOpt { Broadcast, ReceiveBuffer };

// One entry of an adapter's address list, as dotted text.
struct AdapterAddress {
  std::string ipAddress;
  std::string ipMask;
};
struct Adapter {
  std::vector<AdapterAddress> addresses;
};

inline constexpr Error kErrorBufferOverflow = 111;
inline constexpr Error kErrorNoData = 232;
inline constexpr Error kWsaENotSock = 10038;
inline constexpr Error kWsaEMsgSize = 10040;
inline constexpr Error kWsaEAddrInUse = 10048;

class Network : public virtual Faults {
 public:
  PLATFORM_NETWORK_CALLS(PLATFORM_CALL_PUBLIC)

 protected:
  PLATFORM_NETWORK_CALLS(PLATFORM_CALL_VIRTUAL)
};

}  // namespace platform
