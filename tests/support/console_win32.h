// A console for a program that a test runs on Windows, read back as the user would see it.
#pragma once

#include <string>
#include <vector>

namespace kestrum::test {

struct ConsoleResult {
  int exitCode = -1;
  std::string shown;  ///< the console's characters in UTF-8, a line each, trailing spaces dropped
};

/**
 * Runs program with args in workingDirectory, its output and errors both on a console of
 * its own whose output code page is codePage, and reads back what the console shows.
 */
ConsoleResult RunOnConsole(const std::string& program, const std::vector<std::string>& args,
                           const std::string& workingDirectory, unsigned codePage);

}  // namespace kestrum::test
