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

/** Runs program with args in folder workingDirectory (the current one when empty). */
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory = {});

}  // namespace kestrum::test
