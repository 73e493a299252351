// Runs a built executable and captures what it printed.
#pragma once

#include <string>
#include <vector>

namespace kestrum::test {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

/** Where a program's standard output goes. */
enum class StandardOutput {
  Captured,    ///< a file, read into ProcessResult::out
  ClosedPipe,  ///< a pipe whose reader has already closed it, as head does once it has its lines
};

/** Runs program with args in folder workingDirectory (the current one when empty). */
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory = {}, StandardOutput output = StandardOutput::Captured);

}  // namespace kestrum::test
