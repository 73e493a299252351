// Create list: write every entity of the chosen map to a text file.
#include "entity_dlg.h"
#include "entity_list.h"
#include "list_target.h"
#include "map_inputs.h"
#include "messages.h"

namespace kestrum {
namespace {

FileChooserOptions ListChooserOptions(const std::string& initialName) {
  FileChooserOptions options;
  options.filterDescription = messages::kListFilterDescription;
  options.filterPattern = messages::kListFilterPattern;
  options.defaultExtension = messages::kListExtension;
  options.initialName = initialName;
  options.fileMustExist = true;
  options.overwritePrompt = true;
  options.hideReadOnly = true;
  return options;
}

}  // namespace

CommandOutcome CEntityDlg::OnCreateList() {
  if (m_bspPath.empty()) {
    MessageBox(messages::kNoBspLoaded);
    return CommandOutcome::NoBspLoaded;
  }
  try {
    // The file read may be an archive that holds the map: the list must not replace it.
    const sources::MapSource source = sources::FindMap(m_bspPath);
    const std::shared_ptr<const IByteSource> map = sources::OpenMap(source);
    const std::optional<std::string> chosen =
        m_services.ChooseFileToSave(ListChooserOptions(sources::ListNameOf(source)));
    if (!chosen) {
      MessageBox(messages::kNoListPath);
      return CommandOutcome::Cancelled;
    }
    m_listPath = *chosen;

    CListTarget list(m_listFile, m_listPath, {source.path});
    const ListResult listed =
        ListEntities(*map, m_entityOffset, m_searchBuffers.window, m_searchBuffers.record,
                     [this](std::string_view bytes) { m_listFile.Write(bytes.data(), bytes.size()); });
    list.Commit();
    if (listed.cutEntityOffset) {
      // The list is right as far as it goes; the user must know that it stops early.
      MessageBox(messages::CutEntityMessage(*listed.cutEntityOffset, listed.written));
      return CommandOutcome::ListCutShort;
    }
  } catch (const CInputError& error) {
    MessageBox(error.what());
    return CommandOutcome::FileError;
  }
  return CommandOutcome::Done;
}

}  // namespace kestrum
