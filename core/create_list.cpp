// Create list: write every entity of the chosen map to a text file.
#include "entity_dlg.h"
#include "list_name.h"
#include "list_target.h"
#include "texts.h"

namespace kestrum {
namespace {

FileChooserOptions ListChooserOptions(const std::string& initialName) {
  FileChooserOptions options;
  options.filterDescription = texts::kListFilterDescription;
  options.filterPattern = texts::kListFilterPattern;
  options.defaultExtension = texts::kListExtension;
  options.initialName = initialName;
  options.fileMustExist = true;
  options.overwritePrompt = true;
  options.hideReadOnly = true;
  return options;
}

}  // namespace

CommandOutcome CEntityDlg::OnCreateList() {
  if (m_bspPath.empty()) {
    MessageBox(texts::kNoBspLoaded);
    return CommandOutcome::NoBspLoaded;
  }
  const AbortOnExit closeBsp(m_bspFile);
  try {
    const std::int32_t length = OpenBspFile(m_bspPath);
    const std::optional<std::string> chosen =
        m_services.ChooseFileToSave(ListChooserOptions(DefaultListName(m_bspPath)));
    if (!chosen) {
      MessageBox(texts::kNoListPath);
      return CommandOutcome::Cancelled;
    }
    m_listPath = *chosen;

    CListTarget list(m_listFile, m_listPath, m_bspPath);
    m_bspFile.Seek(m_entityOffset);
    std::optional<std::int32_t> cutEntityOffset;
    int written = 0;
    for (std::int32_t offset = m_entityOffset; offset < length;) {
      const StepResult step = ReadEntityWindow(m_bspFile, offset, m_entityWindow, m_entityBytes);
      if (!step.entity) {
        cutEntityOffset = step.cutEntityOffset;
        break;
      }
      m_listFile.Write(m_entityBytes.data(), m_entityBytes.size());
      m_listFile.Write(m_lineBreak.data(), m_lineBreak.size());
      m_listFile.Write(m_lineBreak.data(), m_lineBreak.size());
      ++written;
      offset = step.entity->nextOffset;
    }
    list.Commit();
    m_bspFile.Close();
    if (cutEntityOffset) {
      // The list is right as far as it goes; the user must know that it stops early.
      MessageBox(texts::CutEntityMessage(*cutEntityOffset, written));
      return CommandOutcome::ListCutShort;
    }
  } catch (const CFileException& error) {
    MessageBox(error.what());
    return CommandOutcome::FileError;
  }
  return CommandOutcome::Done;
}

}  // namespace kestrum
