#include "output.h"

#include "dialog_templates.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>

namespace kestrum::cli {
namespace {


/** The shown slots 1 to N-1 as a JSON array. */
template <std::size_t N>
void AppendJsonArray(std::string& json, const std::array<std::string, N>& slots) {
  json += '[';
  for (std::size_t n = 1; n < N; ++n) {
    if (n > 1) json += ", ";
    AppendJsonByteString(json, slots[n]);
  }
  json += ']';
}

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

/** EscapeControls, appended to out: most texts have nothing to escape. */
void AppendEscaped(std::string& out, std::string_view bytes) {
  if (std::none_of(bytes.begin(), bytes.end(), [](char byte) { return IsControl(static_cast<unsigned char>(byte)); })) {
    out += bytes;
  } else {
    out += EscapeControls(bytes);
  }
}

}  // namespace

void AppendJsonByteString(std::string& json, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  json += '"';
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += static_cast<char>(byte);
    } else if (IsControl(byte)) {
      json += "\\u00";
      json += kHex[byte >> 4];
      json += kHex[byte & 0xF];
    } else if (byte < 0x80) {
      json += static_cast<char>(byte);
    } else {  // U+0080 to U+00FF in UTF-8
      json += static_cast<char>(0xC0 | (byte >> 6));
      json += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  json += '"';
}

std::string JsonByteString(std::string_view bytes) {
  std::string json;
  json.reserve(bytes.size() + 2);
  AppendJsonByteString(json, bytes);
  return json;
}

std::string EscapeControls(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    if (!IsControl(byte)) {
      text += signedByte;
    } else if (byte == '\n') {
      text += "\\n";
    } else if (byte == '\r') {
      text += "\\r";
    } else if (byte == '\t') {
      text += "\\t";
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      text += escape;
    }
  }
  return text;
}

void AppendJsonPress(std::string& out, int press, const CEntityDlg& record, std::string_view mapName) {
  out += '{';
  if (!mapName.empty()) {
    out += "\"map\": ";
    AppendJsonByteString(out, mapName);
    out += ", ";
  }
  out.append("\"press\": ").append(std::to_string(press));
  out.append(", \"matchCount\": ").append(std::to_string(record.m_matchCount));
  out.append(", \"cursor\": ").append(std::to_string(record.m_cursor));
  out += ", \"keys\": ";
  AppendJsonArray(out, record.m_keys);
  out += ", \"values\": ";
  AppendJsonArray(out, record.m_values);
  out += ", \"flags\": ";
  AppendJsonArray(out, record.m_flags);
  out += "}\n";
}

void AppendFoundEntity(std::string& out, int press, const CEntityDlg& record, std::string_view linePrefix) {
  out.append(linePrefix).append("press ").append(std::to_string(press));
  out.append(": entity at offset ").append(std::to_string(record.m_foundOffset)) += '\n';
  int lastPair = 0;
  for (int n = 1; n <= CEntityDlg::kPairSlots; ++n) {
    if (!record.m_keys[n].empty() || !record.m_values[n].empty()) lastPair = n;
  }
  for (int n = 1; n <= lastPair; ++n) {
    out.append(linePrefix).append("  \"");
    AppendEscaped(out, record.m_keys[n]);
    out += "\" \"";
    AppendEscaped(out, record.m_values[n]);
    out += "\"\n";
  }
  bool anyFlag = false;
  for (int slot = 1; slot <= CEntityDlg::kFlagSlots; ++slot) {
    if (record.m_flags[slot].empty()) continue;
    out.append(anyFlag ? ", " : std::string_view(linePrefix)).append(anyFlag ? "" : "  flags: ");
    out += record.m_flags[slot];
    if (slot > 9) out.append(" (").append(res::FlagSlotCaption(slot)) += ')';
    anyFlag = true;
  }
  if (anyFlag) out += '\n';
}

void WriteFlagSlots(std::ostream& out, const CEntityDlg& record) {
  for (int slot = 1; slot <= CEntityDlg::kFlagSlots; ++slot) {
    if (!record.m_flags[slot].empty()) {
      out << "slot " << slot << " (" << res::FlagSlotCaption(slot) << "): " << record.m_flags[slot] << '\n';
    }
  }
}

void AppendEntityJson(std::string& out, std::string_view mapName, const ParsedEntity& entity) {
  out += "{\"map\": ";
  AppendJsonByteString(out, mapName);
  out += ", \"offset\": ";
  out += std::to_string(entity.offset);
  out += ", \"index\": ";
  out += std::to_string(entity.index);
  out += ", \"pairs\": [";
  bool first = true;
  for (const auto& [key, value] : entity.pairs) {
    out += first ? "[" : ", [";
    first = false;
    AppendJsonByteString(out, key);
    out += ", ";
    AppendJsonByteString(out, value);
    out += ']';
  }
  out += "]}\n";
}

}  // namespace kestrum::cli
