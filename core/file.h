// The file object of the entity commands: a path-named file opened for one command,
// read or written through a buffer, on POSIX or Windows calls (file_posix.cpp, file_win32.cpp).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrum {

class CMapBytes;

/** A failed file operation, worded for the user: the operation, the file and the system's reason. */
class CFileException : public std::runtime_error {
 public:
  CFileException(const std::string& action, const std::string& path, int error);
  CFileException(const std::string& path, const std::string& reason);

  /** A map that is a pipe, a device or a socket: reading it could block for ever. */
  static CFileException NotARegularFile(const std::string& path);
  /** A failure worded whole by the caller, with the system's error number, if any. */
  static CFileException WithMessage(const std::string& message, int error);

  /** The system's error number, or 0 when the reason is not the system's. */
  int Error() const { return m_error; }

 private:
  struct WholeMessage {};
  CFileException(WholeMessage, const std::string& message, int error) : std::runtime_error(message), m_error(error) {}

  int m_error = 0;
};

/**
 * One open file at a time. Reads go through a read-ahead buffer, so that stepping
 * through entities with many small reads and seeks costs few system calls; writes are
 * collected and handed to the system in large blocks. Every failure throws
 * CFileException naming the file.
 */
class CFile {
 public:
  enum class Mode {
    Read,         ///< an existing regular file, positioned at offset 0
    CreateWrite,  ///< create, or empty an existing file, for writing
    CreateNew,    ///< create a file that must not exist yet, for writing
    /**
     * Create a file without a name in the folder path, for writing. It vanishes when
     * closed, or when the process ends however it ends, unless GiveName names it first.
     */
    CreateUnnamed,
  };
  enum class SeekFrom { Begin, Current };

  CFile() = default;
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  /**
   * @param permissions for the created modes: the mode bits before the umask.
   * @param nameInMessages the name errors give the file, when the user knows it by
   *        another (a temporary file written in place of the list); the path by default.
   */
  void Open(const std::string& path, Mode mode, mode_t permissions = 0666, const std::string& nameInMessages = {});
  /**
   * Opens held bytes for reading, as if they were a file called name: a map taken from
   * an archive, or a map file held open for many commands.
   */
  void OpenHeld(const std::string& name, std::shared_ptr<const CMapBytes> bytes);
  /** Writes to a descriptor the process already has (its standard output, say), left open after Close. */
  void OpenDescriptor(int descriptor, const std::string& name);
  bool IsOpen() const { return m_descriptor >= 0 || m_memory != nullptr; }

  /** Sets a written file's permission bits exactly, whatever the umask took from them. */
  void SetPermissions(mode_t permissions);
  /** Writes out what is pending and gives a file opened with CreateUnnamed the name path. */
  void GiveName(const std::string& path);
  const std::string& GetFilePath() const { return m_path; }

  /**
   * Positions a file opened for reading; an offset at or past the end is accepted. A file
   * opened for writing is written from its start to its end and cannot be positioned.
   */
  void Seek(std::int64_t offset, SeekFrom from = SeekFrom::Begin);
  std::int64_t GetLength() const;
  std::int64_t GetPosition() const { return m_position; }
  /** Reads up to count bytes; fewer only where the file ends, 0 at or past its end. */
  std::size_t Read(void* buffer, std::size_t count);
  /**
   * Reads up to count bytes at offset straight from the file, past the read-ahead buffer,
   * for callers that keep blocks of their own: they get the file as it is now. Fewer
   * only where the file ends. The position does not move.
   */
  std::size_t ReadUnbuffered(std::int64_t offset, void* buffer, std::size_t count);

  /** Writes all bytes at the position, the end of what was written so far. */
  void Write(const void* data, std::size_t count);

  /** Writes out what is pending and closes; throws when either fails. */
  void Close();
  /** Closes without reporting errors, dropping pending writes: the path of a failed command. */
  void Abort();

 private:
  void Adopt(int descriptor, const std::string& name, bool writing);
  std::size_t ReadAt(std::int64_t offset, char* buffer, std::size_t count);
  // The system's part of reading, in file_posix.cpp or file_win32.cpp.
  std::int64_t LengthFromSystem() const;
  std::size_t ReadFromSystem(std::int64_t offset, char* buffer, std::size_t count);
  /** Writes some of the bytes (at least one) and says how many; throws when the system fails. */
  std::size_t WriteToSystem(const char* data, std::size_t count);
  /** Closes the system's file; 0, or the system's error number. */
  static int CloseSystemFile(int descriptor);
  void Flush();

  static constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

  int m_descriptor = -1;
  std::shared_ptr<const CMapBytes> m_memory;  ///< the bytes of a file opened with OpenHeld
  std::string m_path;
  std::int64_t m_position = 0;
  std::vector<char> m_buffer;
  std::int64_t m_bufferOffset = 0;  ///< file offset of m_buffer[0] when reading
  std::size_t m_bufferLength = 0;   ///< valid read bytes, or pending write bytes
  bool m_writing = false;
};

}  // namespace kestrum

namespace kestrum {

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
