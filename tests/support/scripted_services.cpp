#include "scripted_services.h"

#include "resource.h"

#include <stdexcept>

namespace kestrum::test {
namespace {

std::optional<std::string> NextAnswer(std::deque<std::optional<std::string>>& answers) {
  if (answers.empty()) throw std::logic_error("a chooser opened that the test did not expect");
  std::optional<std::string> answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

std::optional<std::string> ScriptedServices::ChooseFileToOpen(const FileChooserOptions& options) {
  events.emplace_back("open chooser");
  openRequests.push_back(options);
  return NextAnswer(openAnswers);
}

std::optional<std::string> ScriptedServices::ChooseFileToSave(const FileChooserOptions& options) {
  events.emplace_back("save chooser");
  saveRequests.push_back(options);
  return NextAnswer(saveAnswers);
}

void ScriptedServices::MessageBox(const std::string& text) {
  events.emplace_back("message");
  messages.push_back(text);
}

void ScriptedServices::UpdateData(bool saveAndValidate) {
  events.emplace_back(saveAndValidate ? "save" : "load");
  controls.Exchange(*dialog, saveAndValidate);
}

CommandOutcome ScriptedDialog::Open(const std::string& path) {
  services.openAnswers.emplace_back(path);
  return dialog.OnOpenBsp();
}

CommandOutcome ScriptedDialog::Search(const std::string& text) {
  services.controls.Text(IDC_SEARCH) = text;
  return dialog.OnAnalyseEntity();
}

CommandOutcome ScriptedDialog::CreateList(const std::string& path) {
  services.saveAnswers.emplace_back(path);
  return dialog.OnCreateList();
}

}  // namespace kestrum::test
