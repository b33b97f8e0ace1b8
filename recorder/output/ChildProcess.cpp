#include "recorder/output/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace zorvel {

namespace {

// How much of the child's standard error is kept: its last lines.
constexpr std::size_t kKeptErrorBytes = 8192;

void closeIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

Result<std::unique_ptr<ChildProcess>> ChildProcess::start(const std::string& program,
                                                          const std::vector<std::string>& arguments, bool fed) {
  std::unique_ptr<ChildProcess> process(new ChildProcess);
  int input[2] = {-1, -1}, errors[2] = {-1, -1};
  const auto cannotStart = [&](int code) {
    for (int fd : {input[0], input[1], errors[0], errors[1]}) closeIfOpen(fd);
    return failure(FailureKind::CannotWrite, "cannot start " + program + ": " + std::strerror(code));
  };
  if ((fed && ::pipe2(input, O_CLOEXEC) != 0) || ::pipe2(errors, O_CLOEXEC) != 0) return cannotStart(errno);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (fed)
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&process->child_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  closeIfOpen(input[0]);
  closeIfOpen(errors[1]);
  if (spawned != 0) {
    process->child_ = -1;
    return cannotStart(spawned);
  }
  process->input_ = input[1];
  process->errors_ = errors[0];
  ChildProcess* const self = process.get();
  process->reader_ = std::thread([self] {
    char chunk[4096];
    for (ssize_t got; (got = ::read(self->errors_, chunk, sizeof chunk)) != 0;) {
      if (got < 0) {
        if (errno == EINTR) continue;
        break;
      }
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->said_.append(chunk, static_cast<std::size_t>(got));
      if (self->said_.size() > kKeptErrorBytes) self->said_.erase(0, self->said_.size() - kKeptErrorBytes);
    }
  });
  return process;
}

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::feed(const std::uint8_t* data, std::size_t size) {
  return input_ >= 0 && writeAll(input_, data, size);
}

Result<void> ChildProcess::wait() {
  closeIfOpen(input_);
  if (child_ < 0) return failure(FailureKind::CannotWrite, "the program has ended already");
  int status = 0;
  while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
  }
  child_ = -1;
  // Its standard error ends with it.
  if (reader_.joinable()) reader_.join();
  closeIfOpen(errors_);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  const std::string line = lastErrorLine();
  if (!line.empty()) return failure(FailureKind::CannotWrite, line);
  return failure(FailureKind::CannotWrite, WIFSIGNALED(status)
                                               ? "it was ended by signal " + std::to_string(WTERMSIG(status))
                                               : "it ended with status " + std::to_string(WEXITSTATUS(status)));
}

void ChildProcess::stop() {
  closeIfOpen(input_);
  if (child_ >= 0) {
    ::kill(child_, SIGTERM);
    int status = 0;
    while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
  }
  if (reader_.joinable()) reader_.join();
  closeIfOpen(errors_);
}

std::string ChildProcess::lastErrorLine() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t end = said_.size();
  while (end > 0 && (said_[end - 1] == '\n' || said_[end - 1] == '\r' || said_[end - 1] == ' ')) --end;
  const std::size_t start = said_.rfind('\n', end == 0 ? 0 : end - 1);
  return said_.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

std::string findProgram(const std::string& name, const char* path) {
  if (!path) return "";
  const std::string folders = path;
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    struct stat info {};
    if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return "";
}

}  // namespace zorvel
