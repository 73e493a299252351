#include "entity_text_check.h"

#include <optional>
#include <string>

#include "entity_parser.h"
#include "input_error.h"

namespace kestrum::cli {
namespace {

/** "line L, column C" of a byte of text, both counted from 1. */
std::string LineAndColumn(std::string_view text, std::size_t at) {
  const std::string_view before = text.substr(0, at);
  std::size_t line = 1;
  for (const char c : before) line += c == '\n' ? 1 : 0;
  const std::size_t lineStart = before.rfind('\n');
  const std::size_t column = lineStart == std::string_view::npos ? at + 1 : at - lineStart;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::optional<std::string_view> ClassnameOf(const ParsedEntity& entity) {
  for (const auto& [key, value] : entity.pairs) {
    if (key == "classname") return value;
  }
  return std::nullopt;
}

}  // namespace

void CheckEntityText(std::string_view text, bool worldspawnMayBeElsewhere) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
    throw CInputError(LineAndColumn(text, nul) + ": a NUL byte, where the engines would end the entities");
  }
  std::optional<EntityParseError> firstError;
  int entities = 0;
  bool worldFirst = false;
  const std::size_t stop = ParseEntityLump(
      text, 0,
      [&](const ParsedEntity& entity) {
        if (entity.index == 0) worldFirst = ClassnameOf(entity) == std::optional<std::string_view>("worldspawn");
        ++entities;
      },
      [&](const EntityParseError& error) {
        if (!firstError) firstError = error;
      });
  if (firstError) {
    throw CInputError(LineAndColumn(text, static_cast<std::size_t>(firstError->at)) + ": entity " +
                      std::to_string(firstError->index) + ": " + firstError->reason);
  }
  if (stop < text.size()) {
    throw CInputError(LineAndColumn(text, stop) + ": text that does not begin an entity (\"{\" expected)");
  }
  if (entities == 0) throw CInputError("the input holds no entity");
  if (!worldFirst && !worldspawnMayBeElsewhere) {
    throw CInputError(
        "the first entity is not the world (classname \"worldspawn\"), which engines need first; --force writes it "
        "all the same");
  }
}

}  // namespace kestrum::cli
