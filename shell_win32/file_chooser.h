// The system's open and save choosers.
#pragma once

#include <optional>
#include <string>

#include "dialog_services.h"
#include "win32_api.h"

namespace kestrum::win32 {

enum class ChooserKind { Open, Save };

/** The flags the chooser is given for these options. */
DWORD ChooserFlags(const FileChooserOptions& options, ChooserKind kind);

/**
 * The chooser's list of file types: each entry's description and pattern, NUL after each;
 * the system reads the list up to the empty string this leaves after the last entry.
 */
std::wstring ChooserFilter(const FileChooserOptions& options);

/** Runs the chooser owned by owner; the chosen path in UTF-8, or nothing when cancelled. */
std::optional<std::string> RunFileChooser(HWND owner, const FileChooserOptions& options, ChooserKind kind);

}  // namespace kestrum::win32
