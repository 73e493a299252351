// The edit boxes hold map bytes in the Windows Western code page (Windows-1252), the
// code page the README promises: a character it cannot write has no byte to search for
// or to keep, so the box refuses it as it is typed or pasted, as the Qt dialog does.
#pragma once

#include "win32_api.h"

namespace kestrum::win32 {

/** From now on the edit box refuses typed and pasted characters that Windows-1252 cannot write. */
void KeepToCodePage(HWND edit);

}  // namespace kestrum::win32
