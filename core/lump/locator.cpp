#include "locator.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "byte_search.h"
#include "format_keys.h"

namespace kestrum {
namespace {

constexpr std::int64_t kKeyLength = static_cast<std::int64_t>(keys::kWorldspawn.size());
constexpr std::int64_t kLookBackSize = static_cast<std::int64_t>(std::tuple_size_v<LookBackWindow>);
constexpr char kOpeningBrace = '{';
constexpr char kQuote = '"';
constexpr std::int64_t kMaxLookBack = 1 << 20;
constexpr std::size_t kScanBlock = std::size_t{1} << 20;

/** The first quoted key of [rangeStart, length), else its first bare key, else nothing. */
std::optional<std::int64_t> FindKeyInRange(const IByteSource& map, std::int64_t length, std::int64_t rangeStart) {
  // A key's quotes are the bytes on either side of it: the byte in front of a key that
  // begins a block is kept from the block before, and a key whose following byte is not
  // read yet waits for the next block.
  constexpr std::size_t kCarry = kKeyLength + 1;
  const std::size_t block = std::min<std::size_t>(kScanBlock, static_cast<std::size_t>(length - rangeStart));
  std::vector<char> buffer(kCarry + block);
  std::size_t held = 0;
  std::int64_t bufferStart = rangeStart;  // file offset of buffer[0]
  std::int64_t searchFrom = rangeStart;   // first offset where a key may still begin
  std::optional<std::int64_t> firstBare;

  const CByteSearcher keySearch(keys::kWorldspawn);
  for (;;) {
    const std::int64_t readFrom = bufferStart + static_cast<std::int64_t>(held);
    const std::int64_t unread = length - readFrom;
    const std::size_t got =
        unread > 0 ? map.ReadAt(readFrom, buffer.data() + held, std::min<std::size_t>(block, unread)) : 0;
    held += got;
    const bool rangeRead = readFrom + static_cast<std::int64_t>(got) >= length || got == 0;

    const char* const data = buffer.data();
    // Until the range is read, a key must leave room for the byte after it.
    const char* const end = data + held - (rangeRead ? 0 : 1);
    for (const char* cursor = data + (searchFrom - bufferStart); cursor < end;) {
      const std::size_t hit = keySearch.FindIn({cursor, static_cast<std::size_t>(end - cursor)});
      if (hit == std::string_view::npos) break;
      const char* const keyAt = cursor + hit;
      const std::int64_t key = bufferStart + (keyAt - data);
      const bool quoteBefore = key > rangeStart && keyAt[-1] == kQuote;
      const bool quoteAfter = keyAt + kKeyLength < data + held && keyAt[kKeyLength] == kQuote;
      if (quoteBefore && quoteAfter) return key;
      if (!firstBare) firstBare = key;
      cursor = keyAt + kKeyLength;
    }
    if (rangeRead) return firstBare;

    const std::int64_t bufferEnd = bufferStart + static_cast<std::int64_t>(held);
    searchFrom = std::max(searchFrom, bufferEnd - kKeyLength);
    const std::size_t keep = std::min(held, kCarry);
    std::memmove(buffer.data(), buffer.data() + held - keep, keep);
    bufferStart = bufferEnd - static_cast<std::int64_t>(keep);
    held = keep;
  }
}

}  // namespace

std::int32_t ScanStart(std::int32_t length) {
  if (length <= kLargeFileThreshold) return 0;
  return static_cast<std::int32_t>(9 * static_cast<std::int64_t>(length) / 10);
}

std::optional<std::int32_t> ScanForKey(const IByteSource& map) {
  const auto length = static_cast<std::int32_t>(map.Size());
  if (length <= kKeyLength) return std::nullopt;
  const std::int32_t scanStart = ScanStart(length);
  std::optional<std::int64_t> key = FindKeyInRange(map, length, scanStart);
  // Some compilers write the entity lump right after the header, where the scan of a
  // large file's last tenth cannot see it. Rather than say the map has no entities,
  // scan the whole file as a small one is scanned.
  if (!key && scanStart != 0) key = FindKeyInRange(map, length, 0);
  if (!key) return std::nullopt;
  return static_cast<std::int32_t>(*key);
}

std::optional<std::int32_t> LookBackForBrace(const IByteSource& map, std::int32_t keyOffset, LookBackWindow& window) {
  // The window holds the bytes in front of the key; all of them count, NUL bytes too. The
  // nearest brace is the key's own entity's: a 0x7B byte of the header or of padding in
  // front of the lump stands further back.
  const std::int64_t windowStart = std::max<std::int64_t>(0, keyOffset - kLookBackSize);
  const auto windowLength = static_cast<std::size_t>(keyOffset - windowStart);
  const std::size_t got = map.ReadAt(windowStart, window.data(), windowLength);
  if (const char* brace = FindLastByte(window.data(), window.data() + got, kOpeningBrace)) {
    return static_cast<std::int32_t>(windowStart + (brace - window.data()));
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
