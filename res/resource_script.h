// The Windows resource scripts of Kestrum.exe and kestrum-cli.exe, written from the
// resources as data: the dialog templates, the string table and the version data.
// res/kestrum.rc and res/kestrum-cli.rc are their output, kept in the repository so that a
// cross build needs no tool of the build machine.
#pragma once

#include <string>

namespace kestrum::res {

/** The text of res/kestrum.rc. */
std::string ResourceScript();

/** The text of res/kestrum-cli.rc: the icon, the version block and the manifest of kestrum-cli.exe. */
std::string CliResourceScript();

}  // namespace kestrum::res
