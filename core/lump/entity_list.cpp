#include "entity_list.h"

namespace kestrum {

ListResult ListEntities(const IByteSource& map, std::int32_t entityOffset, EntityWindow& window, std::string& record,
                        const std::function<void(std::string_view)>& write) {
  // A record ends at its closing brace: a line break ends its line, and an empty line
  // follows, in the line ends of the system the list was first written for.
  constexpr std::string_view kEntityEnd = "\r\n\r\n";
  const auto length = static_cast<std::int32_t>(map.Size());
  ListResult result;
  for (std::int32_t offset = entityOffset; offset < length;) {
    const StepResult step = ReadEntityWindow(map, offset, window, record);
    if (!step.entity) {
      result.cutEntityOffset = step.cutEntityOffset;
      break;
    }
    write(record);
    write(kEntityEnd);
    ++result.written;
    offset = step.entity->nextOffset;
  }
  return result;
}

}  // namespace kestrum
