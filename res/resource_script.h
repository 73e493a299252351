// The Windows resource script of Kestrum.exe, written from the resources as data: the
// dialog templates, the string table and the version data. res/kestrum.rc is its output,
// kept in the repository so that a cross build needs no tool of the build machine.
#pragma once

#include <string>

namespace kestrum::res {

/** The text of res/kestrum.rc. */
std::string ResourceScript();

}  // namespace kestrum::res
