#include "entity_stepping.h"

#include <gtest/gtest.h>

#include "input_error.h"

namespace kestrum {
namespace {

/** Steps through a file from an offset and collects the records and next offsets. */
class EntityStepping : public ::testing::Test {
 protected:
  struct Step {
    std::string record;
    std::int32_t next;
  };

  std::vector<Step> StepAll(const std::string& bytes, std::int32_t from) {
    const CMemoryBytes file(kName, bytes);
    std::vector<Step> steps;
    for (std::int32_t offset = from; offset < static_cast<std::int32_t>(bytes.size());) {
      const std::optional<EntityStep> step = ReadEntityWindow(file, offset, m_window, m_record).entity;
      if (!step) break;
      EXPECT_EQ(bytes.compare(step->recordOffset, m_record.size(), m_record), 0);
      steps.push_back({m_record, step->nextOffset});
      offset = step->nextOffset;
    }
    return steps;
  }

  static constexpr const char* kName = "maps/map.bsp";
  EntityWindow m_window{};
  std::string m_record;
};

// "{\n" + a line of lineLength bytes + "\n}": lineLength + 4 bytes.
std::string Entity(std::size_t lineLength) {
  std::string line = "\"k\" \"" + std::string(lineLength - 6, 'v') + "\"";
  return "{\n" + line + "\n}";
}

TEST_F(EntityStepping, workedExampleStepsTwoEntitiesThenEnds) {
  const std::string prefix = "binary";
  const std::string bytes = prefix + Entity(24) + "\n" + Entity(19) + "\n" + std::string(1, '\0') + "tail";
  const auto steps = StepAll(bytes, 6);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].record, Entity(24));
  EXPECT_EQ(steps[0].record.size(), 28u);
  EXPECT_EQ(steps[0].next, 6 + 29);
  EXPECT_EQ(steps[1].record, Entity(19));
  EXPECT_EQ(steps[1].next, 6 + 53);
}

TEST_F(EntityStepping, entityOfExactly512BytesFillsTheWindow) {
  const std::string entity = Entity(508);
  const auto steps = StepAll(entity + "\n" + Entity(10) + "\n", 0);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].record, entity);
  EXPECT_EQ(steps[0].next, 513);
  EXPECT_EQ(steps[1].record, Entity(10));
}

