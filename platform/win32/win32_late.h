// System DLLs that only a few steps need (the shell, the common dialogs, the
// IP Helper) are loaded when first used, from the system folder, so that
// start-up does not pay for them.  Also the spooler's set-default-printer,
// which older import libraries lack (looked up by ordinal).
#pragma once

#include <windows.h>

namespace platform {

// The address of `name` in the system DLL `dll`, which is loaded on the
// first call and kept; null, with GetLastError set, when either is missing.
FARPROC lateProc(const char* dll, const char* name);

template <class F>
F lateBound(const char* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(lateProc(dll, name)));
}

}  // namespace platform
