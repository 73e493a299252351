#include "widget_exchange.h"

#include <QLineEdit>

#include "windows_1252.h"

namespace kestrum::shell {

void CWidgetExchange::Text(int controlId, std::string& field) {
  QLineEdit* const edit = m_edits.at(controlId);
  if (m_bSaveAndValidate) {
    const QString text = edit->text();
    field.clear();
    field.reserve(static_cast<std::size_t>(text.size()));
    // The validator keeps every character writable; anything else (set by a program,
    // not typed) is dropped rather than changed into another byte.
    for (const QChar character : text) {
      if (const auto byte = ByteOfCharacter(character.unicode())) field.push_back(static_cast<char>(*byte));
    }
  } else {
    QString text(static_cast<qsizetype>(field.size()), Qt::Uninitialized);
    for (std::size_t n = 0; n < field.size(); ++n) {
      text[static_cast<qsizetype>(n)] = QChar(CharacterOfByte(static_cast<unsigned char>(field[n])));
    }
    edit->setText(text);
    edit->setCursorPosition(0);  // show a long value from its start
  }
}

QValidator::State CCodePageValidator::validate(QString& input, int& /*position*/) const {
  for (const QChar character : input) {
    if (!ByteOfCharacter(character.unicode())) return Invalid;
  }
  return Acceptable;
}

}  // namespace kestrum::shell
