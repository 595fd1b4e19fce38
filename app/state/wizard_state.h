// The values one page leaves for the next that are not label texts, and the
// names the program is known by.
#pragma once

#include <cstdint>

inline constexpr char kAppTitle[] = "Varn PRN WIZARD";
inline constexpr char kAppClass[] = "TApplication";

// Windows major version, taken once at start-up: 4 and below is the 9x branch.
extern std::uint8_t osMajorVersion;
// This process is the 64-bit wizard on x64 Windows (app/hand_over.h), taken
// once at start-up: the monitor's x64 family.
extern bool wizard64;
// The port monitor's version as settled by the last installation run.
extern std::uint32_t dwDriverVersion;
// Ticks of the detection page's timer since its search started.
extern std::uint32_t dwDetectTicks;

inline bool isWin9xFamily() { return osMajorVersion < 5; }

// Back to the values at program start (tests run the wizard many times).
void resetWizardState();
