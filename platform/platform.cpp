#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

Platform::~Platform() {
  if (threads_.load() > 0) {
    std::fputs("platform destroyed while a thread uses it\n", stderr);
    std::fflush(stderr);
    std::_Exit(3);
  }
}

}  // namespace platform
