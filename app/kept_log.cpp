#include "app/kept_log.h"

#include "platform/prompter.h"
#include "platform/windows.h"

namespace app {

std::string keptLogPath(platform::Files& files, std::string& why) {
  why.clear();
  std::string folder;
  if (platform::Error e = files.commonAppDataFolder(folder)) {
    why = platform::failureText(
        "No log is kept: the common application data folder is not known.", e);
    return "";
  }
  for (const char* part : {"Varn", "PRN WIZARD"}) {
    folder += "\\";
    folder += part;
    platform::Error made = files.createDirectory(folder, true);
    if (made && made != platform::kErrorAlreadyExists) {
      why = platform::failureText("No log is kept: " + folder + " cannot be made.", made);
      return "";
    }
    // Made now or found, it must be closed to other accounts: one who
    // could write there could put a link where the log goes.
    bool writable = false;
    platform::Error e = files.writableByOthers(folder, writable);
    if (e == platform::kErrorCallNotImplemented) continue;  // a system without security
    if (e) {
      why = platform::failureText(
          "No log is kept: who may write to " + folder + " cannot be told.", e);
      return "";
    }
    if (writable) {
      why = "No log is kept: accounts other than the administrators may write to " + folder + ".";
      return "";
    }
  }
  return folder + "\\" + kKeptLogName;
}

void moveKeptLogAside(platform::Files& files, const std::string& path) {
  std::string::size_type slash = path.rfind('\\');
  if (slash == std::string::npos) return;
  // The first run has none.
  files.copyFile(path, path.substr(0, slash + 1) + kPreviousLogName, false);
}

}  // namespace app
