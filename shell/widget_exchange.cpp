#include "widget_exchange.h"

#include <QLineEdit>

#include "windows_1252.h"

namespace kestrum::shell {
namespace {

/** The characters of a Qt text, as the code page's functions take them. */
std::u16string_view CharactersOf(const QString& text) {
  return {QStringView(text).utf16(), static_cast<std::size_t>(text.size())};
}

}  // namespace

void CWidgetExchange::Text(int controlId, std::string& field) {
  QLineEdit* const edit = m_edits.at(controlId);
  if (m_bSaveAndValidate) {
    // The validator keeps every character writable; anything else (set by a program,
    // not typed) is dropped rather than changed into another byte.
    const QString text = edit->text();
    field = windows_1252::BytesOfText(CharactersOf(text));
  } else {
    edit->setText(QString::fromStdU16String(windows_1252::TextOfBytes(field)));
    edit->setCursorPosition(0);  // show a long value from its start
  }
}

QValidator::State CCodePageValidator::validate(QString& input, int& /*position*/) const {
  return windows_1252::IsWritable(CharactersOf(input)) ? Acceptable : Invalid;
}

}  // namespace kestrum::shell
