// kestrum-cli reads map bytes in the dialog's code page and prints names as the system
// gives them.
#include <gtest/gtest.h>

#include "map_builder.h"
#include "process.h"
#include "test_files.h"

namespace kestrum {
namespace {

using test::ProcessResult;

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<mapgen::Entity> entities{
        {{{"classname", "worldspawn"}, {"message", "Caf\xe9 \x80 5"}}},
        {{{"classname", "info_note"}, {"message", "odd \x81 byte"}}},
    };
    test::WriteFile(m_dir.File("cafe.bsp"), mapgen::BuildMap(mapgen::EntityLump(entities), 100, 100).bytes);
  }

  ProcessResult Run(const std::vector<std::string>& args) {
    return test::RunProcess(KESTRUM_CLI_PATH, args, m_dir.Path());
  }

  test::TempDir m_dir;
};

TEST_F(CodePageTest, aSearchTextIsLookedForInTheCodePagesBytesAndShownInIt) {
  const ProcessResult text = Run({"search", "cafe.bsp", "\u20ac 5"});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("\"message\" \"Caf\u00e9 \u20ac 5\""), std::string::npos) << text.out;

  const ProcessResult json = Run({"search", "cafe.bsp", "\u00e9", "--json"});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(json.out.find("\"Caf\u00e9 \u20ac 5\""), std::string::npos) << json.out;

  // A byte the code page leaves undefined is a C1 control: escaped in text, kept in JSON.
  const ProcessResult odd = Run({"search", "cafe.bsp", "odd"});
  EXPECT_NE(odd.out.find("\"odd \\x81 byte\""), std::string::npos) << odd.out;
  const ProcessResult entities = Run({"entities", "cafe.bsp"});
  EXPECT_NE(entities.out.find("\"odd \u0081 byte\""), std::string::npos) << entities.out;
  EXPECT_NE(entities.out.find("\"Caf\u00e9 \u20ac 5\""), std::string::npos) << entities.out;
}

TEST_F(CodePageTest, aCharacterTheCodePageLacksIsRefusedAsUsage) {
  for (const char* text : {"quickm\u0101p", "\u30de\u30c3\u30d7"}) {
    const ProcessResult result = Run({"search", "cafe.bsp", text});
    EXPECT_EQ(result.exitCode, 2) << text;
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("no byte of the map's encoding"), std::string::npos) << result.err;
  }
}

TEST_F(CodePageTest, latin1ReadsEachByteAsItsOwnCodePoint) {
  const ProcessResult text = Run({"search", "cafe.bsp", "\u0080 5", "--encoding", "latin-1"});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("\"Caf\u00e9 \\x80 5\""), std::string::npos) << text.out;
  EXPECT_EQ(Run({"search", "cafe.bsp", "\u20ac", "--encoding", "latin-1"}).exitCode, 2);
  const ProcessResult json = Run({"entities", "cafe.bsp", "--encoding", "latin-1"});
  EXPECT_NE(json.out.find("\"Caf\u00e9 \u0080 5\""), std::string::npos) << json.out;
  EXPECT_EQ(Run({"entities", "cafe.bsp", "--encoding", "cp437"}).exitCode, 2);
}

TEST_F(CodePageTest, mapNamesComeOutAsTheSystemGivesThem) {
  test::WriteFile(m_dir.File("\u00e9t\u00e9.bsp"), test::ReadFile(m_dir.File("cafe.bsp")));
  const ProcessResult json = Run({"entities", "cafe.bsp", "\u00e9t\u00e9.bsp"});
  EXPECT_NE(json.out.find("{\"map\": \"\u00e9t\u00e9.bsp\""), std::string::npos) << json.out;
  const ProcessResult text = Run({"search", "cafe.bsp", "\u00e9t\u00e9.bsp", "info_note"});
  EXPECT_NE(text.out.find("\u00e9t\u00e9.bsp: press 1"), std::string::npos) << text.out;
#ifndef _WIN32
  // A name that is not UTF-8 (written by a system set to Latin-1) shows its bytes.
  test::WriteFile(m_dir.File("\xe9.bsp"), test::ReadFile(m_dir.File("cafe.bsp")));
  const ProcessResult latin = Run({"search", "cafe.bsp", "\xe9.bsp", "info_note", "--json"});
  EXPECT_NE(latin.out.find("{\"map\": \"\ufffd.bsp\""), std::string::npos) << latin.out;
  const ProcessResult latinText = Run({"search", "cafe.bsp", "\xe9.bsp", "info_note"});
  EXPECT_NE(latinText.out.find("\\xe9.bsp: press 1"), std::string::npos) << latinText.out;
#endif
}

}  // namespace
}  // namespace kestrum
