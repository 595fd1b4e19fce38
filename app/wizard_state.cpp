#include "app/wizard_state.h"

#include "discovery/receiver.h"

std::uint8_t osMajorVersion = 0;
std::uint32_t dwDriverVersion = 0;
std::uint32_t dwDetectTicks = 0;
std::atomic<std::int32_t> bStopReceiver{0};

void resetWizardState() {
  // A receiver thread of an earlier run ends on the stop flag first.
  discovery::waitForReceiverEnd(2000);
  osMajorVersion = 0;
  dwDriverVersion = 0;
  dwDetectTicks = 0;
  bStopReceiver.store(0, std::memory_order_release);
}
