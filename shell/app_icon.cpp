#include "app_icon.h"

// Resources compiled into a static library must be registered by hand.
static void RegisterShellResources() {
  Q_INIT_RESOURCE(resources);
}

namespace kestrum::shell {

QIcon LoadMainIcon() {
  RegisterShellResources();
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/kestrum-32.xpm"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/icons/kestrum-16.xpm"), QSize(16, 16));
  return icon;
}

}  // namespace kestrum::shell
