#include "literal_scan.h"

#include "locator.h"

#include <algorithm>

namespace kestrum::test {

LiteralScanResult LiteralScan(const std::string& file) {
  LiteralScanResult result;
  const auto length = static_cast<std::int64_t>(file.size());
  if (length <= 10) return result;
  std::int64_t passStart = ScanStart(static_cast<std::int32_t>(length));
  std::int64_t probe = passStart;
  result.passes = 1;
  for (;;) {
    const std::int64_t got = std::max<std::int64_t>(0, std::min<std::int64_t>(64, length - probe));
    std::string text = file.substr(static_cast<std::size_t>(probe), static_cast<std::size_t>(got));
    text = text.substr(0, text.find('\0'));
    ++result.probes;
    if (const std::size_t at = text.find("worldspawn"); at != std::string::npos) {
      result.key = static_cast<std::int32_t>(probe + static_cast<std::int64_t>(at));
      return result;
    }
    const std::int64_t after = probe + got;
    if (after + 64 <= length) {
      probe = after - 10;
      continue;
    }
    passStart += 2;
    if (passStart + 10 >= length) return result;
    ++result.passes;
    probe = passStart;
  }
}

}  // namespace kestrum::test
