#include "block_cache.h"

#include <algorithm>
#include <cstring>

namespace kestrum {
namespace {

const CFile& OpenedForReading(CFile& file, const std::string& path) {
  file.Open(path, CFile::Mode::Read);
  return file;
}

}  // namespace

CBlockCache::CBlockCache(const IByteSource& under) : m_under(under), m_size(under.Size()) {
  m_blocks.resize(kBlocksKept);
}

CCachedMapFile::CCachedMapFile(const std::string& path) : m_blocks(OpenedForReading(m_file, path)) {}

const char* CBlockCache::Block(std::int64_t index) const {
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

void CBlockCache::ReadWhole(std::int64_t offset, char* out, std::size_t length) const {
  if (m_under.ReadAt(offset, out, length) < length) {
    throw CInputError(m_under.Name(), "the file became shorter while it was read");
  }
  // A file cut and regrown before the reading reaches a block is as long as before, and
  // its new bytes (NUL bytes where it was only regrown) would pass for the map's: a NUL
  // ends the entities as the lump's end does, and a list would end there without a word.
  m_under.ThrowIfChanged();
}

std::size_t CBlockCache::ReadAt(std::int64_t offset, char* out, std::size_t count) const {
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
