#include "app/log_prompter.h"

namespace app {

namespace {
// A message's lines joined with one blank, so that each message is one line.
std::string oneLine(const std::string& text) {
  std::string out;
  bool lineStart = false;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      lineStart = true;
      continue;
    }
    if (lineStart && c == ' ') continue;
    if (lineStart && !out.empty()) out += ' ';
    lineStart = false;
    out += c;
  }
  return out;
}
}  // namespace

bool LogPrompter::start(const std::string& firstLine) {
  held_ = firstLine + "\r\n";
  return path_.empty() || files_.writeFile(path_, firstLine + "\r\n", false) == platform::kOk;
}

void LogPrompter::keep(const std::string& kept, bool replace) {
  if (keptDone_) return;
  keptDone_ = true;
  if (!kept.empty() && files_.writeFile(kept, held_, !replace) == platform::kOk && replace)
    kept_ = kept;
  held_.clear();
}

void LogPrompter::line(const std::string& text) {
  // A log that stops being writable does not stop the installation.
  if (!path_.empty()) files_.writeFile(path_, oneLine(text) + "\r\n", true);
  if (!kept_.empty()) files_.writeFile(kept_, oneLine(text) + "\r\n", true);
  else if (!keptDone_) held_ += oneLine(text) + "\r\n";
}

platform::Answer LogPrompter::prompt(const platform::Prompt& p) {
  std::string caption = p.applicationTitle || p.caption.empty() ? "" : " [" + p.caption + "]";
  if (p.buttons == platform::Buttons::YesNo) {
    line("question" + caption + ": " + p.text + " -> Yes");
    return platform::Answer::Yes;
  }
  ++messages_;
  line("message" + caption + ": " + p.text);
  return platform::Answer::Ok;
}

}  // namespace app
