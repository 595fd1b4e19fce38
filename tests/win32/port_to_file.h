// A printer port whose jobs Wine's spooler writes to a file in the tests'
// folder (a value named as the port under HKCU\Software\Wine\Printing\Spooler),
// and a printer on it made by the simulated PC's tool in a process of its own:
// Wine's PostScript driver reads a printer's defaults once per process.
#pragma once

#include <string>

namespace wintest {

class PortToFile {
 public:
  PortToFile(const std::string& port, const std::string& fileName);
  ~PortToFile();
  PortToFile(const PortToFile&) = delete;
  PortToFile& operator=(const PortToFile&) = delete;
  // What the jobs printed so far wrote; "(missing)" before the first.
  std::string printed() const;

 private:
  std::string port_, file_;
};

// Runs `simpc <command> <printer> <port>`; true when it made the printer.
bool makePrinter(const std::string& command, const std::string& printer, const std::string& port);

}  // namespace wintest
