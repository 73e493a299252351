// How kestrum-cli prints what the dialog would show.
#pragma once

#include <iosfwd>
#include <string>

#include "entity_dlg.h"

namespace kestrum::cli {

/**
 * A JSON string of the bytes, each byte written as the code point of the same value
 * (Latin-1 read as Unicode), so every byte survives and scripts can compare it.
 */
std::string JsonByteString(const std::string& bytes);

/** One line: {"press": i, "matchCount": m, "cursor": c, "keys": [...], "values": [...], "flags": [...]} */
void WriteJsonPress(std::ostream& out, int press, const CEntityDlg& record);

/** The entity a press found: its offset, its pairs and its decoded flags. */
void WriteFoundEntity(std::ostream& out, int press, const CEntityDlg& record);

/** The filled flag slots, one per line: "slot 10 (Easy): 256". */
void WriteFlagSlots(std::ostream& out, const CEntityDlg& record);

}  // namespace kestrum::cli
