// Open BSP and Create list on arbitrary maps: the export succeeds (possibly stopping at
// an entity cut short, which it then reports), every record written is followed by its
// separator, and the list holds nothing else.
#include <cstdlib>

#include "fuzz_support.h"
#include "headless_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  static const test::TempDir folder;
  static const std::string listPath = folder.File("list.txt");
  CHeadlessDialog ui;
  const bool entitiesFound = ui.Open(fuzz::FileOf(fuzz::BytesOf(data, size))) == CommandOutcome::Done;
  const CommandOutcome outcome = ui.CreateList(listPath);
  if (outcome != CommandOutcome::Done && outcome != CommandOutcome::ListCutShort) std::abort();
  // A cut entity is reported in exactly one message; a whole export says nothing.
  if (ui.services.messages.size() != (outcome == CommandOutcome::ListCutShort ? 1U : 0U) + (entitiesFound ? 0U : 1U)) {
    std::abort();
  }

  const std::string list = test::ReadFile(listPath);
  const std::string separator = "}\r\n\r\n";
  if (!list.empty() && list.compare(list.size() - separator.size(), separator.size(), separator) != 0) std::abort();
  if (list.find('\0') != std::string::npos) std::abort();  // records are text
  return 0;
}
