#pragma once

// A program run as a child process: its standard input fed through a pipe (or read from
// /dev/null), its standard output thrown away, and its standard error kept in memory,
// the last few kilobytes of it, so that the program's own reason for failing can be
// told; nothing of it is written to a disk that may be full. Owns the child, its pipes
// and the thread that reads its standard error; not copyable.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Result.h"

namespace zorvel {

class ChildProcess {
 public:
  // Starts `program` (a path) with `arguments`, its standard input a pipe fed through
  // feed() when `fed`, else /dev/null; or why it could not be started.
  static Result<std::unique_ptr<ChildProcess>> start(const std::string& program,
                                                     const std::vector<std::string>& arguments, bool fed);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Writes all of `size` bytes to its standard input; false when it takes no more.
  bool feed(const std::uint8_t* data, std::size_t size);

  // Ends its input and waits for it to end: success when it exits with status 0, else
  // the last line it wrote on its standard error (or how it ended, when it wrote none).
  Result<void> wait();

  // Ends it at once.
  void stop();

 private:
  ChildProcess() = default;
  std::string lastErrorLine() const;

  pid_t child_ = -1;
  int input_ = -1;
  int errors_ = -1;  // the read end of its standard error
  std::thread reader_;
  mutable std::mutex mutex_;
  std::string said_;  // the end of what it wrote on its standard error
};

// Writes all of `size` bytes to the open file `fd`, again where a signal cut a write
// short; false on an error (errno says which).
bool writeAll(int fd, const std::uint8_t* data, std::size_t size);

// The folder of `path` that holds `name`, when `name` is found on `path` (a list of
// folders separated by colons) as a file that can be run; empty when it is not.
std::string findProgram(const std::string& name, const char* path);

}  // namespace zorvel
