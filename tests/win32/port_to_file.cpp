#include "tests/win32/port_to_file.h"

#include <windows.h>

#include "tests/win32/processes.h"

namespace wintest {
namespace {
constexpr char kSpoolerKey[] = "Software\\Wine\\Printing\\Spooler";

// Wine's drive Z: is the Unix root.
std::string unixPath(const std::string& windowsPath) {
  std::string path = windowsPath.size() > 2 && windowsPath[1] == ':' ? windowsPath.substr(2)
                                                                     : windowsPath;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}
}  // namespace

PortToFile::PortToFile(const std::string& port, const std::string& fileName)
    : port_(port), file_(exeDir() + "\\" + fileName) {
  DeleteFileA(file_.c_str());
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  const std::string target = unixPath(file_);
  RegSetValueExA(key, port_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(target.c_str()),
                 static_cast<DWORD>(target.size() + 1));
  RegCloseKey(key);
}

PortToFile::~PortToFile() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSpoolerKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, port_.c_str());
    RegCloseKey(key);
  }
}

std::string PortToFile::printed() const { return readFile(file_); }

bool makePrinter(const std::string& command, const std::string& printer, const std::string& port) {
  Process simpc("\"" + exeDir() + "\\simpc.exe\" " + command + " \"" + printer + "\" " + port);
  return simpc.waitExit(patience(30000)) == 0;
}

}  // namespace wintest
