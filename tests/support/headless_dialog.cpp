#include "headless_dialog.h"

#include <stdexcept>
#include <utility>

namespace kestrum {
namespace {

/** Records, control by control, which field the dialog's exchange moves. */
class CBindingRecorder final : public CDataExchange {
 public:
  explicit CBindingRecorder(std::function<void(int, std::string&)> bind)
      : CDataExchange(true), m_bind(std::move(bind)) {}

  void Text(int controlId, std::string& field) override { m_bind(controlId, field); }

 private:
  const std::function<void(int, std::string&)> m_bind;
};

std::optional<std::string> NextAnswer(std::deque<std::optional<std::string>>& answers) {
  if (answers.empty()) throw std::logic_error("a chooser opened that the script did not expect");
  std::optional<std::string> answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

std::size_t CMemoryControls::IndexOf(int controlId) {
  if (controlId < kFirstId || controlId > kLastId) {
    throw std::out_of_range("no exchanged control has the id " + std::to_string(controlId));
  }
  return static_cast<std::size_t>(controlId - kFirstId);
}

std::string& CMemoryControls::Text(int controlId) {
  return m_texts[IndexOf(controlId)];
}

void CMemoryControls::LearnFields(CEntityDlg& dialog) {
  // The dialog's exchange pairs the same field with each control every time, so it runs
  // once to say which; every exchange after that goes straight to the pairs.
  if (m_boundDialog == &dialog) return;
  m_fields.fill(nullptr);
  CBindingRecorder recorder([this](int controlId, std::string& field) { m_fields[IndexOf(controlId)] = &field; });
  dialog.DoDataExchange(recorder);
  m_boundDialog = &dialog;
}

void CMemoryControls::ExchangeAt(std::size_t index, bool saveAndValidate) {
  std::string* const field = m_fields[index];
  std::string& control = m_texts[index];
  if (!field || control == *field) return;  // nothing to move: most boxes, press after press
  if (saveAndValidate) {
    *field = control;
  } else {
    control = *field;
  }
}

void CMemoryControls::Exchange(CEntityDlg& dialog, bool saveAndValidate) {
  LearnFields(dialog);
  for (std::size_t index = 0; index < kControls; ++index) ExchangeAt(index, saveAndValidate);
}

void CMemoryControls::ExchangeOne(CEntityDlg& dialog, bool saveAndValidate, int controlId) {
  LearnFields(dialog);
  ExchangeAt(IndexOf(controlId), saveAndValidate);
}

void CScriptedServices::Log(const char* event) {
  if (logEvents) events.emplace_back(event);
}

std::optional<std::string> CScriptedServices::ChooseFileToOpen(const FileChooserOptions& options) {
  Log("open chooser");
  openRequests.push_back(options);
  return NextAnswer(openAnswers);
}

std::optional<std::string> CScriptedServices::ChooseFileToSave(const FileChooserOptions& options) {
  Log("save chooser");
  saveRequests.push_back(options);
  return NextAnswer(saveAnswers);
}

std::optional<std::string> CScriptedServices::ChooseMapInArchive(const std::string& archivePath,
                                                                 const std::vector<std::string>& mapNames) {
  Log("map picker");
  mapRequests.emplace_back(archivePath, mapNames);
  return NextAnswer(mapAnswers);
}

void CScriptedServices::MessageBox(const std::string& text) {
  Log("message");
  messages.push_back(text);
  if (onMessage) onMessage(text);
}

void CScriptedServices::UpdateData(bool saveAndValidate) {
  Log(saveAndValidate ? "save" : "load");
  if (searchBoxOnly) {
    controls.ExchangeOne(*dialog, saveAndValidate, IDC_SEARCH);
  } else {
    controls.Exchange(*dialog, saveAndValidate);
  }
}

CHeadlessDialog::CHeadlessDialog() : dialog(services) {
  services.dialog = &dialog;
  dialog.SetStartValues();
}

CommandOutcome CHeadlessDialog::Open(const std::string& path) {
  services.openAnswers.emplace_back(path);
  return dialog.OnOpenBsp();
}

CommandOutcome CHeadlessDialog::Search(const std::string& text) {
  services.controls.Text(IDC_SEARCH) = text;
  return dialog.OnAnalyseEntity();
}

CommandOutcome CHeadlessDialog::CreateList(const std::string& path) {
  services.saveAnswers.emplace_back(path);
  return dialog.OnCreateList();
}

}  // namespace kestrum
