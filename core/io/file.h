// The file object: a path-named system file, read at offsets or written in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_source.h"
#include "file_error.h"

namespace kestrum {

/** The system's own handle of an open file: a descriptor on POSIX, a HANDLE on Windows. */
#ifdef _WIN32
using NativeFile = void*;
inline const NativeFile kNoFile = nullptr;
#else
using NativeFile = int;
inline constexpr NativeFile kNoFile = -1;
#endif

/**
 * What tells a file's bytes from those it has after it is written: its length and when
 * it was last written. A file cut and regrown to its old length keeps the one, not the
 * other (unless both happen within the system's clock tick).
 */
struct FileStamp {
  std::int64_t length = 0;
  std::int64_t lastWrite = 0;  ///< in the system's own units
  bool operator==(const FileStamp& other) const { return length == other.length && lastWrite == other.lastWrite; }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

/** Permission bits for a created file (before the umask), where the system has them. */
using Permissions = unsigned;

/** Who owns a file, where the system has owners: the user's and the group's numbers. */
struct FileOwner {
  static constexpr std::uint32_t kUnchanged = 0xFFFFFFFFu;  ///< leaves the user or the group as it is
  std::uint32_t user = 0;
  std::uint32_t group = 0;
};

/**
 * One open file at a time. A file opened for reading is a byte source, read at any
 * offset straight from the system; readers that read the same bytes often keep blocks of
 * their own (CBlockCache). Writes are collected and handed to the system in large
 * blocks, from the file's start to its end. Every failure throws CFileException naming
 * the file. The system calls are in file_posix.cpp and file_win32.cpp.
 */
class CFile final : public IByteSource {
 public:
  enum class Mode {
    Read,         ///< an existing regular file
    CreateWrite,  ///< create, or empty an existing file, for writing
    CreateNew,    ///< create a file that must not exist yet, for writing (and reading back)
    /**
     * Create a file without a name in the folder path, for writing (and reading back). It vanishes when
     * closed, or when the process ends however it ends, unless GiveName names it first.
     */
    CreateUnnamed,
  };

  CFile() = default;
  ~CFile() override;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  /**
   * @param permissions for the created modes: the mode bits before the umask.
   * @param nameInMessages the name errors give the file, when the user knows it by
   *        another (a temporary file written in place of the list); the path by default.
   */
  void Open(const std::string& path, Mode mode, Permissions permissions = 0666, const std::string& nameInMessages = {});
  /** Writes to a descriptor the process already has (its standard output, say), left open after Close. */
  void OpenDescriptor(int descriptor, const std::string& name);
  bool IsOpen() const { return m_file != kNoFile; }

  /** Sets a written file's permission bits exactly, whatever the umask took from them. */
  void SetPermissions(Permissions permissions);
  /** Gives a written file another owner or group; whether the system let this process do it. */
  bool TrySetOwner(const FileOwner& owner);
  /** Writes out what is pending and gives a file opened with CreateUnnamed the name path. */
  void GiveName(const std::string& path);
  const std::string& GetFilePath() const { return m_path; }

  // Reading, as a byte source: the file as it is now, with its length of this moment.
  const std::string& Name() const override { return m_path; }
  std::int64_t Size() const override { return GetLength(); }
  std::size_t ReadAt(std::int64_t offset, char* out, std::size_t count) const override;
  /** A file opened for reading: throws when its stamp is no longer the one it had when opened. */
  void ThrowIfChanged() const override;
  std::int64_t GetLength() const;

  /** Writes all bytes after those written before. */
  void Write(const void* data, std::size_t count);
  /**
   * Hands the pending writes to the system, so that a file created by this object can be
   * read back (a written map is checked before it replaces the original).
   */
  void Flush();

  /** Writes out what is pending and closes; throws when either fails. */
  void Close();
  /** Closes without reporting errors, dropping pending writes: the path of a failed command. */
  void Abort();

 private:
  void Adopt(NativeFile file, const std::string& name, bool writing);
  // The system's part, in file_posix.cpp or file_win32.cpp.
  std::int64_t LengthFromSystem() const;
  FileStamp StampFromSystem() const;
  /** Reads some of the bytes at offset; 0 only at or past the end. */
  std::size_t ReadFromSystem(std::int64_t offset, char* buffer, std::size_t count) const;
  /** Writes some of the bytes (at least one) and says how many; throws when the system fails. */
  std::size_t WriteToSystem(const char* data, std::size_t count);
  /** Closes the system's file; 0, or the system's error number. */
  static int CloseSystemFile(NativeFile file);

  static constexpr std::size_t kWriteBufferSize = std::size_t{64} * 1024;

  NativeFile m_file = kNoFile;
  std::string m_path;
  std::vector<char> m_writeBuffer;
  std::size_t m_pending = 0;  ///< bytes of m_writeBuffer not yet handed to the system
  bool m_writing = false;
  FileStamp m_openedStamp;  ///< of a file opened for reading
};

/**
 * Closes a command's file however the command ends. The record keeps its file objects
 * between commands, so they are not closed by going out of scope.
 */
class AbortOnExit {
 public:
  explicit AbortOnExit(CFile& file) : m_file(file) {}
  ~AbortOnExit() { m_file.Abort(); }
  AbortOnExit(const AbortOnExit&) = delete;
  AbortOnExit& operator=(const AbortOnExit&) = delete;

 private:
  CFile& m_file;
};

}  // namespace kestrum
