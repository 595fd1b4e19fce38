// An in-memory PC: the platform backend of the native tests.  Its state is
// public so that a test can lay out the PC before a run and read it after.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

class FakePc : public Platform {
 public:
  struct Window {
    WindowId id;
    std::string cls;
    std::string title;
  };
  struct ShownBox {
    WindowId owner;
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
    Answer answer;
  };

  std::uint32_t version = 0x0A280105;  // Windows XP: major 5
  std::vector<Window> windows;
  WindowId foreground = 0;
  std::vector<ShownBox> boxes;  // every message box, in order
  // Answers for the coming Yes/No boxes.  A question with none queued is
  // answered No and sets unexpectedQuestion; OK boxes always answer Ok.
  std::deque<Answer> answers;
  bool unexpectedQuestion = false;
  // Runs while a box is up (before it is answered): what the user might do
  // meanwhile.
  std::function<void(const ShownBox&)> whileShown;

  std::vector<ShellRequest> shellRequests;
  struct SentMessage {
    WindowId window;
    unsigned message;
  };
  std::vector<SentMessage> sentMessages;
  // A window that holds a UDP port and lets it go when it closes (WM_CLOSE).
  std::map<WindowId, std::uint16_t> portOfWindow;

  // Virtual time: sleep() advances tickCount() without waiting.
  std::atomic<std::uint32_t> now{0};
  std::atomic<std::uint64_t> slept{0};
  void sleep(unsigned ms) override {
    now += ms;
    slept += ms;
  }
  std::uint32_t tickCount() override { return now; }

  // The network.  Replies are delivered to the socket bound to their port.
  struct Datagram {
    Ipv4 from;
    std::vector<std::uint8_t> bytes;
  };
  struct Sent {
    Ipv4 to;
    std::uint16_t port;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Adapter> adapters;
  std::set<std::uint16_t> portsHeldElsewhere;  // bind() to these fails
  int receiveBufferLimit = 1 << 20;           // what SO_RCVBUF grants at most
  // Real waits (select time-outs) last this share of their nominal time.
  double waitScale = 0.02;
  // Called after every send, outside the network's lock: the LAN's answer.
  std::function<void(const Sent&)> onSend;

  void addAdapter(std::vector<AdapterAddress> addresses) { adapters.push_back({addresses}); }
  // A datagram from the LAN to the PC's socket bound to `port`.
  void deliver(Ipv4 from, std::vector<std::uint8_t> bytes, std::uint16_t port = 9999);
  std::vector<Sent> sent() const;
  std::size_t queued(std::uint16_t port) const;
  int wsaStartups() const { return wsaStartups_; }
  int wsaCleanups() const { return wsaCleanups_; }
  bool socketOpen(Socket s) const;
  // Wakes every wait and makes further socket calls fail (end of a test).
  void shutDownNetwork();
  bool ending() const override { return ending_.load(); }
  ~FakePc() override;

  WindowId addWindow(const std::string& cls, const std::string& title);
  Window* window(WindowId id);

 protected:
  std::uint32_t doGetVersion() override { return version; }
  WindowId doFindWindow(const std::string& cls, const std::string& title) override;
  bool doSetForegroundWindow(WindowId window) override;
  bool doSetWindowText(WindowId window, const std::string& text) override;
  Answer doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                      Buttons buttons, Icon icon) override;
  bool doShellExecute(const ShellRequest& request) override {
    shellRequests.push_back(request);
    return true;
  }
  void doSendMessage(WindowId window, unsigned message, std::uintptr_t, std::intptr_t) override;
  int doWsaStartup(std::uint16_t version) override;
  Socket doSocket() override;
  bool doSetSockOpt(Socket s, SockOpt option, int value) override;
  bool doGetSockOpt(Socket s, SockOpt option, int& value) override;
  bool doBind(Socket s, Ipv4 address, std::uint16_t port) override;
  int doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
               std::uint16_t port) override;
  int doWaitReadable(Socket s, long seconds, long microseconds) override;
  int doRecvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from) override;
  bool doCloseSocket(Socket s) override;
  bool doWsaCleanup() override;
  Ipv4 doInetAddr(const std::string& text) override;
  std::string doInetNtoa(Ipv4 address) override;
  std::uint32_t doAdaptersInfoSize(std::uint32_t& size) override;
  std::uint32_t doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) override;

 private:
  struct SocketState {
    bool open = true;
    bool broadcast = false;
    bool bound = false;
    std::uint16_t port = 0;
    int receiveBuffer = 8192;
    std::deque<Datagram> queue;
  };
  SocketState* socketState(Socket s);  // null (and WSAENOTSOCK) when unknown or closed

  WindowId nextId_ = 0x100;
  mutable std::mutex netLock_;
  std::condition_variable arrived_;
  std::map<Socket, SocketState> sockets_;
  Socket nextSocket_ = 0x40;
  std::vector<Sent> sent_;
  int wsaStartups_ = 0;
  int wsaCleanups_ = 0;
  int waiting_ = 0;
  bool shutDown_ = false;
  std::atomic<bool> ending_{false};
};

}  // namespace platform
