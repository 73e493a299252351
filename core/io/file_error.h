// A failed operation on a file, worded for the user.
#pragma once

#include <string>

#include "input_error.h"

namespace kestrum {

/** A failed file operation: the operation, the file and the system's reason. */
class CFileException : public CInputError {
 public:
  /** "Cannot ACTION \"PATH\": the system's text for error". */
  CFileException(const std::string& action, const std::string& path, int error);
  /** "\"PATH\": reason", for a failure that is not the system's. */
  CFileException(const std::string& path, const std::string& reason) : CInputError(path, reason) {}

  /** A map that is a pipe, a device or a socket: reading it could block for ever. */
  static CFileException NotARegularFile(const std::string& path);
  /** A failure worded whole by the caller, with the system's error number, if any. */
  static CFileException WithMessage(const std::string& message, int error);

  /** The system's error number, or 0 when the reason is not the system's. */
  int Error() const { return m_error; }

 private:
  struct WholeMessage {};
  CFileException(WholeMessage, const std::string& message, int error) : CInputError(message), m_error(error) {}

  int m_error = 0;
};

/** The system's text for an error number, as the messages quote it. */
std::string SystemErrorText(int error);

}  // namespace kestrum
