#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "process.h"
#include "test_files.h"

namespace kestrum::test {

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workingDirectory, StandardOutput output) {
  const TempDir capture;
  const std::string outPath = capture.File("out");
  const std::string errPath = capture.File("err");
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int pipeEnds[2] = {-1, -1};
  if (output == StandardOutput::ClosedPipe) {
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    ::close(pipeEnds[0]);
  }
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int out = output == StandardOutput::ClosedPipe ? pipeEnds[1]
                                                         : ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
    if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  if (output == StandardOutput::ClosedPipe) ::close(pipeEnds[1]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (output == StandardOutput::Captured) result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace kestrum::test
