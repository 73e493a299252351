#include "resource_script.h"

#include <sstream>

#include "dialog_templates.h"
#include "resource.h"
#include "string_table.h"
#include "version.h"

namespace kestrum::res {
namespace {

/** A string literal of the resource compiler: quotes doubled, backslashes escaped. */
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    if (c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

std::string ClassAndStyle(const ControlTemplate& control) {
  const std::string group = (control.styles & kStartsGroup) ? " | WS_GROUP" : "";
  switch (control.kind) {
    case ControlKind::PushButton: return "\"Button\", BS_PUSHBUTTON" + group + " | WS_TABSTOP";
    case ControlKind::DefPushButton: return "\"Button\", BS_DEFPUSHBUTTON" + group + " | WS_TABSTOP";
    case ControlKind::EditBox: return "\"Edit\", ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP";
    case ControlKind::Label:
      return std::string("\"Static\", SS_LEFT") + ((control.styles & kNoPrefix) ? " | SS_NOPREFIX" : "") +
             " | WS_GROUP";
    case ControlKind::Icon: return "\"Static\", SS_ICON";
    // No integral height: the list keeps the template's size, whatever its font.
    case ControlKind::ListBox:
      return "\"ListBox\", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP";
  }
  return {};
}

void WriteDialog(std::ostream& out, const char* idName, const DialogTemplate& dialog, bool extended) {
  out << idName << (extended ? " DIALOGEX " : " DIALOG ") << "0, 0, " << dialog.width << ", " << dialog.height << '\n';
  if (extended) {
    out << "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU\n"
        << "EXSTYLE WS_EX_APPWINDOW\n";
  } else {
    out << "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n";
  }
  out << "CAPTION " << Quoted(dialog.title) << '\n'
      << "FONT " << dialog.pointSize << ", " << Quoted(dialog.fontName) << (extended ? ", 0, 0, 0x1" : "") << '\n'
      << "BEGIN\n";
  for (const ControlTemplate& control : dialog.controls) {
    // An icon control names its icon by resource id; the others show their caption.
    const std::string text = control.kind == ControlKind::Icon ? "IDI_MAIN" : Quoted(control.caption);
    out << "    CONTROL " << text << ", " << control.id << ", " << ClassAndStyle(control)
        << " | WS_CHILD | WS_VISIBLE, " << control.x << ", " << control.y << ", " << control.width << ", "
        << control.height << "  // " << control.name << '\n';
  }
  out << "END\n\n";
}

/** What tells one program's version block from the other's. */
struct ProgramNames {
  const char* fileDescription;
  const char* internalName;
  const char* originalFilename;
};

void WriteVersion(std::ostream& out, const ProgramNames& names) {
  const std::pair<const char*, const char*> values[] = {
      {"Comments", ""},
      {"CompanyName", version::kCompanyName},
      {"FileDescription", names.fileDescription},
      {"FileVersion", version::kFileVersion},
      {"InternalName", names.internalName},
      {"LegalCopyright", version::kLegalCopyright},
      {"LegalTrademarks", ""},
      {"OriginalFilename", names.originalFilename},
      {"PrivateBuild", ""},
      {"ProductName", version::kProductName},
      {"ProductVersion", version::kProductVersion},
      {"SpecialBuild", ""},
  };
  out << "VS_VERSION_INFO VERSIONINFO\n"
      << "FILEVERSION " << version::kFileVersion << '\n'
      << "PRODUCTVERSION " << version::kProductVersion << '\n'
      << "FILEFLAGSMASK 0x3FL\n"
      << "FILEFLAGS 0x0L\n"
      << "FILEOS VOS__WINDOWS32\n"
      << "FILETYPE VFT_APP\n"
      << "FILESUBTYPE 0x0L\n"
      << "BEGIN\n"
      << "    BLOCK \"StringFileInfo\"\n"
      << "    BEGIN\n"
      << "        BLOCK \"040c04b0\"\n"
      << "        BEGIN\n";
  for (const auto& [key, value] : values) out << "            VALUE " << Quoted(key) << ", " << Quoted(value) << '\n';
  out << "        END\n"
      << "    END\n"
      << "    BLOCK \"VarFileInfo\"\n"
      << "    BEGIN\n"
      << "        VALUE \"Translation\", 0x40c, 1200\n"
      << "    END\n"
      << "END\n";
}

/** The opening both scripts share: the icon, and the manifest the system reads at start. */
void WriteHeadAndIcon(std::ostream& out) {
  out << "// Written by kestrum-rcgen from the resources in res/; a test keeps it equal to its\n"
      << "// generator, so change the tables, not this file, and run: kestrum-rcgen res\n"
      << "#include <windows.h>\n"
      << "#include \"resource.h\"\n\n"
      << "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"kestrum.manifest\"\n\n"
      << "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH_SWISS\n"
      << "IDI_MAIN ICON \"icons/kestrum.ico\"\n\n";
}

}  // namespace

std::string ResourceScript() {
  std::ostringstream out;
  WriteHeadAndIcon(out);
  out << "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n\n";
  WriteDialog(out, "IDD_ABOUT", AboutDialogTemplate(), false);
  WriteDialog(out, "IDD_MAIN", MainDialogTemplate(), true);
  WriteDialog(out, "IDD_PICK_MAP", PickMapDialogTemplate(), false);
  out << "STRINGTABLE\n"
      << "BEGIN\n"
      << "    IDS_ABOUT_MENU " << Quoted(LoadString(IDS_ABOUT_MENU)) << '\n'
      << "END\n\n";
  WriteVersion(out, {version::kFileDescription, version::kInternalName, version::kOriginalFilename});
  return out.str();
}

std::string CliResourceScript() {
  std::ostringstream out;
  WriteHeadAndIcon(out);
  out << "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n\n";
  WriteVersion(out, {version::kCliFileDescription, version::kCliInternalName, version::kCliOriginalFilename});
  return out.str();
}

}  // namespace kestrum::res
