#include "platform/network.h"

namespace platform {

Error Network::wsaStartup(std::uint16_t version) {
  if (Error e = injected(NetworkCall::WSAStartup)) return e;
  return doWsaStartup(version);
}

Error Network::socket(Socket& s) {
  s = kInvalidSocket;
  if (Error e = injected(NetworkCall::Socket)) return e;
  return doSocket(s);
}

Error Network::setSockOpt(Socket s, SockOpt option, int value) {
  if (Error e = injected(NetworkCall::SetSockOpt)) return e;
  return doSetSockOpt(s, option, value);
}

Error Network::getSockOpt(Socket s, SockOpt option, int& value) {
  if (Error e = injected(NetworkCall::GetSockOpt)) return e;
  return doGetSockOpt(s, option, value);
}

Error Network::bind(Socket s, Ipv4 address, std::uint16_t port) {
  if (Error e = injected(NetworkCall::Bind)) return e;
  return doBind(s, address, port);
}

Error Network::sendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                      std::uint16_t port) {
  if (Error e = injected(NetworkCall::SendTo)) return e;
  return doSendTo(s, data, length, address, port);
}

Error Network::waitReadable(Socket s, long seconds, long microseconds, bool& readable) {
  readable = false;
  if (Error e = injected(NetworkCall::Select)) return e;
  return doWaitReadable(s, seconds, microseconds, readable);
}

Error Network::recvFrom(Socket s, std::uint8_t* buffer, int length, int& received, Ipv4* from) {
  received = 0;
  if (Error e = injected(NetworkCall::RecvFrom)) return e;
  return doRecvFrom(s, buffer, length, received, from);
}

Error Network::closeSocket(Socket s) {
  if (Error e = injected(NetworkCall::CloseSocket)) return e;
  return doCloseSocket(s);
}

Error Network::wsaCleanup() {
  if (Error e = injected(NetworkCall::WSACleanup)) return e;
  return doWsaCleanup();
}

Error Network::inetAddr(const std::string& text, Ipv4& address) {
  address = kInaddrNone;
  if (Error e = injected(NetworkCall::InetAddr)) return e;
  return doInetAddr(text, address);
}

Error Network::inetNtoa(Ipv4 address, std::string& text) {
  text.clear();
  if (Error e = injected(NetworkCall::InetNtoa)) return e;
  return doInetNtoa(address, text);
}

Error Network::adaptersInfoSize(std::uint32_t& size) {
  if (Error e = injected(NetworkCall::GetAdaptersInfoSizing)) return e;
  return doAdaptersInfoSize(size);
}

Error Network::adaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) {
  if (Error e = injected(NetworkCall::GetAdaptersInfo)) return e;
  return doAdaptersInfo(size, adapters);
}

}  // namespace platform
