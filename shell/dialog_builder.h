// Qt widgets built from a dialog template.
#pragma once

#include <QFont>
#include <QIcon>
#include <vector>

#include "dialog_templates.h"

class QDialog;
class QWidget;

namespace kestrum::shell {

/** The property that holds each built control's id (-1 for labels and icons). */
inline constexpr const char* kControlIdProperty = "controlId";

/** The template's font, or the platform's sans-serif UI font at the same size where it is absent. */
QFont DialogFont(const res::DialogTemplate& dialogTemplate);

/**
 * Gives the dialog the template's title, font and fixed size and creates its controls,
 * placed in pixels converted from dialog units with the font's metrics. Returns the
 * controls in template order, which is also the tab order; labels take no focus.
 */
std::vector<QWidget*> BuildDialog(QDialog& dialog, const res::DialogTemplate& dialogTemplate, const QIcon& icon);

}  // namespace kestrum::shell
