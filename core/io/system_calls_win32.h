// The Windows calls behind CFile and the list export (the table of system_calls.h). A
// failing call sets the thread's last error, as the system does. The types are spelled
// out so that this header does not bring <windows.h> and its macros into the code that
// includes it.
#pragma once

#include <cstdint>

#include "file_identity.h"

namespace kestrum {

/** What the list export needs to know of an existing file. */
struct FileInformation {
  FileIdentity identity;
  bool readOnly = false;        ///< write-protected: the read-only attribute
  std::uint64_t lastWrite = 0;  ///< when it was last written, in the system's 100 ns units
};

enum class FileOpening { Read, CreateAlways, CreateNew, Inspect };

struct SystemCalls {
  /** CreateFileW; the handle, or nullptr. Inspect opens without access, to learn what a path names. */
  void* (*createFile)(const wchar_t* path, FileOpening opening);
  /** ReadFile at an offset; false on failure, 0 bytes at or past the end. */
  bool (*readAt)(void* file, void* buffer, std::uint32_t count, std::int64_t offset, std::uint32_t* got);
  /** WriteFile at the file's position. */
  bool (*write)(void* file, const void* data, std::uint32_t count, std::uint32_t* put);
  bool (*fileSize)(void* file, std::int64_t* size);
  bool (*information)(void* file, FileInformation* information);
  /** Whether the file is a file on a disk, not a console, a pipe or a device. */
  bool (*isDiskFile)(void* file);
  bool (*closeHandle)(void* file);
  /** MoveFileExW, replacing an existing target. */
  bool (*replaceFile)(const wchar_t* from, const wchar_t* to);
  bool (*deleteFile)(const wchar_t* path);
};

}  // namespace kestrum
