// The system directory, file copies, and DLLs loaded to call one export.
#pragma once

#include "platform/faults.h"

namespace platform {

enum class FilesCall : int {
};
constexpr Area areaOf(FilesCall) { return Area::Files; }

class Files : public virtual Faults {
 public:
 protected:
};

}  // namespace platform
