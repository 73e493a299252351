// How kestrum-cli prints what the dialog would show.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "entity_parser.h"
#include "entity_slots.h"
#include "shown_press.h"
#include "text_buffer.h"

namespace kestrum::cli {

/**
 * A JSON string of the bytes, each byte written as the code point of the same value
 * (Latin-1 read as Unicode), so every byte survives and scripts can compare it.
 */
std::string JsonByteString(std::string_view bytes);

/**
 * Bytes for a line of text output: line breaks, tabs and the other control characters
 * written as \n, \r, \t and \xNN, so that no value can start a line of its own.
 */
std::string EscapeControls(std::string_view bytes);

/**
 * One line: {"press": i, "matchCount": m, "cursor": c, "keys": [...], "values": [...], "flags": [...]},
 * with "map" first when mapName is not empty.
 */
void AppendJsonPress(CTextBuffer& json, int press, const ShownPress& shown, std::string_view mapName = {});

/** The entity a press found: its offset, its pairs and its decoded flags; each line begins with linePrefix. */
void AppendFoundEntity(CTextBuffer& text, int press, const ShownPress& shown, std::string_view linePrefix = {});

/** The filled flag slots, one per line: "slot 10 (Easy): 256". */
void WriteFlagSlots(std::ostream& out, const FlagSlots& flags);

/** One line: {"map": ..., "offset": N, "index": i, "pairs": [["classname", "light"], ...]}. */
void AppendEntityJson(CTextBuffer& json, std::string_view mapName, const ParsedEntity& entity);

}  // namespace kestrum::cli
