#include "output.h"

#include <array>
#include <cstdio>
#include <ostream>

namespace kestrum::cli {
namespace {

/** The dialog's label over each flag slot. */
const char* SlotLabel(int slot) {
  static const std::array<const char*, CEntityDlg::kFlagSlots + 1> kLabels{
      "",           "Spawnflags", "Spawnflags", "Spawnflags", "Spawnflags", "Spawnflags", "Spawnflags",
      "Spawnflags", "Spawnflags", "Spawnflags", "Easy",       "Medium",     "Difficult"};
  return kLabels[slot];
}

template <std::size_t N>
void WriteJsonArray(std::ostream& out, const std::array<std::string, N>& slots) {
  out << '[';
  for (std::size_t n = 1; n < N; ++n) out << (n > 1 ? ", " : "") << JsonByteString(slots[n]);
  out << ']';
}

}  // namespace

std::string JsonByteString(const std::string& bytes) {
  std::string json = "\"";
  for (const char signedByte : bytes) {
    const auto byte = static_cast<unsigned char>(signedByte);
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += static_cast<char>(byte);
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      json += escape;
    } else if (byte < 0x80) {
      json += static_cast<char>(byte);
    } else {  // U+0080 to U+00FF in UTF-8
      json += static_cast<char>(0xC0 | (byte >> 6));
      json += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return json + '"';
}

void WriteJsonPress(std::ostream& out, int press, const CEntityDlg& record) {
  out << "{\"press\": " << press << ", \"matchCount\": " << record.m_matchCount << ", \"cursor\": " << record.m_cursor
      << ", \"keys\": ";
  WriteJsonArray(out, record.m_keys);
  out << ", \"values\": ";
  WriteJsonArray(out, record.m_values);
  out << ", \"flags\": ";
  WriteJsonArray(out, record.m_flags);
  out << "}\n";
}

void WriteFoundEntity(std::ostream& out, int press, const CEntityDlg& record) {
  out << "press " << press << ": entity at offset " << record.m_foundOffset << '\n';
  int lastPair = 0;
  for (int n = 1; n <= CEntityDlg::kPairSlots; ++n) {
    if (!record.m_keys[n].empty() || !record.m_values[n].empty()) lastPair = n;
  }
  for (int n = 1; n <= lastPair; ++n) {
    out << "  \"" << record.m_keys[n] << "\" \"" << record.m_values[n] << "\"\n";
  }
  std::string flags;
  for (int slot = 1; slot <= CEntityDlg::kFlagSlots; ++slot) {
    if (record.m_flags[slot].empty()) continue;
    flags += (flags.empty() ? "" : ", ") + record.m_flags[slot];
    if (slot > 9) flags += std::string(" (") + SlotLabel(slot) + ")";
  }
  if (!flags.empty()) out << "  flags: " << flags << '\n';
}

void WriteFlagSlots(std::ostream& out, const CEntityDlg& record) {
  for (int slot = 1; slot <= CEntityDlg::kFlagSlots; ++slot) {
    if (!record.m_flags[slot].empty()) {
      out << "slot " << slot << " (" << SlotLabel(slot) << "): " << record.m_flags[slot] << '\n';
    }
  }
}

}  // namespace kestrum::cli