TEST_F(EntityStepping, entityLongerThanTheWindowIsReadWholeAndSteppingGoesOn) {
  // 700 KiB: the closing brace stands past 512 KiB, where a read of half the limit would stop.
  for (const std::size_t line : {509u, 510u, 4000u, 70'000u, 700u * 1024}) {
    const std::string longEntity = Entity(line);
    const auto steps = StepAll(longEntity + "\n" + Entity(12) + "\n" + std::string(1, '\0'), 0);
    ASSERT_EQ(steps.size(), 2u) << line;
    EXPECT_EQ(steps[0].record, longEntity);
    EXPECT_EQ(steps[0].next, static_cast<std::int32_t>(longEntity.size() + 1));
    EXPECT_EQ(steps[1].record, Entity(12));
  }
}

TEST_F(EntityStepping, longTextCutByANulOrTheFileEndEndsTheEntities) {
  EXPECT_TRUE(StepAll("{" + std::string(600, 'a') + std::string(1, '\0') + "}", 0).empty());
  EXPECT_TRUE(StepAll("{" + std::string(1023, 'a'), 0).empty());  // ends exactly at a window
  EXPECT_TRUE(StepAll("{" + std::string(700, 'a'), 0).empty());
}

TEST_F(EntityStepping, entityWithoutClosingBraceWithinOneMebibyteIsAnError) {
  const CMemoryBytes file(kName, "{" + std::string(kMaxEntityLength + 10, 'a') + "}");
  try {
    ReadEntityWindow(file, 0, m_window, m_record);
    FAIL() << "expected an error";
  } catch (const CInputError& error) {
    EXPECT_NE(std::string(error.what()).find("no closing brace within its first 1 MiB"), std::string::npos)
        << error.what();
    EXPECT_NE(std::string(error.what()).find(kName), std::string::npos);
  }
}

TEST_F(EntityStepping, nulInsideAnEntityEndsTheEntities) {
  std::string entity = Entity(30);
  entity[10] = '\0';
  EXPECT_TRUE(StepAll(entity + "\n" + Entity(12), 0).empty());
}

TEST_F(EntityStepping, onlyTheBytesReadAreText) {
  // The first window leaves "}" bytes behind; a later short read must not see them.
  const CMemoryBytes file(kName, "{" + std::string(600, '}'));
  ASSERT_EQ(ReadEntityWindow(file, 0, m_window, m_record).entity->nextOffset, 3);
  const CMemoryBytes shortFile(kName, "{abc");
  EXPECT_FALSE(ReadEntityWindow(shortFile, 0, m_window, m_record).entity);
}

TEST_F(EntityStepping, stepAtOrPastTheEndReportsTheEnd) {
  const CMemoryBytes file(kName, Entity(20));
  EXPECT_FALSE(ReadEntityWindow(file, 24, m_window, m_record).entity);
  EXPECT_FALSE(ReadEntityWindow(file, 1000, m_window, m_record).entity);
}

TEST_F(EntityStepping, anEndInsideAnEntityNamesWhereThatEntityBegins) {
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<std::int32_t> cutAt;
  };
  const std::string longEntity = Entity(700);  // no "}" in its first window
  const std::vector<Case> cases{
      {"the lump's own end", std::string("\n\0{junk}", 8), std::nullopt},
      {"a NUL before the first brace's close", std::string("\n{\"a\" \0 \"b\"}", 12), 1},
      {"a NUL in a long entity, after its first window, with a brace after it",
       longEntity.substr(0, 600) + std::string(1, '\0') + longEntity.substr(600), 0},
      {"the end of the file inside an entity", "{\"a\" \"b\"", 0},
      {"the end of the file inside a long entity", longEntity.substr(0, 650), 0},
      {"the end of the file with no brace", "\n\n", std::nullopt},
  };
  for (const Case& c : cases) {
    const CMemoryBytes file(kName, c.bytes);
    const StepResult step = ReadEntityWindow(file, 0, m_window, m_record);
    EXPECT_FALSE(step.entity) << c.what;
    EXPECT_EQ(step.cutEntityOffset, c.cutAt) << c.what;
  }
}

TEST_F(EntityStepping, crLfBetweenEntitiesStillYieldsWholeEntities) {
  const std::string a = "{\r\n\"classname\" \"worldspawn\"\r\n}";
  const std::string b = "{\r\n\"classname\" \"light\"\r\n}";
  const std::string c = Entity(700);  // longer than the window: read on past it, still from its "{"
  const auto steps = StepAll(a + "\r\n" + b + "\r\n" + c + "\r\n" + std::string(1, '\0'), 0);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].record, a);
  EXPECT_EQ(steps[1].record, b);
  EXPECT_EQ(steps[1].next, static_cast<std::int32_t>(a.size() + 2 + b.size() + 1));
  EXPECT_EQ(steps[2].record, c);
}

TEST_F(EntityStepping, closingBraceBeforeAnyOpeningBraceEndsTheRecordThere) {
  const auto steps = StepAll("ab}cd{\"k\" \"v\"}\n", 0);
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].record, "ab}");
  EXPECT_EQ(steps[0].next, 4);
  EXPECT_EQ(steps[1].record, "{\"k\" \"v\"}");  // from the window's first "{"
}

TEST_F(EntityStepping, closingBraceInsideAValueEndsTheRecordAndSteppingMovesOn) {
  const auto steps = StepAll("{\n\"message\" \"a } b\"\n}\n{\n\"k\" \"v\"\n}\n", 0);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].record, "{\n\"message\" \"a }");
  EXPECT_EQ(steps[1].record, "b\"\n}");  // the byte after a "}" is skipped
  EXPECT_EQ(steps[2].record, "{\n\"k\" \"v\"\n}");
}

}  // namespace
}  // namespace kestrum
