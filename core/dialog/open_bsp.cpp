// Open BSP: choose a map and find its first entity.
#include "entity_dlg.h"
#include "messages.h"

namespace kestrum {
namespace {

FileChooserOptions BspChooserOptions() {
  FileChooserOptions options;
  options.filterDescription = messages::kBspFilterDescription;
  options.filterPattern = messages::kBspFilterPattern;
  options.defaultExtension = messages::kBspExtension;
  options.initialName = messages::kBspInitialName;
  options.fileMustExist = true;
  options.hideReadOnly = true;
  return options;
}

}  // namespace

CommandOutcome CEntityDlg::OnOpenBsp() {
  // Any new choice, even a cancelled one, starts the next search at the first entity.
  m_lastSearch.clear();
  m_matchCount = 0;

  const std::optional<std::string> chosen = m_services.ChooseFileToOpen(BspChooserOptions());
  if (!chosen) return CommandOutcome::Cancelled;

  std::optional<std::int32_t> entityOffset;
  try {
    entityOffset = LocateEntityLump(*OpenBsp(*chosen), m_lookBackWindow);
  } catch (const CInputError& error) {
    // The previous map stays chosen, with its entity offset.
    MessageBox(error.what());
    return CommandOutcome::FileError;
  }
  m_bspPath = *chosen;
  m_entityOffset = entityOffset.value_or(0);
  if (!entityOffset) {
    UpdateData(false);
    MessageBox(messages::kNoEntities);
  }
  UpdateData(true);
  return entityOffset ? CommandOutcome::Done : CommandOutcome::NothingFound;
}

}  // namespace kestrum
