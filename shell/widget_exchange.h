// The data exchange over the dialog's edit boxes.
#pragma once

#include "dialog_services.h"

#include <map>

class QLineEdit;

namespace kestrum::shell {

/**
 * Moves fields to and from edit boxes by control id. Fields hold bytes and boxes hold
 * characters: each byte is the character of the same value (Latin-1), both ways, so a
 * typed text reaches the search byte for byte. Characters beyond U+00FF have no byte and
 * arrive as "?".
 */
class CWidgetExchange final : public CDataExchange {
 public:
  CWidgetExchange(bool saveAndValidate, const std::map<int, QLineEdit*>& edits)
      : CDataExchange(saveAndValidate), m_edits(edits) {}

  void Text(int controlId, std::string& field) override;

 private:
  const std::map<int, QLineEdit*>& m_edits;
};

}  // namespace kestrum::shell
