#include "dropped_files.h"

#include <vector>

#include "wide_text_win32.h"

namespace kestrum::win32 {

std::optional<std::string> TakeFirstDroppedFile(HDROP drop) {
  std::optional<std::string> file;
  if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> name(length + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, 0, name.data(), length + 1);
    file = Narrow(std::wstring_view(name.data(), copied));
  }
  ::DragFinish(drop);
  return file;
}

}  // namespace kestrum::win32
