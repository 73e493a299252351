// kestrum-cli: the entity commands for scripts.
#pragma once

#include <iostream>

namespace kestrum::cli {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitNothingFound = 1,
  kExitUsage = 2,
  kExitFileError = 3,
  kExitDamagedMap = 4,  ///< the results were given, but the map's entities are damaged
};

/**
 * Parses the command line and runs the command; returns the process's exit code.
 * errIsTerminal: err is a terminal, where a long run may show its progress. in is what
 * "-" names as an import's input. No exception leaves it: one that nothing else caught
 * is reported on err, with status 3.
 */
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal = false,
           std::istream& in = std::cin);

}  // namespace kestrum::cli
