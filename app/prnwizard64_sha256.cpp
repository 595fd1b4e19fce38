// The hash the build records of the 64-bit wizard built with this one
// (generated/prnwizard64_sha256.h, made by app/CMakeLists.txt).
#include "app/hand_over.h"
#include "prnwizard64_sha256.h"

namespace app {

std::string builtPrnWizard64Sha256() { return kPrnWizard64Sha256; }

}  // namespace app
