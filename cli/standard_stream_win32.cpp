#include "standard_stream_win32.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "utf8_split.h"
#include "wide_text_win32.h"

namespace kestrum::cli {
namespace {

bool IsConsoleHandle(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != 0;
}

/**
 * errno for a failed write: a pipe with no reader left is EPIPE, as on Linux. Windows
 * says so in three ways, depending on how the pipe was made and who closed it (under
 * Wine, a Linux pipe whose reader is gone is "not connected").
 */
int ErrnoOfWriteError(DWORD error) {
  switch (error) {
    case ERROR_NO_DATA:
    case ERROR_BROKEN_PIPE:
    case ERROR_PIPE_NOT_CONNECTED: return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    default: return EIO;
  }
}

}  // namespace

CStandardStreamBuf::CStandardStreamBuf(void* handle) : m_handle(handle), m_console(IsConsoleHandle(handle)) {
  setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

CStandardStreamBuf::~CStandardStreamBuf() {
  Flush(false);
}

CStandardStreamBuf::int_type CStandardStreamBuf::overflow(int_type c) {
  if (!Flush(true)) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int CStandardStreamBuf::sync() {
  return Flush(true) ? 0 : -1;
}

bool CStandardStreamBuf::Flush(bool wholeCharactersOnly) {
  const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
  const std::size_t ready = m_console && wholeCharactersOnly ? LengthOfWholeCharacters({pbase(), pending}) : pending;
  const bool written = m_console ? WriteToConsole(pbase(), ready) : WriteBytes(pbase(), ready);
  // What could not be written is dropped, as the C library drops it: the caller has
  // learnt of the failure and ends the run.
  const std::size_t kept = written ? pending - ready : 0;
  std::memmove(m_buffer.data(), pbase() + ready, kept);
  setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
  pbump(static_cast<int>(kept));
  return written;
}

bool CStandardStreamBuf::WriteBytes(const char* bytes, std::size_t count) {
  while (count > 0) {
    DWORD written = 0;
    if (!::WriteFile(m_handle, bytes, static_cast<DWORD>(count), &written, nullptr)) {
      errno = ErrnoOfWriteError(::GetLastError());
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

bool CStandardStreamBuf::WriteToConsole(const char* utf8, std::size_t count) {
  const std::wstring text = Widen({utf8, count});
  for (std::size_t done = 0; done < text.size();) {
    DWORD written = 0;
    if (!::WriteConsoleW(m_handle, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr)) {
      errno = ErrnoOfWriteError(::GetLastError());
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace kestrum::cli
