#include "locator.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "byte_search.h"
#include "format_keys.h"

namespace kestrum {
namespace {

constexpr std::int64_t kKeyLength = static_cast<std::int64_t>(keys::kWorldspawn.size());
constexpr std::int64_t kProbeSize = 64;
constexpr std::int64_t kProbeStep = kProbeSize - kKeyLength;  // 54
constexpr std::int64_t kPassShift = 2;
// Passes whose start offsets are 54 bytes apart read the same probe offsets, so the
// first pass to read an offset is its pass index modulo 27.
constexpr std::int64_t kPassCycle = kProbeStep / kPassShift;  // 27
constexpr std::int64_t kLookBackSize = static_cast<std::int64_t>(std::tuple_size_v<LookBackWindow>);
constexpr char kOpeningBrace = '{';
constexpr std::int64_t kMaxLookBack = 1 << 20;

/** Keeps the probe that the literal scan would read first among those that find a key. */
class FirstFindingProbe {
 public:
  FirstFindingProbe(std::int64_t scanStart, std::int64_t length) : m_scanStart(scanStart), m_length(length) {}

  /**
   * The probes at offsets lowest to key (of the scan's parity) find the key at key.
   * Keys come in ascending order, so an equal pass never replaces a find.
   */
  void Offer(std::int64_t lowest, std::int64_t key) {
    if ((lowest - m_scanStart) % 2 != 0) ++lowest;
    for (std::int64_t probe = lowest; probe <= key; probe += kPassShift) {
      const std::int64_t index = (probe - m_scanStart) / kPassShift;
      // A probe no later than L - 74 follows one that did not end its pass; later
      // probes are read only as the first probe of a pass, and only if that pass runs.
      const bool chained = probe <= m_length - (2 * kProbeSize - kProbeStep);
      const std::int64_t pass = chained ? index % kPassCycle : index;
      const bool passRuns = chained || index == 0 || probe + kKeyLength < m_length;
      if (passRuns && (!m_key || pass < m_pass)) {
        m_pass = pass;
        m_key = key;
      }
    }
  }

  /** No later probe can be read in an earlier pass than the best one found. */
  bool IsFinal() const { return m_key && m_pass == 0; }
  std::optional<std::int64_t> Key() const { return m_key; }

