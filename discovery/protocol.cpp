#include "discovery/protocol.h"

namespace discovery {

NET_PACKET_HDR readHeader(const std::uint8_t* b) {
  NET_PACKET_HDR h;
  h.ServiceId = b[0];
  h.PacketType = b[1];
  h.OpCode = static_cast<std::uint16_t>(b[2] | b[3] << 8);
  h.ProductId = static_cast<std::uint32_t>(b[4]) | static_cast<std::uint32_t>(b[5]) << 8 |
                static_cast<std::uint32_t>(b[6]) << 16 | static_cast<std::uint32_t>(b[7]) << 24;
  return h;
}

void writeHeader(const NET_PACKET_HDR& h, std::uint8_t* b) {
  b[0] = h.ServiceId;
  b[1] = h.PacketType;
  b[2] = static_cast<std::uint8_t>(h.OpCode);
  b[3] = static_cast<std::uint8_t>(h.OpCode >> 8);
  for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<std::uint8_t>(h.ProductId >> (8 * i));
}

std::array<std::uint8_t, kDatagramSize> getInfoRequest() {
  std::array<std::uint8_t, kDatagramSize> request{};
  writeHeader({NET_SERVICE_ID_TALO_INFO, NET_PACKET_TYPE_CMD, NET_CMD_ID_GETINFO, 0},
              request.data());
  return request;
}

const char* modelText(std::uint32_t productId) {
  switch (productId) {
    case 0x00010000: return "KX220";
    case 0x00020000: return "KX230";
    default: return "No Info";
  }
}

Kind classify(const std::uint8_t* bytes) {
  NET_PACKET_HDR h = readHeader(bytes);
  if (h.ServiceId != NET_SERVICE_ID_TALO_INFO) return Kind::Foreign;
  if (h.PacketType == NET_PACKET_TYPE_CMD) return Kind::Command;
  if (h.PacketType != NET_PACKET_TYPE_RES) return Kind::Foreign;
  if (h.OpCode != NET_CMD_ID_GETINFO) return Kind::Foreign;
  return Kind::Reply;
}

std::string printerName(const std::uint8_t* bytes, std::size_t length) {
  std::string name;
  for (std::size_t i = kHeaderSize; i < length && name.size() < kMaxPrinterName; ++i) {
    if (bytes[i] == 0) break;
    name.push_back(static_cast<char>(bytes[i]));
  }
  return name;
}

}  // namespace discovery
