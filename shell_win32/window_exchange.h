// The data exchange over the dialog's edit boxes.
#pragma once

#include "dialog_services.h"
#include "win32_api.h"

namespace kestrum::win32 {

/**
 * Moves fields to and from the edit boxes of a dialog by control id, through the ANSI
 * calls: the fields hold bytes of the ANSI code page, and the system converts them to
 * and from the characters the boxes show, so every byte comes back as it went in.
 */
class CWindowExchange final : public CDataExchange {
 public:
  CWindowExchange(bool saveAndValidate, HWND dialog) : CDataExchange(saveAndValidate), m_dialog(dialog) {}

  void Text(int controlId, std::string& field) override;

 private:
  const HWND m_dialog;
};

}  // namespace kestrum::win32
