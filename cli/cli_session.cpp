#include "cli_session.h"

#include "resource.h"

#include <ostream>

namespace kestrum::cli {

std::optional<std::string> CCliServices::ChooseFileToOpen(const FileChooserOptions&) { return m_openAnswer; }

std::optional<std::string> CCliServices::ChooseFileToSave(const FileChooserOptions&) { return m_saveAnswer; }

void CCliServices::MessageBox(const std::string& text) { m_err << "kestrum-cli: " << text << '\n'; }

void CCliServices::UpdateData(bool saveAndValidate) { m_controls.Exchange(*m_dialog, saveAndValidate); }

CCliSession::CCliSession(std::ostream& err) : m_services(err), m_dialog(m_services) {
  m_services.Attach(m_dialog);
  m_dialog.SetStartValues();
}

CommandOutcome CCliSession::OpenBsp(const std::string& bspPath) {
  m_services.m_openAnswer = bspPath;
  return m_dialog.OnOpenBsp();
}

CommandOutcome CCliSession::CreateList(const std::string& listPath) {
  m_services.m_saveAnswer = listPath;
  return m_dialog.OnCreateList();
}

CommandOutcome CCliSession::AnalyseEntity(const std::string& searchText) {
  m_services.m_controls.Text(IDC_SEARCH) = searchText;
  return m_dialog.OnAnalyseEntity();
}

}  // namespace kestrum::cli
