#include "cli.h"
#include "progress_line.h"

#include <iostream>

int main(int argc, char** argv) {
  return kestrum::cli::RunCli(argc, argv, std::cout, std::cerr, kestrum::cli::ErrorStreamIsTerminal());
}
