#include "widget_exchange.h"

#include <QLineEdit>

namespace kestrum::shell {

void CWidgetExchange::Text(int controlId, std::string& field) {
  QLineEdit* const edit = m_edits.at(controlId);
  if (m_bSaveAndValidate) {
    const QByteArray bytes = edit->text().toLatin1();
    field.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  } else {
    edit->setText(QString::fromLatin1(field.data(), static_cast<qsizetype>(field.size())));
    edit->setCursorPosition(0);  // show a long value from its start
  }
}

}  // namespace kestrum::shell
