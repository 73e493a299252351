#include <windows.h>

#include <stdexcept>

#include "command_line_win32.h"
#include "process.h"
#include "test_files.h"
#include "wide_text_win32.h"

namespace kestrum::test {
namespace {

/**
 * One argument quoted for the C runtime's command-line parser: inside quotes, backslashes
 * are literal unless they precede a quote, where they are doubled, and quotes are escaped.
 */
std::wstring QuotedArgument(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

/** A file the child writes its output to; inheritable, so the child gets the handle. */
HANDLE CreateCaptureFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
  return file;
}

/** The writing end of a pipe whose reader is gone; inheritable, so the child gets the handle. */
HANDLE ClosedPipe() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  if (!::CreatePipe(&reader, &writer, &inherit, 0)) throw std::runtime_error("cannot create a pipe");
  ::CloseHandle(reader);
  return writer;
}

}  // namespace

std::wstring CommandLineOf(const std::string& program, const std::vector<std::string>& args) {
  std::wstring commandLine = QuotedArgument(Widen(program));
  for (const std::string& arg : args) commandLine += L" " + QuotedArgument(Widen(arg));
  return commandLine;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory, StandardOutput output) {
  const TempDir capture;
  const std::string outPath = capture.File("out");
  const std::string errPath = capture.File("err");
  std::wstring commandLine = CommandLineOf(program, args);

  const HANDLE out = output == StandardOutput::ClosedPipe ? ClosedPipe() : CreateCaptureFile(outPath);
  const HANDLE err = CreateCaptureFile(errPath);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION child{};
  const std::wstring folder = Widen(workingDirectory);
  const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &startup, &child);
  ::CloseHandle(out);
  ::CloseHandle(err);
  if (!started) throw std::runtime_error("cannot start " + program);
  ::WaitForSingleObject(child.hProcess, INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(child.hProcess, &exitCode);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);

  ProcessResult result;
  result.exitCode = static_cast<int>(exitCode);
  if (output == StandardOutput::Captured) result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace kestrum::test
