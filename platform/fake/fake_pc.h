// An in-memory PC: the platform backend of the native tests.  Its state is
// public so that a test can lay out the PC before a run and read it after.
#pragma once

#include <deque>
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

  std::vector<ShellRequest> shellRequests;
  std::uint32_t now = 0;  // tickCount; sleep() advances it
  std::uint64_t slept = 0;

  void sleep(unsigned ms) override {
    now += ms;
    slept += ms;
  }
  std::uint32_t tickCount() override { return now; }

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

 private:
  WindowId nextId_ = 0x100;
};

}  // namespace platform
