#include "app/state/wizard_state.h"

std::uint8_t osMajorVersion = 0;
bool wizard64 = false;
std::uint32_t dwDriverVersion = 0;
std::uint32_t dwDetectTicks = 0;

void resetWizardState() {
  osMajorVersion = 0;
  wizard64 = false;
  dwDriverVersion = 0;
  dwDetectTicks = 0;
}
