#include "headless_dialog.h"

#include <stdexcept>

namespace kestrum {
namespace {

class CMemoryExchange final : public CDataExchange {
 public:
  CMemoryExchange(CMemoryControls& controls, bool saveAndValidate)
      : CDataExchange(saveAndValidate), m_controls(controls) {}

  void Text(int controlId, std::string& field) override {
    std::string& control = m_controls.Text(controlId);
    if (control.empty() && field.empty()) return;  // most boxes, press after press
    if (m_bSaveAndValidate) {
      field = control;
    } else {
      control = field;
    }
  }

 private:
  CMemoryControls& m_controls;
};

std::optional<std::string> NextAnswer(std::deque<std::optional<std::string>>& answers) {
  if (answers.empty()) throw std::logic_error("a chooser opened that the script did not expect");
  std::optional<std::string> answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

std::string& CMemoryControls::Text(int controlId) {
  if (controlId < kFirstId || controlId > kLastId) {
    throw std::out_of_range("no exchanged control has the id " + std::to_string(controlId));
  }
  return m_texts[static_cast<std::size_t>(controlId - kFirstId)];
}

void CMemoryControls::Exchange(CEntityDlg& dialog, bool saveAndValidate) {
  CMemoryExchange exchange(*this, saveAndValidate);
  dialog.DoDataExchange(exchange);
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

void CScriptedServices::MessageBox(const std::string& text) {
  Log("message");
  messages.push_back(text);
  if (onMessage) onMessage(text);
}

void CScriptedServices::UpdateData(bool saveAndValidate) {
  Log(saveAndValidate ? "save" : "load");
  controls.Exchange(*dialog, saveAndValidate);
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
