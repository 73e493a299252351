#include <gtest/gtest.h>

#include "headless_dialog.h"
#include "resource.h"

namespace kestrum {
namespace {

/** Records the order of the exchange and fills each field with its control's id. */
class RecordingExchange final : public CDataExchange {
 public:
  RecordingExchange() : CDataExchange(false) {}
  void Text(int controlId, std::string& field) override {
    ids.push_back(controlId);
    field = std::to_string(controlId);
  }
  std::vector<int> ids;
};

TEST(DataExchange, movesSeventyThreeFieldsInControlOrder) {
  CHeadlessDialog ui;
  RecordingExchange exchange;
  ui.dialog.DoDataExchange(exchange);

  std::vector<int> expected{IDC_SEARCH};
  for (int id = 1005; id <= 1064; ++id) expected.push_back(id);
  for (int id = 1066; id <= 1077; ++id) expected.push_back(id);
  EXPECT_EQ(exchange.ids, expected);
  EXPECT_EQ(ui.dialog.m_search, "1003");
  EXPECT_EQ(ui.dialog.m_keys[1], "1005");
  EXPECT_EQ(ui.dialog.m_values[1], "1006");
  EXPECT_EQ(ui.dialog.m_keys[30], "1063");
  EXPECT_EQ(ui.dialog.m_values[30], "1064");
  EXPECT_EQ(ui.dialog.m_flags[1], "1066");
  EXPECT_EQ(ui.dialog.m_flags[12], "1077");
  EXPECT_EQ(ui.dialog.m_keys[0], "");
  EXPECT_EQ(ui.dialog.m_flags[0], "");
}

TEST(DataExchange, roundTripsEveryByteBothWays) {
  CHeadlessDialog ui;
  std::string bytes;
  for (int byte = 1; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
  ui.services.controls.Text(IDC_FLAG1 + 11) = bytes;
  ui.services.UpdateData(true);
  EXPECT_EQ(ui.dialog.m_flags[12], bytes);
  ui.dialog.m_keys[7] = bytes;
  ui.services.UpdateData(false);
  EXPECT_EQ(ui.services.controls.Text(IDC_KEY1 + 12), bytes);
}

TEST(DataExchange, aFrontEndWithoutBoxesExchangesTheSearchBoxAlone) {
  CHeadlessDialog ui;
  ui.services.searchBoxOnly = true;
  ui.services.controls.Text(IDC_SEARCH) = "light";
  ui.services.controls.Text(IDC_KEY1) = "typed";
  ui.services.UpdateData(true);
  EXPECT_EQ(ui.dialog.m_search, "light");
  EXPECT_EQ(ui.dialog.m_keys[1], "");

  ui.dialog.m_search = "found";
  ui.dialog.m_values[3] = "shown";
  ui.services.UpdateData(false);
  EXPECT_EQ(ui.services.controls.Text(IDC_SEARCH), "found");
  EXPECT_EQ(ui.services.controls.Text(IDC_VALUE1 + 4), "");
  EXPECT_EQ(ui.services.controls.Text(IDC_KEY1), "typed");
}

TEST(DataExchange, controlsExchangedWithAnotherDialogMoveThatDialogsFields) {
  CHeadlessDialog first;
  CHeadlessDialog second;
  CMemoryControls& controls = first.services.controls;
  controls.Text(IDC_KEY1 + 2) = "origin";
  controls.Exchange(first.dialog, true);
  controls.Exchange(second.dialog, true);
  EXPECT_EQ(first.dialog.m_keys[2], "origin");
  EXPECT_EQ(second.dialog.m_keys[2], "origin");
  second.dialog.m_flags[12] = "1024";
  controls.Exchange(second.dialog, false);
  EXPECT_EQ(controls.Text(IDC_FLAG1 + 11), "1024");
  controls.ExchangeOne(first.dialog, false, IDC_FLAG1 + 11);
  EXPECT_EQ(controls.Text(IDC_FLAG1 + 11), "");
}

}  // namespace
}  // namespace kestrum
