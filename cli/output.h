// How kestrum-cli prints what the dialog would show.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "entity_parser.h"
#include "entity_slots.h"
#include "map_text.h"
#include "shown_press.h"
#include "text_buffer.h"

namespace kestrum::cli {

/**
 * A JSON string of map bytes, each byte one character of the encoding, so every byte
 * survives and comes back through the same code page.
 */
std::string JsonMapText(std::string_view bytes, MapEncoding encoding);

/**
 * Map bytes for a line of text output, as the encoding's characters in UTF-8: line
 * breaks, tabs and the other control characters (C1 too) written as \n, \r, \t and
 * \xNN, so that no value can start a line of its own.
 */
std::string EscapeMapText(std::string_view bytes, MapEncoding encoding);

/** A name the system gave (a path, ARCHIVE:MEMBER) as a JSON string: bytes that are not UTF-8 become U+FFFD. */
std::string JsonName(std::string_view name);

/**
 * A name the system gave, or a text the user typed, for a line of text output: UTF-8 as
 * it is; control characters and bytes that are not UTF-8 written as \n, \r, \t and \xNN.
 */
std::string EscapeName(std::string_view name);

/**
 * One line: {"press": i, "matchCount": m, "cursor": c, "keys": [...], "values": [...], "flags": [...]},
 * with "map" first when mapName is not empty.
 */
void AppendJsonPress(CTextBuffer& json, int press, const ShownPress& shown, MapEncoding encoding,
                     std::string_view mapName = {});

/** The entity a press found: its offset, its pairs and its decoded flags; each line begins with linePrefix. */
void AppendFoundEntity(CTextBuffer& text, int press, const ShownPress& shown, MapEncoding encoding,
                       std::string_view linePrefix = {});

/** The filled flag slots, one per line: "slot 10 (Easy): 256". */
void WriteFlagSlots(std::ostream& out, const FlagSlots& flags);

/** One line: {"map": ..., "offset": N, "index": i, "pairs": [["classname", "light"], ...]}. */
void AppendEntityJson(CTextBuffer& json, std::string_view mapName, const ParsedEntity& entity, MapEncoding encoding);

}  // namespace kestrum::cli
