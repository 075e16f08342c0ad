// brimwald-ripper.exe: the window, on Windows.

#include <windows.h>

#include <exception>

#include "app/win32/main_window.h"
#include "text/wide_text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    brimwald::win32::MainWindow window(instance, "");
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      // Tab and the arrow keys move between the controls; Esc cancels an
      // extraction's progress.
      if (window.TakeDialogMessage(message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    return 0;
  } catch (const std::exception& error) {
    ::MessageBoxW(nullptr, brimwald::Widen(error.what()).c_str(),
                  brimwald::win32::kCaption, MB_OK | MB_ICONERROR);
    return 1;
  }
}
