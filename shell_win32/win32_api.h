// The one way into the Windows API for the dialog. <windows.h> renames MessageBox and
// LoadString to their ...W forms by macro, which would also rename the program's own
// IDialogServices::MessageBox and res::LoadString: the macros go, and the dialog calls
// the W functions by their real names.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// commdlg.h, commctrl.h and shellapi.h need the types of windows.h before them.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#undef MessageBox
#undef LoadString
