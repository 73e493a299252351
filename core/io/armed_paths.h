// The paths a signal handler removes: storage it can read without allocating or locking.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <string>

namespace kestrum {

/**
 * A few paths (of Char, the system's path characters) that an interrupted process
 * removes on its way out. Arm and Disarm may run on any thread; ForEachArmed runs in the
 * handler, which only reads slots that are fully written.
 */
template <typename Char, std::size_t MaxPath, std::size_t Slots = 16>
class CArmedPaths {
 public:
  /** The slot now holding path, or -1 when the path is too long or every slot is taken. */
  int Arm(const std::basic_string<Char>& path) {
    if (path.size() >= MaxPath) return -1;
    for (std::size_t n = 0; n < Slots; ++n) {
      int expected = kFree;
      if (m_slots[n].state.compare_exchange_strong(expected, kChanging)) {
        path.copy(m_slots[n].path, path.size());
        m_slots[n].path[path.size()] = Char{};
        m_slots[n].state.store(kArmed);
        return static_cast<int>(n);
      }
    }
    return -1;
  }

  void Disarm(int slot) {
    if (slot >= 0) m_slots[static_cast<std::size_t>(slot)].state.store(kFree);
  }

  template <typename Remove>
  void ForEachArmed(Remove remove) const {
    for (const Slot& slot : m_slots) {
      if (slot.state.load() == kArmed) remove(slot.path);
    }
  }

 private:
  enum SlotState : int { kFree, kChanging, kArmed };

  struct Slot {
    std::atomic<int> state{kFree};
    Char path[MaxPath]{};
  };

  std::array<Slot, Slots> m_slots;
};

}  // namespace kestrum
