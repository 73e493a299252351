#include "entity_dlg.h"

#include "map_inputs.h"
#include "resource.h"
#include "spawnflags.h"

namespace kestrum {
namespace {

/** The buttons and the commands they run. */
struct MessageMapEntry {
  int controlId;
  CommandOutcome (CEntityDlg::*handler)();
};

constexpr MessageMapEntry kMessageMap[] = {
    {IDC_OPEN_BSP, &CEntityDlg::OnOpenBsp},
    {IDC_CREATE_LIST, &CEntityDlg::OnCreateList},
    {IDC_ANALYSE, &CEntityDlg::OnAnalyseEntity},
};

}  // namespace

CEntityDlg::CEntityDlg(IDialogServices& services) : m_services(services) {}

void CEntityDlg::SetStartValues() {
  m_bspPath.clear();
  m_lastSearch.clear();
}

std::optional<CommandOutcome> CEntityDlg::OnCommand(int controlId) {
  for (const MessageMapEntry& entry : kMessageMap) {
    if (entry.controlId == controlId) return (this->*entry.handler)();
  }
  return std::nullopt;
}

void CEntityDlg::ShowSpawnflags(int value) {
  DecodeSpawnflags(value, m_flags);
}

std::shared_ptr<const IByteSource> CEntityDlg::OpenBsp(const std::string& name) {
  return sources::OpenMap(sources::FindMap(name));
}

void CEntityDlg::DoDataExchange(CDataExchange& dx) {
  dx.Text(IDC_SEARCH, m_search);
  for (int n = 1; n <= kPairSlots; ++n) {
    dx.Text(IDC_KEY1 + 2 * (n - 1), m_keys[n]);
    dx.Text(IDC_VALUE1 + 2 * (n - 1), m_values[n]);
  }
  for (int n = 1; n <= kFlagSlots; ++n) dx.Text(IDC_FLAG1 + (n - 1), m_flags[n]);
}

}  // namespace kestrum
