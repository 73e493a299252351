// Output written in pieces keeps its characters whole at the pieces' ends.
#include "utf8_split.h"

#include <gtest/gtest.h>

namespace kestrum::cli {
namespace {

TEST(LengthOfWholeCharacters, holdsBackOnlyACharacterCutShortAtTheEnd) {
  const std::string euro = "\xe2\x82\xac";      // three bytes
  const std::string clef = "\xf0\x9d\x84\x9e";  // four bytes
  EXPECT_EQ(LengthOfWholeCharacters(""), 0u);
  EXPECT_EQ(LengthOfWholeCharacters("plain\n"), 6u);
  EXPECT_EQ(LengthOfWholeCharacters("caf\xc3\xa9"), 5u);
  EXPECT_EQ(LengthOfWholeCharacters("caf\xc3"), 3u);
  EXPECT_EQ(LengthOfWholeCharacters("a" + euro), 4u);
  EXPECT_EQ(LengthOfWholeCharacters("a" + euro.substr(0, 2)), 1u);
  EXPECT_EQ(LengthOfWholeCharacters("a" + euro.substr(0, 1)), 1u);
  EXPECT_EQ(LengthOfWholeCharacters(clef), 4u);
  for (std::size_t cut = 1; cut < clef.size(); ++cut)
    EXPECT_EQ(LengthOfWholeCharacters("ab" + clef.substr(0, cut)), 2u);
}

TEST(LengthOfWholeCharacters, letsBytesThatAreNotUtf8Through) {
  // Continuation bytes with no lead byte, and a lone Latin-1 byte, wait for nothing.
  EXPECT_EQ(LengthOfWholeCharacters("\x80\x80\x80\x80\x80"), 5u);
  EXPECT_EQ(LengthOfWholeCharacters("caf\xe9!"), 5u);
  EXPECT_EQ(LengthOfWholeCharacters("\xc3\xa9\xa9"), 3u);
}

}  // namespace
}  // namespace kestrum::cli
