// The print spooler: printers, their level-2 and level-5 records, monitors,
// the default printer.
#pragma once

#include "platform/faults.h"

namespace platform {

enum class SpoolerCall : int {
};
constexpr Area areaOf(SpoolerCall) { return Area::Spooler; }

class Spooler : public virtual Faults {
 public:
 protected:
};

}  // namespace platform
