// A map's bytes held for many commands, so that they need not open the file each time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file.h"

namespace kestrum {

/** Bytes of a map that the commands read as they read a file. */
class CMapBytes {
 public:
  virtual ~CMapBytes() = default;
  virtual std::int64_t Size() const = 0;
  /** Copies up to count bytes from offset into out; fewer at the end, none past it. Throws CFileException. */
  virtual std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const = 0;
};

/** Bytes that are all at hand: a map taken out of an archive. */
std::shared_ptr<const CMapBytes> BytesInMemory(std::string bytes);

/**
 * A map file opened once and read through a few blocks of 64 KiB that stay filled from
 * one command to the next: a search that presses once per entity reads each block of
 * the lump once, instead of opening the file and filling a buffer for every press. The
 * blocks are reused as the reading moves on, so memory stays small whatever the map's
 * size. The file stays open while the bytes live.
 */
class CMapFileBlocks final : public CMapBytes {
 public:
  /** Opens the map for reading, with the checks of every map (a regular file under 2 GiB). */
  explicit CMapFileBlocks(const std::string& path);
  CMapFileBlocks(const CMapFileBlocks&) = delete;
  CMapFileBlocks& operator=(const CMapFileBlocks&) = delete;

  std::int64_t Size() const override { return m_size; }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override;

 private:
  // Small blocks: each page of a block costs a fault when first written, and on some
  // virtual machines a fault costs microseconds; larger blocks only save reads of the
  // page cache, which are cheap.
  static constexpr std::size_t kBlockSize = std::size_t{64} << 10;
  static constexpr std::size_t kBlocksKept = 4;

  struct CachedBlock {
    std::int64_t index = -1;  ///< which block of the file it holds; -1: none yet
    std::uint64_t lastUse = 0;
    std::unique_ptr<char[]> bytes;
  };

  const char* Block(std::int64_t index) const;
  /** Reads length bytes at offset, all of them: throws when the file has become shorter. */
  void ReadWhole(std::int64_t offset, char* out, std::size_t length) const;

  std::string m_path;
  mutable CFile m_file;  ///< read past its own buffer: the blocks are the buffer
  std::int64_t m_size = 0;
  mutable std::vector<CachedBlock> m_blocks;
  mutable std::uint64_t m_uses = 0;
};

}  // namespace kestrum
