#include "entity_search.h"

#include <optional>

#include "record_tokens.h"

namespace kestrum {
namespace {

void ClearSlots(EntitySlots slots) {
  for (int n = 1; n <= kPairSlots; ++n) {
    slots.keys[n].clear();
    slots.values[n].clear();
  }
  for (int n = 1; n <= kFlagSlots; ++n) slots.flags[n].clear();
}

}  // namespace

bool SearchPress(const IByteSource& map, std::int32_t entityOffset, const CByteSearcher& text, SearchState& state,
                 SearchBuffers& buffers, EntitySlots slots) {
  const auto length = static_cast<std::int32_t>(map.Size());
  std::int32_t cursor = state.matchCount == 0 ? entityOffset : state.cursor;
  bool matched = false;
  std::int32_t foundOffset = 0;
  std::optional<std::int32_t> cutEntityOffset;
  while (cursor < length) {
    const StepResult read = ReadEntityWindow(map, cursor, buffers.window, buffers.record);
    const std::optional<EntityStep>& step = read.entity;
    if (!step) {
      cutEntityOffset = read.cutEntityOffset;
      break;
    }
    cursor = step->nextOffset;
    if (text.IsIn(buffers.record)) {
      matched = true;
      foundOffset = step->recordOffset;
      break;
    }
  }

  buffers.cutEntityOffset = cutEntityOffset;
  if (matched) {
    ++state.matchCount;
    state.cursor = cursor;
    state.foundOffset = foundOffset;
  } else {
    // The lump has been searched to its end, whether the entities ended or the file did:
    // the next press starts over at the first entity.
    state.cursor = entityOffset;
  }
  if (state.matchCount != 0) {
    ClearSlots(slots);
    if (matched) ShowRecordTokens(buffers.record, slots);
  }
  return matched;
}

}  // namespace kestrum
