#include "locator_reference.h"

namespace kestrum::test {
namespace {

std::optional<std::int32_t> KeyFrom(const std::string& file, std::size_t from) {
  const std::string range = file.substr(from);
  if (const std::size_t quoted = range.find("\"worldspawn\""); quoted != std::string::npos) {
    return static_cast<std::int32_t>(from + quoted + 1);
  }
  if (const std::size_t bare = range.find("worldspawn"); bare != std::string::npos) {
    return static_cast<std::int32_t>(from + bare);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> ReferenceKey(const std::string& file) {
  if (file.size() <= 10) return std::nullopt;
  const std::size_t lastTenth = file.size() > 1'000'000 ? file.size() * 9 / 10 : 0;
  if (const std::optional<std::int32_t> key = KeyFrom(file, lastTenth)) return key;
  return lastTenth > 0 ? KeyFrom(file, 0) : std::nullopt;
}

std::optional<std::int32_t> ReferenceLocate(const std::string& file) {
  const std::optional<std::int32_t> key = ReferenceKey(file);
  if (!key || *key == 0) return std::nullopt;
  const std::size_t brace = file.rfind('{', static_cast<std::size_t>(*key) - 1);
  if (brace == std::string::npos || static_cast<std::size_t>(*key) - brace > 128 + (std::size_t{1} << 20)) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(brace);
}

}  // namespace kestrum::test
