#include "app_name.h"

#include <vector>

#include "wide_text_win32.h"
#include "win32_api.h"

namespace kestrum::win32 {

std::string ApplicationNameOf(const std::string& executablePath) {
  const std::size_t slash = executablePath.find_last_of("\\/");
  std::string name = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string ApplicationName() {
  std::vector<wchar_t> path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return ApplicationNameOf(Narrow(std::wstring_view(path.data(), length)));
}

}  // namespace kestrum::win32
