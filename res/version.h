// Version data of the application, shown by the about box and by kestrum-cli --version.
#pragma once

namespace kestrum::version {

inline constexpr const char* kFileVersion = "1, 0, 0, 1";
inline constexpr const char* kProductVersion = "1, 0, 0, 1";
inline constexpr const char* kFileDescription = "Application MFC Kestrum";
inline constexpr const char* kInternalName = "Kestrum";
inline constexpr const char* kOriginalFilename = "Kestrum.EXE";
inline constexpr const char* kProductName = "Application Kestrum";
inline constexpr const char* kCompanyName = "Kestrum developers";
/** What the version block of kestrum-cli.exe says instead of the dialog's three names. */
inline constexpr const char* kCliFileDescription = "Kestrum command line";
inline constexpr const char* kCliInternalName = "kestrum-cli";
inline constexpr const char* kCliOriginalFilename = "kestrum-cli.exe";
inline constexpr const char* kLegalCopyright = "Copyright (C) 2026 Kestrum developers";
/** The line the about box and the command-line tool show. */
inline constexpr const char* kVersionLine = "Kestrum version 1.0";

}  // namespace kestrum::version
