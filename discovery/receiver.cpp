#include "discovery/receiver.h"

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "discovery/device_table.h"
#include "discovery/protocol.h"

namespace discovery {

platform::Socket discoverySocket = platform::kInvalidSocket;
std::atomic<std::int32_t> bStopReceiver{0};

namespace {
std::atomic<bool> running{false};

bool stopRequested() { return bStopReceiver.load(std::memory_order_acquire) == 1; }

// After this many failed waits in a row the loop starts to pause, up to a
// second, so a broken socket cannot keep a core busy.
constexpr int kFailuresBeforePause = 3;
constexpr unsigned kLongestPauseMs = 1000;
}  // namespace

void startReceiver(platform::Platform& os) {
  running.store(true, std::memory_order_release);
  os.threadStarted();
  std::thread([&os] {
    receiverThread(os);
    os.threadEnded();  // the last touch of the platform
    running.store(false, std::memory_order_release);
  }).detach();
}

bool receiverRunning() { return running.load(std::memory_order_acquire); }

bool waitForReceiverEnd(unsigned ms) {
  for (unsigned waited = 0; receiverRunning() && waited < ms; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return !receiverRunning();
}

bool stopReceiver(platform::Network& net, unsigned ms) {
  bStopReceiver.store(1, std::memory_order_release);
  net.closeSocket(discoverySocket);
  return waitForReceiverEnd(ms);
}

void resetReceiver() {
  waitForReceiverEnd(2000);
  bStopReceiver.store(0, std::memory_order_release);
}

int receiverThread(platform::Platform& os) {
  int failures = 0;
  for (;;) {
    int ready = waitsock(os, discoverySocket, -1, 0);
    if (ready == 1) {
      failures = 0;
      processReq(os, discoverySocket);
    } else if (ready < 0 && ++failures >= kFailuresBeforePause) {
      unsigned pause = 10u << std::min(failures - kFailuresBeforePause, 7);
      os.sleep(std::min(pause, kLongestPauseMs));
    }
    if (stopRequested() || os.ending()) return 0;
  }
}

int waitsock(platform::Network& net, platform::Socket s, long seconds, long microseconds) {
  bool readable = false;
  if (net.waitReadable(s, seconds, microseconds, readable) != platform::kOk) return -1;
  return readable ? 1 : 0;
}

int recvWithTimeout(platform::Network& net, platform::Socket s, std::uint8_t* buffer, int size,
                    platform::Ipv4* from, long seconds) {
  if (waitsock(net, s, seconds, 0) != 1) return -1;
  int received = 0;
  if (net.recvFrom(s, buffer, size, received, from) != platform::kOk) return -1;
  return received;
}

int flushSocket(platform::Network& net, platform::Socket s) {
  std::array<std::uint8_t, 1024> scratch;
  // Bounded: a flood cannot hold the thread here for ever, nor past the
  // stop flag (the main window has closed; nobody reads the table now).
  int result = waitsock(net, s, 1, 0);
  for (int i = 0; result == 1 && i < 100000 && !stopRequested(); ++i) {
    int dropped = 0;
    net.recvFrom(s, scratch.data(), static_cast<int>(scratch.size()), dropped, nullptr);
    result = waitsock(net, s, 0, 100);
  }
  return 0;
}

int processReq(platform::Network& net, platform::Socket s) {
  if (stopRequested()) return 0;
  std::array<std::uint8_t, kDatagramSize> buffer{};
  platform::Ipv4 from = 0;
  int n = recvWithTimeout(net, s, buffer.data(), static_cast<int>(buffer.size()), &from, 1);
  if (n < 0) return 1;
  switch (classify(buffer.data())) {
    case Kind::Foreign:
      flushSocket(net, s);
      return -1;
    case Kind::Command:
      return 0;
    case Kind::Reply:
      break;
  }
  std::string address;
  net.inetNtoa(from, address);
  insertTalo(address, modelText(readHeader(buffer.data()).ProductId),
             printerName(buffer.data(), static_cast<std::size_t>(n)));
  return 0;
}

void sendBurst(platform::Network& net, platform::Windows& clock, platform::Ipv4 address) {
  auto request = getInfoRequest();
  for (int i = 0; i < 5; ++i) {
    net.sendTo(discoverySocket, request.data(), static_cast<int>(request.size()), address,
               DISCOVERY_PORT);
    clock.sleep(10);
  }
}

void broadcastGetInfo(platform::Network& net, platform::Windows& clock) {
  sendBurst(net, clock, platform::kInaddrNone);
}

}  // namespace discovery
