// What the list export asks of the system, in the few steps its policy (list_target.cpp)
// is made of. list_target_posix.cpp and list_target_win32.cpp carry them out; every
// decision about which step to take stays in list_target.cpp.
#pragma once

#include <optional>
#include <string>

#include "file.h"
#include "file_identity.h"

namespace kestrum::list_system {

/** Where a list path leads. */
struct Destination {
  /** One of the process's own open files, which the path names (a standard stream, say); -1 when none. */
  int descriptor = -1;
  /** Otherwise the file to write or replace: links followed, made full where the system needs it. */
  std::string path;
};

/** Follows the list path to what it names. */
Destination Resolve(const std::string& listPath);

/** What the export needs to know of an existing file. */
struct FileFacts {
  /** Nothing where the system cannot tell one such file from another (a Windows pipe or device). */
  std::optional<FileIdentity> identity;
  /** A regular file on a disk, which a new file can replace; not a pipe, a device or a console. */
  bool replaceable = false;
  /** The permission bits, where the system has them. */
  Permissions permissions = 0;
  /** The owner and the group, where the system has them. */
  FileOwner owner;
};

/** What path names, or nothing when it names nothing that can be examined. */
std::optional<FileFacts> Inspect(const std::string& path);

/** What one of the process's open files is, or nothing when the descriptor is not open. */
std::optional<FileFacts> InspectDescriptor(int descriptor);

/** 0 when this process may write the existing file path, else the system's error for writing it. */
int WriteRefusal(const std::string& path);

/** Gives the replacement what made the replaced file what it was, as far as the system has it. */
void KeepAttributes(CFile& replacement, const FileFacts& replaced);

/** Whether opening an unnamed file failed because the system or the file system has none. */
bool UnnamedFilesUnsupported(int error);

/** Whether creating a file failed because its name is taken. */
bool NameTaken(int error);

/** This process's number, which keeps the temporary names of processes apart. */
unsigned long ProcessId();

/** Puts the file from in the place of the file to, in one step; 0, or the system's error. */
int Replace(const std::string& from, const std::string& to);

/** Removes a file, reporting nothing: the clean-up after a failure. */
void Remove(const std::string& path);

}  // namespace kestrum::list_system
