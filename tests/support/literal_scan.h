// The probe scan for "worldspawn" done literally, pass after pass: the reference that
// the linear locator must agree with. Quadratic when the key is absent; small files only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrum::test {

struct LiteralScanResult {
  std::optional<std::int32_t> key;  ///< offset of the key found
  std::int64_t passes = 0;
  std::int64_t probes = 0;
};

LiteralScanResult LiteralScan(const std::string& file);

}  // namespace kestrum::test
