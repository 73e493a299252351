// A modal dialog run by the system's dialog manager from a dialog resource.
#pragma once

#include "win32_api.h"

namespace kestrum::win32 {

/**
 * What the framework gives every dialog: the window built from the template resource,
 * messages routed to the object, OK and Cancel ending the dialog, the dialog centred
 * over its owner (or the screen) when it opens.
 */
class CModalDialog {
 public:
  explicit CModalDialog(int templateId) : m_templateId(templateId) {}
  virtual ~CModalDialog() = default;
  CModalDialog(const CModalDialog&) = delete;
  CModalDialog& operator=(const CModalDialog&) = delete;

  /** Runs the dialog until it ends; returns its end code, or -1 when it could not be created. */
  INT_PTR DoModal(HWND owner);

  HWND m_hWnd = nullptr;  ///< the window while the dialog runs

 protected:
  virtual BOOL OnInitDialog();
  /** A message the dialog may handle; FALSE leaves it to the dialog manager's default. */
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void OnOK() { ::EndDialog(m_hWnd, IDOK); }
  virtual void OnCancel() { ::EndDialog(m_hWnd, IDCANCEL); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CentreOverOwner() const;

  const int m_templateId;
};

/** The module whose resources the dialogs, strings and icons come from. */
HINSTANCE ResourceModule();

}  // namespace kestrum::win32
