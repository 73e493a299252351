// The map, the list and the headless dialog that the fault injection tests start from.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fault_calls.h"
#include "headless_dialog.h"
#include "map_builder.h"
#include "test_files.h"

namespace kestrum {

class FaultInjectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::Plan() = test::FaultPlan{};
    // A large map: scanned only in its last tenth, where the lump lies.
    m_map = mapgen::BuildMap(mapgen::EntityLump(mapgen::DemoEntities()), 1'200'000, 4000);
    test::WriteFile(m_bspPath, m_map.bytes);
    test::WriteFile(m_listPath, "the previous list\r\n");
    ASSERT_EQ(m_ui.Open(m_bspPath), CommandOutcome::Done);
    m_ui.services.messages.clear();
  }

  /** The only message shown; it must name the file and the reason. */
  void ExpectOneMessage(const std::string& file, const std::string& reason) {
    ASSERT_EQ(m_ui.services.messages.size(), 1u);
    EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr("\"" + file + "\""));
    EXPECT_THAT(m_ui.services.messages[0], ::testing::HasSubstr(reason));
  }

  /** The list is what it was and no temporary file is left beside it. */
  void ExpectListUntouched() {
    EXPECT_EQ(test::ReadFile(m_listPath), "the previous list\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) ++entries;
    EXPECT_EQ(entries, 2);
  }

  test::TempDir m_dir;
  const std::string m_bspPath = m_dir.File("map.bsp");
  const std::string m_listPath = m_dir.File("map.txt");
  mapgen::BuiltMap m_map;
  CHeadlessDialog m_ui;
};

}  // namespace kestrum
