// The unattended mode's prompter: every message the pages would show goes
// to the log, in the same words, one line each; every question is answered
// Yes (a newer shipped monitor replaces an older one, the given address
// replaces the stored one, the printer moves to "Remote Port").
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/prompter.h"

namespace app {

class LogPrompter : public platform::Prompter {
 public:
  // `path` empty: nothing is written, the messages are only counted.
  LogPrompter(platform::Files& files, std::string path) : files_(files), path_(std::move(path)) {}

  // The log kept in a fixed folder (app/kept_log.h): the lines are held
  // until keep() names it.  With `replace` (the run that holds the
  // single-instance guard) they replace it, and every later line goes after
  // them; else (a run that may not change it: another may be writing it)
  // they go at its end in one write, and later lines are not kept.  A kept
  // log that cannot be written is given up quietly.
  void keep(const std::string& kept, bool replace);

  // Starts the log with its first line, replacing an earlier log.  False
  // when the log file cannot be written.
  bool start(const std::string& firstLine);
  // A line of the run's own (a step, the outcome).
  void line(const std::string& text);
  platform::Answer prompt(const platform::Prompt& p) override;

  // The messages (prompts with OK only) so far: in the steps of an
  // installation every one of them reports a failure.
  int messages() const { return messages_; }

 private:
  platform::Files& files_;
  std::string path_;
  std::string kept_;
  std::string held_;  // the lines until keep()
  bool keptDone_ = false;  // keep() was called
  int messages_ = 0;
};

}  // namespace app