 private:
  const std::int64_t m_scanStart;
  const std::int64_t m_length;
  std::optional<std::int64_t> m_key;
  std::int64_t m_pass = 0;
};

}  // namespace

std::int32_t ScanStart(std::int32_t length) {
  if (length <= kLargeFileThreshold) return 0;
  return static_cast<std::int32_t>(9 * static_cast<std::int64_t>(length) / 10);
}

namespace {

/** The probe scan of the passes that start at scanStart, scanStart + 2, ... */
std::optional<std::int32_t> ScanPassesFrom(const IByteSource& map, std::int32_t length, std::int64_t scanStart) {
  FirstFindingProbe best(scanStart, length);

  // The bytes kept from one block to the next: the 54 in front of a key, which decide
  // whether a NUL hides it, and a key's first 9 bytes that may end a block.
  constexpr std::size_t kCarry = kProbeStep + kKeyLength - 1;
  const std::size_t block = std::min<std::size_t>(1 << 20, static_cast<std::size_t>(length - scanStart));
  std::vector<char> buffer(kCarry + block);
  std::size_t held = 0;
  std::int64_t bufferStart = scanStart;  // file offset of buffer[0]
  std::int64_t searchFrom = scanStart;   // first offset where a key may still begin
  std::int64_t previousKey = scanStart - kKeyLength;

  const CByteSearcher keySearch(keys::kWorldspawn);
  for (;;) {
    const std::int64_t readFrom = bufferStart + static_cast<std::int64_t>(held);
    const std::int64_t unread = length - readFrom;
    const std::size_t got =
        unread > 0 ? map.ReadAt(readFrom, buffer.data() + held, std::min<std::size_t>(block, unread)) : 0;
    held += got;

    const char* const data = buffer.data();
    const char* cursor = data + (searchFrom - bufferStart);
    const char* const end = data + held;
    for (;;) {
      const std::size_t hit = keySearch.FindIn({cursor, static_cast<std::size_t>(end - cursor)});
      if (hit == std::string_view::npos) break;
      const char* const keyAt = cursor + hit;
      const std::int64_t key = bufferStart + (keyAt - data);
      // Probes from here on hold no earlier key and end no sooner than the key does.
      const std::int64_t lowest = std::max({key - kProbeStep, scanStart, previousKey + 1});
      const char* const from = data + (lowest - bufferStart);
      const char* const nul = FindLastByte(from, keyAt, '\0');
      const std::int64_t visibleFrom = nul ? bufferStart + (nul - data) + 1 : lowest;
      best.Offer(visibleFrom, key);
      if (best.IsFinal()) break;
      previousKey = key;
      cursor = keyAt + kKeyLength;
    }
    if (best.IsFinal() || got == 0) break;

    const std::int64_t bufferEnd = bufferStart + static_cast<std::int64_t>(held);
    searchFrom = std::max(bufferEnd - (kKeyLength - 1), previousKey + kKeyLength);
    const std::size_t keep = std::min(held, kCarry);
    std::memmove(buffer.data(), buffer.data() + held - keep, keep);
    bufferStart = bufferEnd - static_cast<std::int64_t>(keep);
    held = keep;
  }
  if (const auto key = best.Key()) return static_cast<std::int32_t>(*key);
  return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> ScanForKey(const IByteSource& map) {
  const auto length = static_cast<std::int32_t>(map.Size());
  if (length <= kKeyLength) return std::nullopt;
  const std::int32_t scanStart = ScanStart(length);
  const std::optional<std::int32_t> key = ScanPassesFrom(map, length, scanStart);
  // Some compilers write the entity lump right after the header, where the scan of a
  // large file's last tenth cannot see it. Rather than say the map has no entities,
  // scan the whole file as a small one is scanned.
  if (key || scanStart == 0) return key;
  return ScanPassesFrom(map, length, 0);
}

std::optional<std::int32_t> LookBackForBrace(const IByteSource& map, std::int32_t keyOffset, LookBackWindow& window) {
  // The window holds the bytes in front of the key; all of them count, NUL bytes too.
  const std::int64_t windowStart = std::max<std::int64_t>(0, keyOffset - kLookBackSize);
  const auto windowLength = static_cast<std::size_t>(keyOffset - windowStart);
  const std::size_t got = map.ReadAt(windowStart, window.data(), windowLength);
  if (const void* brace = std::memchr(window.data(), kOpeningBrace, got)) {
    return static_cast<std::int32_t>(windowStart + (static_cast<const char*>(brace) - window.data()));
  }
  // A long value (a worldspawn's "wad" list) can put the brace further back: take the
  // nearest one in front of the window, as far back as an entity may be long. Further
  // back the key is no entity's; looking on would read a huge file backwards for nothing.
  std::vector<char> block(std::size_t{64} * 1024);
  const std::int64_t searchStart = std::max<std::int64_t>(0, windowStart - kMaxLookBack);
  for (std::int64_t blockEnd = windowStart; blockEnd > searchStart;) {
    const std::int64_t blockStart =
        std::max<std::int64_t>(searchStart, blockEnd - static_cast<std::int64_t>(block.size()));
    const std::size_t read = map.ReadAt(blockStart, block.data(), static_cast<std::size_t>(blockEnd - blockStart));
    if (const char* brace = FindLastByte(block.data(), block.data() + read, kOpeningBrace)) {
      return static_cast<std::int32_t>(blockStart + (brace - block.data()));
    }
    blockEnd = blockStart;
  }
  return std::nullopt;
}

std::optional<std::int32_t> LocateEntityLump(const IByteSource& map, LookBackWindow& window) {
  const std::optional<std::int32_t> key = ScanForKey(map);
  // A key at offset 0 has nothing in front of it, so no entity can open before it.
  if (!key || *key == 0) return std::nullopt;
  return LookBackForBrace(map, *key, window);
}

}  // namespace kestrum
