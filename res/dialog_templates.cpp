// The dialogs' templates, one control a line as the resource script has them (the tables
// are kept out of the formatter's reach for that).
#include "dialog_templates.h"

#include "resource.h"
#include "version.h"

namespace kestrum::res {
namespace {

constexpr std::string_view kSpawnflags = "Spawnflags";
constexpr std::string_view kEasy = "Easy";
constexpr std::string_view kMedium = "Medium";
constexpr std::string_view kDifficult = "Difficult";

}  // namespace

std::string_view FlagSlotCaption(int slot) {
  switch (slot) {
    case 10: return kEasy;
    case 11: return kMedium;
    case 12: return kDifficult;
    default: return slot >= 1 && slot <= 9 ? kSpawnflags : std::string_view();
  }
}

const DialogTemplate& MainDialogTemplate() {
  // clang-format off
  static const DialogTemplate kMain{IDD_MAIN, "Kestrum", "MS Sans Serif", 8, 528, 345, {
    {IDOK, ControlKind::DefPushButton, "OK", 470, 7, 50, 14, "IDOK"},
    {IDC_OPEN_BSP, ControlKind::PushButton, "Open BSP", 7, 7, 50, 14, "IDC_OPEN_BSP"},
    {IDC_CREATE_LIST, ControlKind::PushButton, "Create list", 68, 7, 50, 14, "IDC_CREATE_LIST"},
    {IDC_ANALYSE, ControlKind::PushButton, "Analyse Entity", 149, 7, 50, 14, "IDC_ANALYSE"},
    {IDC_SEARCH, ControlKind::EditBox, "", 202, 7, 123, 14, "IDC_SEARCH"},
    {1005, ControlKind::EditBox, "", 7, 37, 93, 13, "IDC_KEY1"},
    {IDC_STATIC, ControlKind::Label, "Key", 7, 26, 93, 8, "label_key_left"},
    {1006, ControlKind::EditBox, "", 105, 37, 146, 13, "IDC_VALUE1"},
    {IDC_STATIC, ControlKind::Label, "Value", 105, 26, 146, 8, "label_value_left"},
    {1007, ControlKind::EditBox, "", 7, 52, 93, 13, "IDC_KEY2"},
    {1008, ControlKind::EditBox, "", 105, 52, 146, 13, "IDC_VALUE2"},
    {1009, ControlKind::EditBox, "", 7, 67, 93, 13, "IDC_KEY3"},
    {1010, ControlKind::EditBox, "", 105, 67, 146, 13, "IDC_VALUE3"},
    {1011, ControlKind::EditBox, "", 7, 82, 93, 13, "IDC_KEY4"},
    {1012, ControlKind::EditBox, "", 105, 82, 146, 13, "IDC_VALUE4"},
    {1013, ControlKind::EditBox, "", 7, 97, 93, 13, "IDC_KEY5"},
    {1014, ControlKind::EditBox, "", 105, 97, 146, 13, "IDC_VALUE5"},
    {1015, ControlKind::EditBox, "", 7, 112, 93, 13, "IDC_KEY6"},
    {1016, ControlKind::EditBox, "", 105, 112, 146, 13, "IDC_VALUE6"},
    {1017, ControlKind::EditBox, "", 7, 127, 93, 13, "IDC_KEY7"},
    {1018, ControlKind::EditBox, "", 105, 127, 146, 13, "IDC_VALUE7"},
    {1019, ControlKind::EditBox, "", 7, 142, 93, 13, "IDC_KEY8"},
    {1020, ControlKind::EditBox, "", 105, 142, 146, 13, "IDC_VALUE8"},
    {1021, ControlKind::EditBox, "", 7, 157, 93, 13, "IDC_KEY9"},
    {1022, ControlKind::EditBox, "", 105, 157, 146, 13, "IDC_VALUE9"},
    {1023, ControlKind::EditBox, "", 7, 172, 93, 13, "IDC_KEY10"},
    {1024, ControlKind::EditBox, "", 105, 172, 146, 13, "IDC_VALUE10"},
    {1025, ControlKind::EditBox, "", 7, 187, 93, 13, "IDC_KEY11"},
    {1026, ControlKind::EditBox, "", 105, 187, 146, 13, "IDC_VALUE11"},
    {1027, ControlKind::EditBox, "", 7, 202, 93, 13, "IDC_KEY12"},
    {1028, ControlKind::EditBox, "", 105, 202, 146, 13, "IDC_VALUE12"},
    {1029, ControlKind::EditBox, "", 7, 217, 93, 13, "IDC_KEY13"},
    {1030, ControlKind::EditBox, "", 105, 217, 146, 13, "IDC_VALUE13"},
    {1031, ControlKind::EditBox, "", 7, 232, 93, 13, "IDC_KEY14"},
    {1032, ControlKind::EditBox, "", 105, 232, 146, 13, "IDC_VALUE14"},
    {1033, ControlKind::EditBox, "", 7, 247, 93, 13, "IDC_KEY15"},
    {1034, ControlKind::EditBox, "", 105, 247, 146, 13, "IDC_VALUE15"},
    {1035, ControlKind::EditBox, "", 7, 262, 93, 13, "IDC_KEY16"},
    {1036, ControlKind::EditBox, "", 105, 262, 146, 13, "IDC_VALUE16"},
    {1037, ControlKind::EditBox, "", 7, 277, 93, 13, "IDC_KEY17"},
    {1038, ControlKind::EditBox, "", 105, 277, 146, 13, "IDC_VALUE17"},
    {1039, ControlKind::EditBox, "", 7, 292, 93, 13, "IDC_KEY18"},
    {1040, ControlKind::EditBox, "", 105, 292, 146, 13, "IDC_VALUE18"},
    {1041, ControlKind::EditBox, "", 7, 307, 93, 13, "IDC_KEY19"},
    {1042, ControlKind::EditBox, "", 105, 307, 146, 13, "IDC_VALUE19"},
    {1043, ControlKind::EditBox, "", 7, 322, 93, 13, "IDC_KEY20"},
    {1044, ControlKind::EditBox, "", 105, 322, 146, 13, "IDC_VALUE20"},
    {1045, ControlKind::EditBox, "", 275, 37, 100, 13, "IDC_KEY21"},
    {1046, ControlKind::EditBox, "", 380, 37, 140, 13, "IDC_VALUE21"},
    {1047, ControlKind::EditBox, "", 275, 52, 100, 13, "IDC_KEY22"},
    {1048, ControlKind::EditBox, "", 380, 52, 140, 13, "IDC_VALUE22"},
    {1049, ControlKind::EditBox, "", 275, 67, 100, 13, "IDC_KEY23"},
    {1050, ControlKind::EditBox, "", 380, 67, 140, 13, "IDC_VALUE23"},
    {1051, ControlKind::EditBox, "", 275, 82, 100, 13, "IDC_KEY24"},
    {1052, ControlKind::EditBox, "", 380, 82, 140, 13, "IDC_VALUE24"},
    {1053, ControlKind::EditBox, "", 275, 97, 100, 13, "IDC_KEY25"},
    {1054, ControlKind::EditBox, "", 380, 97, 140, 13, "IDC_VALUE25"},
    {1055, ControlKind::EditBox, "", 275, 112, 100, 13, "IDC_KEY26"},
    {1056, ControlKind::EditBox, "", 380, 112, 140, 13, "IDC_VALUE26"},
    {1057, ControlKind::EditBox, "", 275, 127, 100, 13, "IDC_KEY27"},
    {1058, ControlKind::EditBox, "", 380, 127, 140, 13, "IDC_VALUE27"},
    {1059, ControlKind::EditBox, "", 275, 142, 100, 13, "IDC_KEY28"},
    {1060, ControlKind::EditBox, "", 380, 142, 140, 13, "IDC_VALUE28"},
    {1061, ControlKind::EditBox, "", 275, 157, 100, 13, "IDC_KEY29"},
    {1062, ControlKind::EditBox, "", 380, 157, 140, 13, "IDC_VALUE29"},
    {1063, ControlKind::EditBox, "", 275, 172, 100, 13, "IDC_KEY30"},
    {1064, ControlKind::EditBox, "", 380, 172, 140, 13, "IDC_VALUE30"},
    {IDC_STATIC, ControlKind::Label, "Key", 275, 26, 93, 8, "label_key_right"},
    {IDC_STATIC, ControlKind::Label, "Value", 380, 26, 140, 8, "label_value_right"},
    {1066, ControlKind::EditBox, "", 275, 201, 40, 14, "IDC_FLAG1"},
    {1067, ControlKind::EditBox, "", 275, 215, 40, 14, "IDC_FLAG2"},
    {1068, ControlKind::EditBox, "", 275, 230, 40, 14, "IDC_FLAG3"},
    {1069, ControlKind::EditBox, "", 275, 244, 40, 14, "IDC_FLAG4"},
    {1070, ControlKind::EditBox, "", 275, 260, 40, 14, "IDC_FLAG5"},
    {1071, ControlKind::EditBox, "", 275, 276, 40, 14, "IDC_FLAG6"},
    {1072, ControlKind::EditBox, "", 275, 290, 40, 14, "IDC_FLAG7"},
    {1073, ControlKind::EditBox, "", 275, 305, 40, 14, "IDC_FLAG8"},
    {1074, ControlKind::EditBox, "", 275, 321, 40, 14, "IDC_FLAG9"},
    {IDC_STATIC, ControlKind::Label, kSpawnflags, 275, 192, 45, 8, "label_spawnflags"},
    {IDC_STATIC, ControlKind::Label, "Difficulty", 380, 192, 95, 8, "label_difficulty"},
    {1075, ControlKind::EditBox, "", 380, 201, 40, 14, "IDC_FLAG10"},
    {1076, ControlKind::EditBox, "", 380, 215, 40, 14, "IDC_FLAG11"},
    {1077, ControlKind::EditBox, "", 380, 231, 40, 14, "IDC_FLAG12"},
    {IDC_STATIC, ControlKind::Label, kEasy, 419, 207, 42, 8, "label_easy"},
    {IDC_STATIC, ControlKind::Label, kMedium, 420, 222, 46, 8, "label_medium"},
    {IDC_STATIC, ControlKind::Label, kDifficult, 420, 237, 44, 8, "label_difficult"},
  }};
  // clang-format on
  return kMain;
}

const DialogTemplate& AboutDialogTemplate() {
  // clang-format off
  static const DialogTemplate kAbout{IDD_ABOUT, "A propos de Kestrum", "MS Sans Serif", 8, 210, 74, {
    {IDC_STATIC, ControlKind::Icon, "", 11, 17, 21, 20, "about_icon"},
    {IDC_STATIC, ControlKind::Label, version::kVersionLine, 40, 7, 119, 8, "about_version", kNoPrefix},
    {IDC_STATIC, ControlKind::Label, "Entity lump tool for mappers", 40, 25, 119, 8, "about_credit1"},
    {IDOK, ControlKind::DefPushButton, "OK", 153, 7, 50, 14, "IDOK", kStartsGroup},
    {IDC_STATIC, ControlKind::Label, "By the Kestrum developers", 40, 40, 116, 8, "about_credit2"},
    {IDC_STATIC, ControlKind::Label, "Free software for Linux and Windows", 40, 53, 146, 8, "about_credit3"},
  }};
  // clang-format on
  return kAbout;
}

const DialogTemplate& PickMapDialogTemplate() {
  // clang-format off
  static const DialogTemplate kPickMap{IDD_PICK_MAP, "Maps in the archive", "MS Sans Serif", 8, 200, 121, {
    {IDC_STATIC, ControlKind::Label, "Choose the map to open:", 7, 7, 186, 8, "label_maps"},
    {IDC_MAP_LIST, ControlKind::ListBox, "", 7, 18, 186, 78, "IDC_MAP_LIST"},
    {IDOK, ControlKind::DefPushButton, "OK", 89, 100, 50, 14, "IDOK"},
    {IDCANCEL, ControlKind::PushButton, "Cancel", 143, 100, 50, 14, "IDCANCEL"},
  }};
  // clang-format on
  return kPickMap;
}

}  // namespace kestrum::res
