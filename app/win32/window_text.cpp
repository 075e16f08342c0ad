#include "app/win32/window_text.h"

namespace brimwald {

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1,
                    L'\0');
  text.resize(static_cast<size_t>(
      ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace brimwald
