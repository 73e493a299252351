#include "console_win32.h"

#include <windows.h>

#include <stdexcept>

#include "command_line_win32.h"
#include "wide_text_win32.h"

namespace kestrum::test {
namespace {

/**
 * Gives the test process a console of its own, once, which the programs it starts share.
 * Making a console resets the standard handles: the test's are put back, so that its
 * report still reaches ctest. The console stays until the process ends: freeing it
 * would take the test's standard output with it (so Wine does).
 */
void HaveAConsole() {
  static const bool made = [] {
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    ::FreeConsole();  // a hidden one, which the process may have been given, shows nothing
    const bool allocated = ::AllocConsole() != 0;
    ::SetStdHandle(STD_INPUT_HANDLE, in);
    ::SetStdHandle(STD_OUTPUT_HANDLE, out);
    ::SetStdHandle(STD_ERROR_HANDLE, err);
    return allocated;
  }();
  if (!made) throw std::runtime_error("cannot make a console");
}

/** A fresh screen of the console, empty, for one program to write on. */
class CScreen {
 public:
  CScreen() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    m_screen = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                           CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (m_screen == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a console screen");
  }
  ~CScreen() { ::CloseHandle(m_screen); }
  CScreen(const CScreen&) = delete;
  CScreen& operator=(const CScreen&) = delete;

  HANDLE Handle() const { return m_screen; }

  std::string Shown() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(m_screen, &info)) throw std::runtime_error("cannot read the console");
    std::string shown;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
      std::wstring line(static_cast<std::size_t>(info.dwSize.X), L' ');
      DWORD read = 0;
      ::ReadConsoleOutputCharacterW(m_screen, line.data(), static_cast<DWORD>(line.size()), COORD{0, row}, &read);
      line.resize(read);
      line.erase(line.find_last_not_of(L' ') + 1);
      shown += Narrow(line) + "\n";
    }
    return shown;
  }

 private:
  HANDLE m_screen = INVALID_HANDLE_VALUE;
};

}  // namespace

ConsoleResult RunOnConsole(const std::string& program, const std::vector<std::string>& args,
                           const std::string& workingDirectory, unsigned codePage) {
  HaveAConsole();
  ::SetConsoleOutputCP(codePage);
  const CScreen screen;
  std::wstring commandLine = CommandLineOf(program, args);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = screen.Handle();
  startup.hStdError = screen.Handle();
  PROCESS_INFORMATION child{};
  const std::wstring folder = Widen(workingDirectory);
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &child)) {
    throw std::runtime_error("cannot start " + program);
  }
  ::WaitForSingleObject(child.hProcess, INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(child.hProcess, &exitCode);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  return {static_cast<int>(exitCode), screen.Shown()};
}

}  // namespace kestrum::test
