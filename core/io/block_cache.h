// Reading a map through a few blocks that stay filled from one read to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "byte_source.h"
#include "file.h"

namespace kestrum {

/**
 * Bytes read through a few blocks of 64 KiB that stay filled from one read to the next:
 * a search that presses once per entity reads each block of the lump once, instead of
 * asking the system for every press. The blocks are reused as the reading moves on, so
 * memory stays small whatever the map's size. The bytes are as long as they were when
 * the cache was made; bytes that have become shorter or changed since are refused.
 */
class CBlockCache final : public IByteSource {
 public:
  /** Reads from under, which must outlive the cache. */
  explicit CBlockCache(const IByteSource& under);
  CBlockCache(const CBlockCache&) = delete;
  CBlockCache& operator=(const CBlockCache&) = delete;

  const std::string& Name() const override { return m_under.Name(); }
  std::int64_t Size() const override { return m_size; }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override;
  void ThrowIfChanged() const override { m_under.ThrowIfChanged(); }

 private:
  // Small blocks: each page of a block costs a fault when first written, and on some
  // virtual machines a fault costs microseconds; larger blocks only save reads of the
  // page cache, which are cheap.
  static constexpr std::size_t kBlockSize = std::size_t{64} << 10;
  static constexpr std::size_t kBlocksKept = 4;

  struct CachedBlock {
    std::int64_t index = -1;  ///< which block of the bytes it holds; -1: none yet
    std::uint64_t lastUse = 0;
    std::unique_ptr<char[]> bytes;
  };

  const char* Block(std::int64_t index) const;
  /** Reads length bytes at offset, all of them: throws when the bytes have become shorter or changed. */
  void ReadWhole(std::int64_t offset, char* out, std::size_t length) const;

  const IByteSource& m_under;
  const std::int64_t m_size;
  mutable std::vector<CachedBlock> m_blocks;
  mutable std::uint64_t m_uses = 0;
};

/** A map file opened for reading and held open while it is read, through a block cache. */
class CCachedMapFile final : public IByteSource {
 public:
  /** Opens the file for reading: an existing regular file. Throws CFileException. */
  explicit CCachedMapFile(const std::string& path);

  const std::string& Name() const override { return m_file.Name(); }
  std::int64_t Size() const override { return m_blocks.Size(); }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override {
    return m_blocks.ReadAt(offset, out, count);
  }
  void ThrowIfChanged() const override { m_blocks.ThrowIfChanged(); }

 private:
  CFile m_file;
  CBlockCache m_blocks;
};

}  // namespace kestrum
