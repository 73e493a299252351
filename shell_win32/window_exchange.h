// The data exchange over the dialog's edit boxes.
#pragma once

#include "dialog_services.h"
#include "win32_api.h"

namespace kestrum::win32 {

/**
 * Moves fields to and from the edit boxes of a dialog by control id. The fields hold map
 * bytes, shown as their characters in Windows-1252 whatever the system's ANSI code page,
 * so that every byte comes back as it went in and the boxes show what the README says.
 */
class CWindowExchange final : public CDataExchange {
 public:
  CWindowExchange(bool saveAndValidate, HWND dialog) : CDataExchange(saveAndValidate), m_dialog(dialog) {}

  void Text(int controlId, std::string& field) override;

 private:
  const HWND m_dialog;
};

}  // namespace kestrum::win32
