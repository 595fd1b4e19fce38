// The registry under HKEY_LOCAL_MACHINE.
#pragma once

#include "platform/faults.h"

namespace platform {

enum class RegistryCall : int {
};
constexpr Area areaOf(RegistryCall) { return Area::Registry; }

class Registry : public virtual Faults {
 public:
 protected:
};

}  // namespace platform
