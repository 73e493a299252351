#pragma once

#include <QIcon>

namespace kestrum::shell {

/** The application icon IDI_MAIN, with its 32 x 32 and 16 x 16 images. */
QIcon LoadMainIcon();

inline constexpr int kIconSize = 32;  ///< the system's icon size, for painting the minimised window

}  // namespace kestrum::shell
