#include "output.h"

#include "headless_dialog.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kestrum {
namespace {

TEST(JsonByteString, writesEachByteAsTheCodePointOfItsValue) {
  EXPECT_EQ(cli::JsonByteString(""), "\"\"");
  EXPECT_EQ(cli::JsonByteString("plain text 1 2"), "\"plain text 1 2\"");
  EXPECT_EQ(cli::JsonByteString("a\"b\\c/"), R"("a\"b\\c/")");
  EXPECT_EQ(cli::JsonByteString(std::string("\x01\t\n\x1f\x7f", 5)), R"("\u0001\u0009\u000a\u001f\u007f")");
  EXPECT_EQ(cli::JsonByteString("\x80\xe9\xff"), "\"\xc2\x80\xc3\xa9\xc3\xbf\"");
}

TEST(FoundEntity, showsPairsUpToTheLastFilledSlotIncludingEmptyTokens) {
  CHeadlessDialog ui;
  CEntityDlg& record = ui.dialog;
  record.m_foundOffset = 42;
  record.m_keys[1] = "classname";
  record.m_values[1] = "light";
  record.m_keys[2] = "";
  record.m_values[2] = "";
  record.m_keys[3] = "odd";
  record.m_flags[12] = "1024";
  std::ostringstream out;
  cli::WriteFoundEntity(out, 3, record);
  EXPECT_EQ(out.str(),
            "press 3: entity at offset 42\n  \"classname\" \"light\"\n  \"\" \"\"\n  \"odd\" \"\"\n  flags: 1024 (Difficult)\n");
}

}  // namespace
}  // namespace kestrum
