// Printer device contexts and documents: what the test page is drawn on.
#pragma once

#include "platform/faults.h"

namespace platform {

enum class PrintingCall : int {
};
constexpr Area areaOf(PrintingCall) { return Area::Printing; }

class Printing : public virtual Faults {
 public:
 protected:
};

}  // namespace platform
