// The data exchange over the dialog's edit boxes.
#pragma once

#include <QValidator>
#include <map>

#include "dialog_services.h"

class QLineEdit;

namespace kestrum::shell {

/**
 * Moves fields to and from edit boxes by control id. Fields hold bytes and boxes hold
 * characters: each byte is its character in the Windows Western code page, both ways,
 * so a typed text reaches the search byte for byte.
 */
class CWidgetExchange final : public CDataExchange {
 public:
  CWidgetExchange(bool saveAndValidate, const std::map<int, QLineEdit*>& edits)
      : CDataExchange(saveAndValidate), m_edits(edits) {}

  void Text(int controlId, std::string& field) override;

 private:
  const std::map<int, QLineEdit*>& m_edits;
};

/**
 * Refuses, as it is typed or pasted, a character that the code page cannot write: it
 * would reach the record as some other byte, and a search would look for a text the
 * user never typed.
 */
class CCodePageValidator final : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

}  // namespace kestrum::shell
