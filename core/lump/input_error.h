// The one kind of failure the commands report to the user and go on from.
#pragma once

#include <stdexcept>
#include <string>

namespace kestrum {

/**
 * Something the user gave cannot be used as a command needs it: a file that cannot be
 * opened, read or written, a map whose entities cannot be read, a damaged archive. The
 * message is worded for the user and names what failed.
 */
class CInputError : public std::runtime_error {
 public:
  explicit CInputError(const std::string& message) : std::runtime_error(message) {}
  /** "\"name\": reason". */
  CInputError(const std::string& name, const std::string& reason) : std::runtime_error("\"" + name + "\": " + reason) {}
};

}  // namespace kestrum
