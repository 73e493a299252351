#include "literal_scan.h"

#include <algorithm>

namespace kestrum::test {
namespace {

/** Passes from passStart on, counted into result, until one finds the key or they run out. */
void ScanPasses(const std::string& file, std::int64_t passStart, LiteralScanResult& result) {
  const auto length = static_cast<std::int64_t>(file.size());
  std::int64_t probe = passStart;
  ++result.passes;
  for (;;) {
    const std::int64_t got = std::max<std::int64_t>(0, std::min<std::int64_t>(64, length - probe));
    std::string text = file.substr(static_cast<std::size_t>(probe), static_cast<std::size_t>(got));
    text = text.substr(0, text.find('\0'));
    ++result.probes;
    if (const std::size_t at = text.find("worldspawn"); at != std::string::npos) {
      result.key = static_cast<std::int32_t>(probe + static_cast<std::int64_t>(at));
      return;
    }
    const std::int64_t after = probe + got;
    if (after + 64 <= length) {
      probe = after - 10;
      continue;
    }
    passStart += 2;
    if (passStart + 10 >= length) return;
    ++result.passes;
    probe = passStart;
  }
}

}  // namespace

LiteralScanResult LiteralScan(const std::string& file) {
  LiteralScanResult result;
  const auto length = static_cast<std::int64_t>(file.size());
  if (length <= 10) return result;
  // Maps over a million bytes are scanned from nine tenths of their length (rounded
  // down), and from their start again when that finds nothing.
  const std::int64_t lastTenth = length > 1'000'000 ? length * 9 / 10 : 0;
  // No probe can find a key that is not there: without one in a large file's last
  // tenth, its (quadratic) passes are skipped, uncounted.
  if (lastTenth == 0 || file.find("worldspawn", static_cast<std::size_t>(lastTenth)) != std::string::npos) {
    ScanPasses(file, lastTenth, result);
  }
  if (!result.key && lastTenth > 0) ScanPasses(file, 0, result);
  return result;
}

}  // namespace kestrum::test
