#include "member_bytes.h"

#include <algorithm>
#include <atomic>

#include "block_cache.h"
#include "scratch_file.h"

namespace kestrum::sources {
namespace {

/** The memory all members held in memory share, whatever the number of workers. */
std::atomic<std::size_t> g_inMemory{0};

bool TakeMemory(std::size_t bytes) {
  std::size_t used = g_inMemory.load();
  do {
    if (used + bytes > CMemberBytes::kAllInMemory) return false;
  } while (!g_inMemory.compare_exchange_weak(used, used + bytes));
  return true;
}

void GiveBackMemory(std::size_t bytes) {
  g_inMemory -= bytes;
}

/** Bytes in memory that give their share of the members' memory back when they go. */
class CGrantedMemoryBytes final : public IByteSource {
 public:
  CGrantedMemoryBytes(std::string name, std::string bytes, std::size_t granted)
      : m_bytes(std::move(name), std::move(bytes)), m_granted(granted) {}
  ~CGrantedMemoryBytes() override { GiveBackMemory(m_granted); }
  CGrantedMemoryBytes(const CGrantedMemoryBytes&) = delete;
  CGrantedMemoryBytes& operator=(const CGrantedMemoryBytes&) = delete;

  const std::string& Name() const override { return m_bytes.Name(); }
  std::int64_t Size() const override { return m_bytes.Size(); }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override {
    return m_bytes.ReadAt(offset, out, count);
  }

 private:
  const CMemoryBytes m_bytes;
  const std::size_t m_granted;
};

}  // namespace

/** A scratch file read through a block cache: the map's reads are small and many. */
class CMemberBytes::CScratch final : public IByteSource {
 public:
  explicit CScratch(const std::string& name) : m_file(name) {}
  void Append(const char* data, std::size_t count) { m_file.Append(data, count); }
  void Finish() {
    m_file.FinishWriting();
    m_blocks = std::make_unique<CBlockCache>(m_file);
  }

  const std::string& Name() const override { return m_file.Name(); }
  std::int64_t Size() const override { return m_blocks->Size(); }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override {
    return m_blocks->ReadAt(offset, out, count);
  }

 private:
  CScratchFile m_file;
  std::unique_ptr<CBlockCache> m_blocks;
};

CMemberBytes::CMemberBytes(std::string name) : m_name(std::move(name)) {}

CMemberBytes::~CMemberBytes() {
  GiveBackMemory(m_granted);
}

void CMemberBytes::Append(const char* data, std::size_t count) {
  m_size += count;
  if (!m_scratch) {
    const std::size_t needed = m_memory.size() + count;
    // Memory is taken in steps, as the bytes come; past a member's share, or when the
    // members at hand hold all there is, the bytes move to a file.
    if (needed > m_granted) {
      constexpr std::size_t kGrantStep = std::size_t{1} << 20;
      const std::size_t step = needed > kMemberInMemory
                                   ? 0
                                   : std::min(std::max(needed - m_granted, kGrantStep), kMemberInMemory - m_granted);
      if (step != 0 && TakeMemory(step)) {
        m_granted += step;
        m_memory.reserve(m_granted);
      } else {
        m_scratch = std::make_unique<CScratch>(m_name);
        m_scratch->Append(m_memory.data(), m_memory.size());
        std::string().swap(m_memory);
        GiveBackMemory(m_granted);
        m_granted = 0;
      }
    }
  }
  if (m_scratch) {
    m_scratch->Append(data, count);
  } else {
    m_memory.append(data, count);
  }
}

std::shared_ptr<const IByteSource> CMemberBytes::Finish() {
  if (m_scratch) {
    m_scratch->Finish();
    return std::shared_ptr<const IByteSource>(std::move(m_scratch));
  }
  const std::size_t granted = m_granted;
  m_granted = 0;  // the bytes own their share now
  return std::make_shared<const CGrantedMemoryBytes>(m_name, std::move(m_memory), granted);
}

}  // namespace kestrum::sources
