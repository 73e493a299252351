#include "file_chooser.h"

#include <vector>

#include "wide_text_win32.h"

namespace kestrum::win32 {
namespace {

/** Room for the longest path the W calls accept. */
constexpr std::size_t kPathCapacity = 32768;

}  // namespace

DWORD ChooserFlags(const FileChooserOptions& options, ChooserKind kind) {
  DWORD flags = OFN_EXPLORER;
  // A save chooser that insisted on an existing file could never name a new list:
  // must-exist only binds the open chooser.
  if (options.fileMustExist && kind == ChooserKind::Open) flags |= OFN_FILEMUSTEXIST;
  if (options.overwritePrompt) flags |= OFN_OVERWRITEPROMPT;
  if (options.hideReadOnly) flags |= OFN_HIDEREADONLY;
  return flags;
}

std::wstring ChooserFilter(const FileChooserOptions& options) {
  std::wstring filter;
  const auto addEntry = [&filter](const std::string& description, const std::string& pattern) {
    filter += Widen(description);
    filter += L'\0';
    filter += Widen(pattern);
    filter += L'\0';
  };
  addEntry(options.filterDescription, options.filterPattern);
  for (const FileFilter& more : options.moreFilters) addEntry(more.description, more.pattern);
  return filter;
}

std::optional<std::string> RunFileChooser(HWND owner, const FileChooserOptions& options, ChooserKind kind) {
  const std::wstring filter = ChooserFilter(options);
  const std::wstring defaultExtension = Widen(options.defaultExtension);
  const std::wstring initialName = Widen(options.initialName);

  std::vector<wchar_t> path(kPathCapacity, L'\0');
  initialName.copy(path.data(), path.size() - 1);

  OPENFILENAMEW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner;
  chooser.lpstrFilter = filter.c_str();
  chooser.nFilterIndex = 1;  // the first entry
  chooser.lpstrFile = path.data();
  chooser.nMaxFile = static_cast<DWORD>(path.size());
  chooser.lpstrDefExt = defaultExtension.c_str();
  chooser.Flags = ChooserFlags(options, kind);
  const BOOL chosen = kind == ChooserKind::Open ? ::GetOpenFileNameW(&chooser) : ::GetSaveFileNameW(&chooser);
  if (!chosen) return std::nullopt;
  return Narrow(path.data());
}

}  // namespace kestrum::win32
