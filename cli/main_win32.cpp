// kestrum-cli.exe: the arguments arrive as UTF-16 and go on as UTF-8, the encoding of
// the program's paths, whatever the ANSI code page; output leaves as bytes, so that
// entity text and JSON are the same as on Linux, line ends included.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "wide_text_win32.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int n = 0; n < argc; ++n) arguments.push_back(kestrum::Narrow(argv[n]));
  std::vector<const char*> utf8Argv;
  for (const std::string& argument : arguments) utf8Argv.push_back(argument.c_str());
  _setmode(_fileno(stdin), _O_BINARY);  // an import's input, CR LF and all
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return kestrum::cli::RunCli(argc, utf8Argv.data(), std::cout, std::cerr);
}
