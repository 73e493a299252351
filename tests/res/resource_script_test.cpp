// The Windows resources in the repository are what their generator makes of res/, and
// the icon holds what the dialog manager and the taskbar ask for.
#include "resource_script.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "icon_file.h"
#include "test_files.h"

namespace kestrum {
namespace {

const std::string kRes = KESTRUM_SOURCE_DIR "/res";

std::string CurrentIcon() {
  return res::IconFileFromXpm(
      {test::ReadFile(kRes + "/icons/kestrum-32.xpm"), test::ReadFile(kRes + "/icons/kestrum-16.xpm")});
}

unsigned Byte(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes.at(at));
}
std::uint32_t Word32(const std::string& bytes, std::size_t at) {
  return Byte(bytes, at) | Byte(bytes, at + 1) << 8 | Byte(bytes, at + 2) << 16 |
         std::uint32_t{Byte(bytes, at + 3)} << 24;
}

TEST(ResourceScript, checkedInFilesAreWhatTheGeneratorMakes) {
  EXPECT_EQ(test::ReadFile(kRes + "/kestrum.rc"), res::ResourceScript())
      << "res/ changed: run kestrum-rcgen res (built in tools/) and commit its output";
  EXPECT_EQ(test::ReadFile(kRes + "/kestrum-cli.rc"), res::CliResourceScript())
      << "res/ changed: run kestrum-rcgen res (built in tools/) and commit its output";
  EXPECT_EQ(test::ReadFile(kRes + "/icons/kestrum.ico"), CurrentIcon())
      << "the XPM icons changed: run kestrum-rcgen res (built in tools/) and commit its output";
}

TEST(ResourceScript, holdsTheDialogsTheStringAndTheFrenchVersionBlock) {
  const std::string script = res::ResourceScript();
  for (const char* expected :
       {"IDD_ABOUT DIALOG 0, 0, 210, 74\n", "IDD_MAIN DIALOGEX 0, 0, 528, 345\n", "EXSTYLE WS_EX_APPWINDOW\n",
        "IDD_PICK_MAP DIALOG 0, 0, 200, 121\nSTYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n",
        "\"ListBox\", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_CHILD | WS_VISIBLE",
        "FONT 8, \"MS Sans Serif\", 0, 0, 0x1\n", "IDS_ABOUT_MENU \"&A propos de Kestrum...\"\n",
        "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH_SWISS\nIDI_MAIN ICON", "BLOCK \"040c04b0\"",
        "VALUE \"Translation\", 0x40c, 1200\n", "FILEOS VOS__WINDOWS32\n", "FILETYPE VFT_APP\n",
        "VALUE \"OriginalFilename\", \"Kestrum.EXE\"\n", "VALUE \"Comments\", \"\"\n"}) {
    EXPECT_THAT(script, ::testing::HasSubstr(expected));
  }
}

TEST(ResourceScript, givesBothProgramsTheManifest) {
  const std::string manifest = "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"kestrum.manifest\"\n";
  EXPECT_THAT(res::ResourceScript(), ::testing::HasSubstr(manifest));
  EXPECT_THAT(res::CliResourceScript(), ::testing::HasSubstr(manifest));
  const std::string text = test::ReadFile(kRes + "/kestrum.manifest");
  EXPECT_THAT(text, ::testing::HasSubstr("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                                         "true</dpiAware>"));
  EXPECT_THAT(text, ::testing::HasSubstr("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
}

TEST(ResourceScript, givesTheCommandLineItsIconAndItsOwnNames) {
  const std::string script = res::CliResourceScript();
  for (const char* expected :
       {"IDI_MAIN ICON \"icons/kestrum.ico\"\n", "FILEVERSION 1, 0, 0, 1\n", "FILETYPE VFT_APP\n",
        "VALUE \"FileDescription\", \"Kestrum command line\"\n", "VALUE \"InternalName\", \"kestrum-cli\"\n",
        "VALUE \"OriginalFilename\", \"kestrum-cli.exe\"\n", "VALUE \"ProductName\", \"Application Kestrum\"\n"}) {
    EXPECT_THAT(script, ::testing::HasSubstr(expected));
  }
  // A console program has no dialogs or strings of the dialog's.
  EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("DIALOG")));
  EXPECT_THAT(script, ::testing::Not(::testing::HasSubstr("STRINGTABLE")));
}

TEST(IconFile, holds32And16PixelImagesOf16ColoursWithTheirMasks) {
  const std::string icon = CurrentIcon();
  ASSERT_GE(icon.size(), 6u + 2 * 16);
  EXPECT_EQ(Byte(icon, 2), 1u);  // an icon
  ASSERT_EQ(Byte(icon, 4), 2u);
  const unsigned sizes[] = {32, 16};
  for (unsigned n = 0; n < 2; ++n) {
    const std::size_t entry = 6 + 16 * n;
    const unsigned side = sizes[n];
    EXPECT_EQ(Byte(icon, entry), side);
    EXPECT_EQ(Byte(icon, entry + 1), side);
    EXPECT_EQ(Byte(icon, entry + 2), 16u);  // colours
    EXPECT_EQ(Byte(icon, entry + 6), 4u);   // bits per pixel
    const std::uint32_t length = Word32(icon, entry + 8);
    const std::uint32_t offset = Word32(icon, entry + 12);
    // Header, 16-entry palette, 4-bit colour rows and 1-bit mask rows, each padded to 4 bytes.
    EXPECT_EQ(length, 40 + 64 + side * side / 2 + side * ((side + 31) / 32 * 4));
    ASSERT_LE(offset + length, icon.size());
    EXPECT_EQ(Word32(icon, offset + 8), 2 * side);  // colour bitmap and mask
    // The top-left pixel is transparent in both images: the mask's last row starts with a set bit.
    const std::size_t maskTopRow = offset + length - (side + 31) / 32 * 4;
    EXPECT_EQ(Byte(icon, maskTopRow) & 0x80, 0x80u);
  }
}

TEST(IconFile, refusesWhatItCannotWrite) {
  const std::vector<std::pair<const char*, std::string>> bad{
      {"no header", "static char* x[] = {};"},
      {"two characters per pixel", "{\"1 1 1 2\", \"aa c #000000\", \"aa\"}"},
      {"a missing row", "{\"2 2 1 1\", \"a c #000000\", \"aa\"}"},
      {"a short row", "{\"2 1 1 1\", \"a c #000000\", \"a\"}"},
      {"a pixel of no colour", "{\"1 1 1 1\", \"a c #000000\", \"b\"}"},
      {"a named colour", "{\"1 1 1 1\", \"a c red\", \"a\"}"},
  };
  for (const auto& [why, xpm] : bad) EXPECT_THROW(res::IconFileFromXpm({xpm}), std::invalid_argument) << why;

  std::string manyColours = "{\"17 1 17 1\"";
  std::string row;
  for (int n = 0; n < 17; ++n) {
    const char key = static_cast<char>('a' + n);
    manyColours += std::string(", \"") + key + " c #0000" + (n < 10 ? "0" : "") + std::to_string(n) + "\"";
    row += key;
  }
  EXPECT_THROW(res::IconFileFromXpm({manyColours + ", \"" + row + "\"}"}), std::invalid_argument) << "17 colours";
}

}  // namespace
}  // namespace kestrum
