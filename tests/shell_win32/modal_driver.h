// Acting on modal dialogs from a test: DoModal, MessageBoxW and the choosers run a
// message loop of their own until the dialog ends. A thread timer, armed before, fires
// inside that loop, finds the dialog once it is up and acts on it.
#pragma once

#include <functional>
#include <string>

#include "win32_api.h"

namespace kestrum::test {

/**
 * Runs act on the next visible dialog of this thread with this title (owned: one that has
 * an owner, such as a message box titled like the main dialog). Acts queue up in order.
 * When the dialog does not show within 5 s the test fails and the dialog that is up is
 * cancelled, so that a test fails instead of hanging.
 */
void WhenDialogShows(const std::wstring& title, bool owned, std::function<void(HWND)> act);

/** Whether every act queued so far has run. */
bool AllActsRan();

}  // namespace kestrum::test
