#include "app_icon.h"

namespace kestrum::shell {

QIcon LoadMainIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/kestrum-32.xpm"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/icons/kestrum-16.xpm"), QSize(16, 16));
  return icon;
}

}  // namespace kestrum::shell
