#include "map_bytes.h"

#include <algorithm>
#include <cstring>

#include "map_file.h"

namespace kestrum {
namespace {

class CBytesInMemory final : public CMapBytes {
 public:
  explicit CBytesInMemory(std::string bytes) : m_bytes(std::move(bytes)) {}
  std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override {
    if (offset >= Size()) return 0;
    const std::size_t got = std::min(count, static_cast<std::size_t>(Size() - offset));
    std::memcpy(out, m_bytes.data() + offset, got);
    return got;
  }

 private:
  const std::string m_bytes;
};

}  // namespace

std::shared_ptr<const CMapBytes> BytesInMemory(std::string bytes) {
  return std::make_shared<CBytesInMemory>(std::move(bytes));
}

CMapFileBlocks::CMapFileBlocks(const std::string& path) : m_path(path) {
  // Opened as any map is, so the same refusals apply; the file then stays open.
  m_size = OpenMapForReading(m_file, path);
  m_blocks.resize(kBlocksKept);
}

const char* CMapFileBlocks::Block(std::int64_t index) const {
  ++m_uses;
  CachedBlock* leastRecent = &m_blocks.front();
  for (CachedBlock& block : m_blocks) {
    if (block.index == index) {
      block.lastUse = m_uses;
      return block.bytes.get();
    }
    if (block.lastUse < leastRecent->lastUse) leastRecent = &block;
  }
  CachedBlock& block = *leastRecent;
  block.index = -1;                                           // until it holds the whole block
  if (!block.bytes) block.bytes.reset(new char[kBlockSize]);  // not zeroed: every byte is read over
  const std::int64_t start = index * static_cast<std::int64_t>(kBlockSize);
  const auto length = static_cast<std::size_t>(std::min<std::int64_t>(kBlockSize, m_size - start));
  ReadWhole(start, block.bytes.get(), length);
  block.index = index;
  block.lastUse = m_uses;
  return block.bytes.get();
}

void CMapFileBlocks::ReadWhole(std::int64_t offset, char* out, std::size_t length) const {
  // Past the file object's own buffer, which would keep bytes the file no longer has.
  if (m_file.ReadUnbuffered(offset, out, length) < length) {
    throw CFileException(m_path, "the file became shorter while it was read");
  }
}

std::size_t CMapFileBlocks::ReadAt(std::int64_t offset, char* out, std::size_t count) const {
  if (count >= kBlockSize) {
    // A read as large as a block (the locator's scan) is read straight from the file: it
    // would fill every block kept and copy the bytes twice, and it leaves nothing that the
    // next reads would find again. Like the blocks, it gives the map as long as it was
    // when it was opened.
    if (offset >= m_size) return 0;
    const auto length =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), m_size - offset));
    ReadWhole(offset, out, length);
    return length;
  }
  std::size_t done = 0;
  while (done < count && offset < m_size) {
    const std::int64_t index = offset / static_cast<std::int64_t>(kBlockSize);
    const std::size_t within = static_cast<std::size_t>(offset) % kBlockSize;
    const std::size_t take = std::min({count - done, kBlockSize - within, static_cast<std::size_t>(m_size - offset)});
    std::memcpy(out + done, Block(index) + within, take);
    done += take;
    offset += static_cast<std::int64_t>(take);
  }
  return done;
}

}  // namespace kestrum
