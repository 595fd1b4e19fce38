// The seam between the wizard and the operating system.  Every call the
// wizard makes to Windows goes through this class; platform/win32 forwards
// to the real API, platform/fake keeps an in-memory PC.  Any call can be
// made to fail with a chosen error code (failCall), in both backends.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using WindowId = std::uintptr_t;  // 0: no window

enum class Call : int {
  GetVersion,
  FindWindow,
  SetForegroundWindow,
  SetWindowText,
  MessageBox,
  ShellExecute,
  SendMessage,
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
  GetAdaptersInfoSizing,
  GetAdaptersInfo,
  Count
};

enum class Buttons { Ok, YesNo };
enum class Icon { None, Stop, Question, Information };
// The values MessageBoxA returns; Failed when the box could not be shown.
enum class Answer { Failed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A request to the shell (ShellExecuteExA).
struct ShellRequest {
  std::uint32_t mask = 0;
  platform::WindowId owner = 0;
  std::string verb, file, parameters, directory;
  int show = 0;
};

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

inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorBufferOverflow = 111;
inline constexpr std::uint32_t kErrorNoData = 232;
inline constexpr std::uint32_t kWsaEMsgSize = 10040;
inline constexpr std::uint32_t kWsaEAddrInUse = 10048;
inline constexpr unsigned kWmDestroy = 0x0002;
inline constexpr unsigned kWmClose = 0x0010;

class Platform {
 public:
  // Outlives every thread that uses it: destroyed while a thread still says
  // it uses it (threadStarted without threadEnded), it ends the program at
  // once with code 3 rather than let that thread run into freed memory.
  virtual ~Platform();

  // The next `times` calls of `call` fail with `error` (times < 0: all).
  void failCall(Call call, std::uint32_t error, int times = -1);
  void clearFaults();
  // The error code of the last call that failed.
  static std::uint32_t lastError() { return lastError_; }

  // Low byte of the version number: 4 for Windows 9x and NT 4, 5 for 2000/XP.
  std::uint8_t osMajorVersion();
  // A top-level window by class and title; cls empty matches any class.
  WindowId findWindow(const std::string& cls, const std::string& title);
  bool setForegroundWindow(WindowId window);
  bool setWindowText(WindowId window, const std::string& text);

  // The application window and title own the plain message dialogs.
  void setApplication(WindowId window, const std::string& title);
  WindowId applicationWindow() const { return appWindow_; }
  const std::string& applicationTitle() const { return appTitle_; }

  // A message box; caption empty gives the system's default caption.
  Answer messageBox(WindowId owner, const std::string& text, const std::string& caption,
                    Buttons buttons, Icon icon);
  // Called with true just before a message box appears and with false once
  // it is answered: the toolkit keeps every page from input meanwhile.
  void setMessageBoxHook(std::function<void(bool shown)> hook) { boxHook_ = std::move(hook); }
  // The plain message dialog: application title, OK, no icon.
  void showMessage(const std::string& text);

  bool shellExecute(const ShellRequest& request);
  void sendMessage(WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

  // Windows Sockets.  Socket calls may come from several threads.
  // WSAStartup: 0 or the error code.
  int wsaStartup(std::uint16_t version);
  Socket socket();  // UDP over IPv4
  bool setSockOpt(Socket s, SockOpt option, int value);
  bool getSockOpt(Socket s, SockOpt option, int& value);
  bool bind(Socket s, Ipv4 address, std::uint16_t port);
  // Bytes sent, or -1.
  int sendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address, std::uint16_t port);
  // select() on reading, for this socket alone: 1 readable, 0 time-out, -1
  // error.  seconds < 0 waits without a time-out.
  int waitReadable(Socket s, long seconds, long microseconds);
  // One datagram: its length, or -1 (a datagram longer than the buffer is
  // dropped whole and reported as -1 with WSAEMSGSIZE).  from may be null.
  int recvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from);
  bool closeSocket(Socket s);
  bool wsaCleanup();
  Ipv4 inetAddr(const std::string& text);
  std::string inetNtoa(Ipv4 address);

  // GetAdaptersInfo: the sizing call (0, 111 with the size, or another
  // error), then the call with a buffer of that size.
  std::uint32_t adaptersInfoSize(std::uint32_t& size);
  std::uint32_t adaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters);

  // Threads that use this object tell it so; a backend that is torn down
  // (the in-memory PC at the end of a test) says `ending` and waits for them.
  void threadStarted() { threads_.fetch_add(1); }
  void threadEnded() { threads_.fetch_sub(1); }
  int threadsRunning() const { return threads_.load(); }
  virtual bool ending() const { return false; }

  virtual void sleep(unsigned ms) = 0;
  // Milliseconds since some start; wraps like GetTickCount.
  virtual std::uint32_t tickCount() = 0;

 protected:
  virtual std::uint32_t doGetVersion() = 0;
  virtual WindowId doFindWindow(const std::string& cls, const std::string& title) = 0;
  virtual bool doSetForegroundWindow(WindowId window) = 0;
  virtual bool doSetWindowText(WindowId window, const std::string& text) = 0;
  virtual Answer doMessageBox(WindowId owner, const std::string& text,
                              const std::string& caption, Buttons buttons, Icon icon) = 0;
  virtual bool doShellExecute(const ShellRequest& request) = 0;
  virtual void doSendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;
  virtual int doWsaStartup(std::uint16_t version) = 0;
  virtual Socket doSocket() = 0;
  virtual bool doSetSockOpt(Socket s, SockOpt option, int value) = 0;
  virtual bool doGetSockOpt(Socket s, SockOpt option, int& value) = 0;
  virtual bool doBind(Socket s, Ipv4 address, std::uint16_t port) = 0;
  virtual int doSendTo(Socket s, const std::uint8_t* data, int length, Ipv4 address,
                       std::uint16_t port) = 0;
  virtual int doWaitReadable(Socket s, long seconds, long microseconds) = 0;
  virtual int doRecvFrom(Socket s, std::uint8_t* buffer, int length, Ipv4* from) = 0;
  virtual bool doCloseSocket(Socket s) = 0;
  virtual bool doWsaCleanup() = 0;
  virtual Ipv4 doInetAddr(const std::string& text) = 0;
  virtual std::string doInetNtoa(Ipv4 address) = 0;
  virtual std::uint32_t doAdaptersInfoSize(std::uint32_t& size) = 0;
  virtual std::uint32_t doAdaptersInfo(std::uint32_t size, std::vector<Adapter>& adapters) = 0;

  // Backends report a failed real call here, with its error code.
  void fail(std::uint32_t error) { lastError_ = error; }
  // True (and lastError set) when an injected fault takes this call.
  bool injected(Call call);

 private:
  struct Fault {
    std::uint32_t error;
    int remaining;
  };
  std::atomic<int> threads_{0};
  std::mutex faultsLock_;
  std::array<std::optional<Fault>, static_cast<std::size_t>(Call::Count)> faults_{};
  static thread_local std::uint32_t lastError_;  // per thread, as GetLastError
  WindowId appWindow_ = 0;
  std::string appTitle_;
  std::function<void(bool)> boxHook_;
};

}  // namespace platform
