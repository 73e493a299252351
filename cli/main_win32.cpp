// kestrum-cli.exe: the arguments arrive as UTF-16 and go on as UTF-8, the encoding of
// the program's paths, whatever the ANSI code page. Output leaves as bytes, so that
// entity text and JSON are the same as on Linux, line ends included, except on a
// console, which is given the same text in UTF-16.
#include <windows.h>
// _setmode and its modes, after the types of windows.h.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli.h"
#include "standard_stream_win32.h"
#include "wide_text_win32.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int n = 0; n < argc; ++n) arguments.push_back(kestrum::Narrow(argv[n]));
  std::vector<const char*> utf8Argv;
  for (const std::string& argument : arguments) utf8Argv.push_back(argument.c_str());
  _setmode(_fileno(stdin), _O_BINARY);  // an import's input, CR LF and all
  kestrum::cli::CStandardStreamBuf outBuffer(::GetStdHandle(STD_OUTPUT_HANDLE));
  kestrum::cli::CStandardStreamBuf errBuffer(::GetStdHandle(STD_ERROR_HANDLE));
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  return kestrum::cli::RunCli(argc, utf8Argv.data(), out, err);
}
