// The printers' port check, scripted by the monitor tests.
#include "monitor/remote_port.h"
#include "tests/native/monitor_fixture.h"

namespace monitortest {
std::function<int(platform::Platform&, int)> remotePortCheck;
std::vector<int> remotePortCalls;
}  // namespace monitortest

namespace printers {
int checkRemotePort(platform::Platform& os, int bMove) {
  monitortest::remotePortCalls.push_back(bMove);
  return monitortest::remotePortCheck ? monitortest::remotePortCheck(os, bMove) : 0;
}
}  // namespace printers
