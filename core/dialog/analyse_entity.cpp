// Analyse Entity: find the next entity holding the search text and show its pairs.
#include "byte_search.h"
#include "entity_dlg.h"
#include "messages.h"

namespace kestrum {

CommandOutcome CEntityDlg::OnAnalyseEntity() {
  UpdateData(true);
  if (m_lastSearch != m_search) {
    m_matchCount = 0;
    m_lastSearch = m_search;
  }
  if (m_bspPath.empty()) {
    MessageBox(messages::kNoBspLoaded);
    return CommandOutcome::NoBspLoaded;
  }

  SearchState state{m_cursor, m_matchCount, m_foundOffset};
  bool matched = false;
  try {
    matched =
        SearchPress(*OpenBsp(m_bspPath), m_entityOffset, CByteSearcher(m_search), state, m_searchBuffers, Slots());
  } catch (const CInputError& error) {
    // The search state stays where it was, so the next press repeats this one.
    MessageBox(error.what());
    return CommandOutcome::FileError;
  }
  m_cursor = state.cursor;
  m_matchCount = state.matchCount;
  m_foundOffset = state.foundOffset;
  UpdateData(false);
  return matched ? CommandOutcome::Done : CommandOutcome::NothingFound;
}

}  // namespace kestrum
