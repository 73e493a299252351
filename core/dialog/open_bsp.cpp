// Open BSP: choose a map, or an archive and one of its maps, and find its first entity.
#include "archive.h"
#include "entity_dlg.h"
#include "map_inputs.h"
#include "messages.h"

namespace kestrum {
namespace {

FileChooserOptions BspChooserOptions() {
  FileChooserOptions options;
  options.filterDescription = messages::kBspFilterDescription;
  options.filterPattern = messages::kBspFilterPattern;
  options.moreFilters = {
      {std::string(messages::kArchiveFilterDescription), std::string(messages::kArchiveFilterPattern)}};
  options.defaultExtension = messages::kBspExtension;
  options.initialName = messages::kBspInitialName;
  options.fileMustExist = true;
  options.hideReadOnly = true;
  return options;
}

}  // namespace

void CEntityDlg::StartSearchOver() {
  m_lastSearch.clear();
  m_matchCount = 0;
}

CommandOutcome CEntityDlg::OnOpenBsp() {
  // Any new choice, even a cancelled one, starts the next search at the first entity.
  StartSearchOver();
  const std::optional<std::string> chosen = m_services.ChooseFileToOpen(BspChooserOptions());
  if (!chosen) return CommandOutcome::Cancelled;
  return OpenBspNamed(*chosen);
}

CommandOutcome CEntityDlg::OpenBspNamed(const std::string& name) {
  StartSearchOver();
  if (!sources::IsArchiveName(name)) return OpenMapNamed(name);

  // In every failure below, the previous map stays chosen.
  std::vector<std::string> maps;
  try {
    maps = sources::MapsInArchive(name);
  } catch (const CInputError& error) {
    MessageBox(error.what());
    return CommandOutcome::FileError;
  }
  if (maps.empty()) {
    MessageBox(sources::NoMapsInArchive(name));
    return CommandOutcome::NothingFound;
  }
  const std::optional<std::string> member = m_services.ChooseMapInArchive(name, maps);
  if (!member) return CommandOutcome::Cancelled;
  return OpenMapNamed(sources::MemberName(name, *member));
}

CommandOutcome CEntityDlg::OpenMapNamed(const std::string& name) {
  std::optional<std::int32_t> entityOffset;
  try {
    entityOffset = LocateEntityLump(*OpenBsp(name), m_lookBackWindow);
  } catch (const CInputError& error) {
    // The previous map stays chosen, with its entity offset.
    MessageBox(error.what());
    return CommandOutcome::FileError;
  }
  m_bspPath = name;
  m_entityOffset = entityOffset.value_or(0);
  if (!entityOffset) {
    UpdateData(false);
    MessageBox(messages::kNoEntities);
  }
  UpdateData(true);
  return entityOffset ? CommandOutcome::Done : CommandOutcome::NothingFound;
}

}  // namespace kestrum
