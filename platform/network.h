// Windows Sockets (one UDP socket) and the adapter list.  Socket calls may
// come from several threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/faults.h"

namespace platform {

enum class NetworkCall : int {
  WSAStartup,
  Socket,
  SetSockOpt,
  GetSockOpt,
  Bind,
  SendTo,
  Select,
  RecvFrom,
  CloseSocket,
  WSACleanup,
  InetAddr,
  InetNtoa,
  GetAdaptersInfoSizing,
  GetAdaptersInfo,
};
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
  Error wsaStartup(std::uint16_t version);
  // A UDP socket over IPv4; kInvalidSocket on failure.
  Error socket(Socket& s);
  Error setSockOpt(Socket s, SockOpt option, int value);
  Error getSockOpt(Socket s, SockOpt option, int& value);
  Error bind(Socket s, Ipv4 address, std::uint16_t port);
  Error sendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
               std::uint16_t port);
  // select() on reading, for this socket alone: `readable` false on a
  // time-out.  seconds < 0 waits without a time-out.
  Error waitReadable(Socket s, long seconds, long microseconds, bool& readable);
  // One datagram into `buffer`; `received` its length.  A datagram longer
  // than the buffer is dropped whole and fails with WSAEMSGSIZE.  from may
  // be null.
  Error recvFrom(Socket s, std::uint8_t* buffer, int length, int& received, Ipv4* from);
  Error closeSocket(Socket s);
  Error wsaCleanup();
  // inet_addr: kInaddrNone for a text that is not an address.
  Error inetAddr(const std::string& text, Ipv4& address);
  Error inetNtoa(Ipv4 address, std::string& text);

  // GetAdaptersInfo: the sizing call (0, or 111 with the size, or another
  // error), then the call with a buffer of that size.
  Error adaptersInfoSize(std::uint32_t& size);
  Error adaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters);

 protected:
  virtual Error doWsaStartup(std::uint16_t version) = 0;
  virtual Error doSocket(Socket& s) = 0;
  virtual Error doSetSockOpt(Socket s, SockOpt option, int value) = 0;
  virtual Error doGetSockOpt(Socket s, SockOpt option, int& value) = 0;
  virtual Error doBind(Socket s, Ipv4 address, std::uint16_t port) = 0;
  virtual Error doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                         std::uint16_t port) = 0;
  virtual Error doWaitReadable(Socket s, long seconds, long microseconds, bool& readable) = 0;
  virtual Error doRecvFrom(Socket s, std::uint8_t* buffer, int length, int& received,
                           Ipv4* from) = 0;
  virtual Error doCloseSocket(Socket s) = 0;
  virtual Error doWsaCleanup() = 0;
  virtual Error doInetAddr(const std::string& text, Ipv4& address) = 0;
  virtual Error doInetNtoa(Ipv4 address, std::string& text) = 0;
  virtual Error doAdaptersInfoSize(std::uint32_t& size) = 0;
  virtual Error doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) = 0;
};

}  // namespace platform
