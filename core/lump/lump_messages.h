// What the readers of the lump have found, worded for the user: the dialog shows these
// in message boxes, the command line on standard error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum::messages {

/** A map in which the locator found no entity. */
inline constexpr std::string_view kNoEntities = "There is no entities available in this file";

/** After an export that stopped at an entity with no closing brace. */
inline std::string CutEntityMessage(std::int32_t offset, int entitiesListed) {
  const std::string listed = entitiesListed == 0 ? "The list is empty: no entity stands before it."
                                                 : "The list holds the " + std::to_string(entitiesListed) +
                                                       (entitiesListed == 1 ? " entity" : " entities") + " before it.";
  return "The entity at offset " + std::to_string(offset) +
         " ends before its closing brace, so the entities of this map end there. " + listed;
}

/** After a search press that ran into an entity with no closing brace. */
inline std::string CutEntitySearchMessage(std::int32_t offset) {
  return "The entity at offset " + std::to_string(offset) +
         " ends before its closing brace, so the entities of this map end there: the search did not look past it.";
}

}  // namespace kestrum::messages
