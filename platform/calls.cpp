// The public calls of every area, made from the areas' tables of calls
// (PLATFORM_<AREA>_CALLS in platform/<area>.h): each clears its outputs,
// returns an injected fault if there is one, else asks the backend.
#include "platform/platform.h"

namespace platform {

#define WINDOWS(...) PLATFORM_CALL_DEFINITION(Windows, __VA_ARGS__)
#define NETWORK(...) PLATFORM_CALL_DEFINITION(Network, __VA_ARGS__)
#define SPOOLER(...) PLATFORM_CALL_DEFINITION(Spooler, __VA_ARGS__)
#define REGISTRY(...) PLATFORM_CALL_DEFINITION(Registry, __VA_ARGS__)
#define FILES(...) PLATFORM_CALL_DEFINITION(Files, __VA_ARGS__)
#define PRINTING(...) PLATFORM_CALL_DEFINITION(Printing, __VA_ARGS__)
PLATFORM_WINDOWS_CALLS(WINDOWS)
PLATFORM_NETWORK_CALLS(NETWORK)
PLATFORM_SPOOLER_CALLS(SPOOLER)
PLATFORM_REGISTRY_CALLS(REGISTRY)
PLATFORM_FILES_CALLS(FILES)
PLATFORM_PRINTING_CALLS(PRINTING)

}  // namespace platform
