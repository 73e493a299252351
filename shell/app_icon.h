#pragma once

#include <QIcon>

namespace kestrum::shell {

/** The application icon IDI_MAIN, with its 32 x 32 and 16 x 16 images. */
QIcon LoadMainIcon();

}  // namespace kestrum::shell
