// What the lump's readers read: bytes at offsets, from a file, a block cache or memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kestrum {

/**
 * A map's bytes, read at any offset. The readers of the lump know nothing of where the
 * bytes come from: a file on disk, a member taken out of an archive, or a test's string.
 */
class IByteSource {
 public:
  virtual ~IByteSource() = default;
  /** How messages name the bytes: a path, or ARCHIVE:MEMBER. */
  virtual const std::string& Name() const = 0;
  virtual std::int64_t Size() const = 0;
  /**
   * Copies up to count bytes from offset into out; fewer only where the bytes end, none
   * at or past their end. Throws CInputError when the bytes cannot be read.
   */
  virtual std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const = 0;
  /**
   * Throws CInputError when the bytes are no longer those there were when they were
   * opened: a file written, cut or regrown since. Bytes in memory never change.
   */
  virtual void ThrowIfChanged() const {}
};

/** Bytes that are all at hand: a map taken out of an archive, or a test's map. */
class CMemoryBytes final : public IByteSource {
 public:
  CMemoryBytes(std::string name, std::string bytes) : m_name(std::move(name)), m_bytes(std::move(bytes)) {}
  const std::string& Name() const override { return m_name; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(m_bytes.size()); }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override;

 private:
  const std::string m_name;
  const std::string m_bytes;
};

inline std::shared_ptr<const IByteSource> BytesInMemory(std::string name, std::string bytes) {
  return std::make_shared<const CMemoryBytes>(std::move(name), std::move(bytes));
}

}  // namespace kestrum
