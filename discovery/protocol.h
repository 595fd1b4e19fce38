// The discovery datagrams: the GETINFO request the PC broadcasts and the
// reply each server sends back.  Fields are read and written byte by byte,
// little-endian, never by laying a struct over the buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace discovery {

inline constexpr std::uint16_t DISCOVERY_PORT = 9999;
inline constexpr std::uint8_t NET_SERVICE_ID_TALO_INFO = 0x0C;
inline constexpr std::uint8_t NET_PACKET_TYPE_CMD = 0x15;
inline constexpr std::uint8_t NET_PACKET_TYPE_RES = 0x16;
inline constexpr std::uint16_t NET_CMD_ID_GETINFO = 0x001F;
inline constexpr std::size_t kDatagramSize = 512;  // requests, and the longest reply
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kMaxPrinterName = 255;

struct NET_PACKET_HDR {
  std::uint8_t ServiceId = 0;
  std::uint8_t PacketType = 0;
  std::uint16_t OpCode = 0;
  std::uint32_t ProductId = 0;
};

NET_PACKET_HDR readHeader(const std::uint8_t* bytes);
void writeHeader(const NET_PACKET_HDR& header, std::uint8_t* bytes);

// The 512-byte GETINFO command: 0C 15 1F 00, ProductId 0, zeros.
std::array<std::uint8_t, kDatagramSize> getInfoRequest();

// "KX220", "KX230" or "No Info".
const char* modelText(std::uint32_t productId);

// What a received datagram is, by the tests in their order.
enum class Kind {
  Reply,    // a GETINFO answer: store it
  Command,  // a request (our own broadcast coming back): drop silently
  Foreign,  // anything else: drop and flush the socket
};
// `bytes` is the 512-byte receive buffer, cleared before the receive, so a
// short datagram reads as zeros past its end.
Kind classify(const std::uint8_t* bytes);

// The printer name of a reply of `length` bytes: from offset 8 up to the
// first NUL or the end of the datagram, at most 255 characters.
std::string printerName(const std::uint8_t* bytes, std::size_t length);

}  // namespace discovery
