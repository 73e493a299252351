#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "system_facts.h"

namespace kestrum::test {

const SystemReasons& Reasons() {
  static const SystemReasons kReasons{
      "No such file or directory", "No such file or directory", "Is a directory",           "Permission denied",
      "Input/output error",        "No space left on device",   "Invalid cross-device link"};
  return kReasons;
}

std::string FullDevice() {
  return "/dev/full";
}

std::string NullDevice() {
  return "/dev/null";
}

void LinkTo(const std::string& target, const std::string& link) {
  if (::symlink(target.c_str(), link.c_str()) != 0) throw std::runtime_error("cannot link " + link);
}

bool MakeUnreadable(const std::string& path) {
  ::chmod(path.c_str(), 0);
  return ::access(path.c_str(), R_OK) != 0;
}

bool HasPermissionBits() {
  return true;
}

CStandardOutputTo::CStandardOutputTo(const std::string& path, Opening opening) : m_saved(::dup(STDOUT_FILENO)) {
  const int descriptor = ::open(path.c_str(), opening == Opening::Append ? O_WRONLY | O_APPEND : O_RDWR);
  if (descriptor < 0) throw std::runtime_error("cannot open " + path);
  std::fflush(stdout);
  ::dup2(descriptor, STDOUT_FILENO);
  ::close(descriptor);
}

CStandardOutputTo::~CStandardOutputTo() {
  std::fflush(stdout);
  ::dup2(m_saved, STDOUT_FILENO);
  ::close(m_saved);
}

CIdlePipe::CIdlePipe(const std::string& folder) : m_path(folder + "/pipe.bsp") {
  if (::mkfifo(m_path.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + m_path);
}

CIdlePipe::~CIdlePipe() {
  ::unlink(m_path.c_str());
}

}  // namespace kestrum::test
