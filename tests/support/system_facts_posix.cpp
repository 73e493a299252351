#include <sys/stat.h>
#include <unistd.h>

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

CIdlePipe::CIdlePipe(const std::string& folder) : m_path(folder + "/pipe.bsp") {
  if (::mkfifo(m_path.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + m_path);
}

CIdlePipe::~CIdlePipe() {
  ::unlink(m_path.c_str());
}

}  // namespace kestrum::test
