// The Windows entry point: the real platform and toolkit.
#include <windows.h>

#include "app/application.h"
#include "gui/win32/win32_ui.h"
#include "gui/win32/win32_picture_source.h"
#include "platform/win32/win32_late.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before anything loads a DLL: none from the program's or the current folder.
  platform::restrictDllSearch();
  // The receiver thread is neither woken nor waited for at exit, so the
  // platform it uses is never destroyed: it lives until the process ends.
  platform::Win32Platform& os = *new platform::Win32Platform;
  gui::Win32PictureSource pictures(instance);
  gui::Win32Ui ui(os, instance, &pictures);
  return app::runApplication(os, ui, commandLine ? commandLine : "");
}
