#include "recorder/FrameSink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace zorvel {

namespace {

namespace fs = std::filesystem;

// Writes all of `size` bytes to `fd`; false on an error (errno says which).
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

std::string systemWords() { return std::strerror(errno); }

Failure cannotWrite(const std::string& why) { return failure(FailureKind::CannotWrite, why); }

// A file's name as ffmpeg is to read it: with its file protocol named, so that no name
// is taken for another protocol ("take:2.mp4") or for an option ("-y.mp4").
std::string forFfmpeg(const std::string& path) { return "file:" + path; }

// Frames on standard output, as they come.
class RawFrames : public FrameSink {
 public:
  Result<void> put(const std::vector<std::uint8_t>& rgb) override {
    if (writeAll(STDOUT_FILENO, rgb.data(), rgb.size())) return {};
    return cannotWrite("standard output took no more frames: " + systemWords());
  }
  Result<void> finish() override { return {}; }
  void abandon() override {}
};

// One run of ffmpeg: its arguments, its standard error kept in a file, and when it
// reads frames, the pipe to its standard input.
class FfmpegRun {
 public:
  FfmpegRun(std::string program, std::string log) : program_(std::move(program)), log_(std::move(log)) {}
  ~FfmpegRun() { stop(); }
  FfmpegRun(const FfmpegRun&) = delete;
  FfmpegRun& operator=(const FfmpegRun&) = delete;

  // Starts ffmpeg with `arguments`, reading frames from a pipe when `feed`.
  bool start(const std::vector<std::string>& arguments, bool feed) {
    int pipeEnds[2] = {-1, -1};
    if (feed && ::pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feed)
      posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    else
      posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(program_.c_str())};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&child_, program_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (feed) ::close(pipeEnds[0]);
    if (spawned != 0) {
      if (feed) ::close(pipeEnds[1]);
      child_ = -1;
      errno = spawned;
      return false;
    }
    input_ = feed ? pipeEnds[1] : -1;
    return true;
  }

  bool feed(const std::vector<std::uint8_t>& rgb) { return input_ >= 0 && writeAll(input_, rgb.data(), rgb.size()); }

  // Ends the input and waits: true when ffmpeg ended well.
  bool wait() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
    if (child_ < 0) return false;
    int status = 0;
    while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  // Ends it at once.
  void stop() {
    if (input_ >= 0) ::close(input_);
    input_ = -1;
    if (child_ < 0) return;
    ::kill(child_, SIGTERM);
    int status = 0;
    while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
  }

  // The last line ffmpeg wrote on its standard error, to say why it failed.
  std::string lastWords() const {
    std::ifstream in(log_);
    std::string line, last;
    while (std::getline(in, line))
      if (!line.empty()) last = line;
    return last.empty() ? "ffmpeg failed" : "ffmpeg: " + last;
  }

 private:
  std::string program_;
  std::string log_;
  pid_t child_ = -1;
  int input_ = -1;
};

// The common part of ffmpeg's arguments that read raw frames from the pipe.
std::vector<std::string> rawInput(const RecorderOptions& o) {
  return {"-hide_banner",
          "-loglevel",
          "error",
          "-f",
          "rawvideo",
          "-pix_fmt",
          "rgb24",
          "-s",
          std::to_string(o.width) + "x" + std::to_string(o.height),
          "-r",
          std::to_string(o.framesPerSecond),
          "-i",
          "pipe:0",
          "-an"};
}

// An mp4 video, a gif or a folder of PNG pictures, made by ffmpeg under temporary names.
class FfmpegOutput : public FrameSink {
 public:
  FfmpegOutput(const RecorderOptions& options, std::string ffmpeg) : o_(options), ffmpeg_(std::move(ffmpeg)) {
    std::string base = o_.output;
    if (o_.outputKind == OutputKind::PngFolder)
      while (base.size() > 1 && base.back() == '/') base.pop_back();
    target_ = base;
    const std::string tag = ".part" + std::to_string(::getpid());
    part_ = base + tag;
    log_ = base + tag + ".log";
    frames_ = base + tag + ".frames.mkv";
    palette_ = base + tag + ".palette.png";
  }
  ~FfmpegOutput() override {
    if (!done_) abandon();
  }

  // Makes the temporary output (so that an output that cannot be written fails now)
  // and starts ffmpeg.
  Result<void> open() {
    if (o_.outputKind == OutputKind::PngFolder) {
      std::error_code error;
      if (fs::exists(target_, error) && !(fs::is_directory(target_, error) && fs::is_empty(target_, error)))
        return cannotWrite("cannot write " + o_.output + ": it exists and is not an empty folder");
      if (::mkdir(part_.c_str(), 0777) != 0) return cannotWrite("cannot write " + o_.output + ": " + systemWords());
    } else {
      const int fd = ::open(part_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0) return cannotWrite("cannot write " + o_.output + ": " + systemWords());
      ::close(fd);
    }
    std::vector<std::string> arguments = rawInput(o_);
    if (o_.outputKind == OutputKind::Mp4) {
      for (const char* a : {"-c:v", "libx264", "-preset", "veryfast", "-crf", "20", "-pix_fmt", "yuv420p", "-movflags",
                            "+faststart", "-f", "mp4", "-y"})
        arguments.emplace_back(a);
      arguments.push_back(forFfmpeg(part_));
    } else if (o_.outputKind == OutputKind::Gif) {
      // The frames are kept losslessly first: the palette is made from all of them.
      for (const char* a : {"-c:v", "ffv1", "-f", "matroska", "-y"}) arguments.emplace_back(a);
      arguments.push_back(forFfmpeg(frames_));
    } else {
      for (const char* a : {"-f", "image2", "-y"}) arguments.emplace_back(a);
      arguments.push_back(forFfmpeg(part_ + "/frame-%05d.png"));
    }
    run_ = std::make_unique<FfmpegRun>(ffmpeg_, log_);
    if (!run_->start(arguments, true)) return cannotWrite("cannot start " + ffmpeg_ + ": " + systemWords());
    return {};
  }

  Result<void> put(const std::vector<std::uint8_t>& rgb) override {
    if (run_->feed(rgb)) return {};
    run_->wait();
    return cannotWrite(run_->lastWords());
  }

  Result<void> finish() override {
    if (!run_->wait()) return fail(run_->lastWords());
    if (o_.outputKind == OutputKind::Gif) {
      FfmpegRun palette(ffmpeg_, log_);
      if (!palette.start({"-hide_banner", "-loglevel", "error", "-i", forFfmpeg(frames_), "-vf",
                          "palettegen=stats_mode=diff", "-f", "image2", "-y", forFfmpeg(palette_)},
                         false) ||
          !palette.wait())
        return fail(palette.lastWords());
      FfmpegRun gif(ffmpeg_, log_);
      if (!gif.start({"-hide_banner", "-loglevel", "error", "-i", forFfmpeg(frames_), "-i", forFfmpeg(palette_),
                      "-lavfi", "[0:v][1:v]paletteuse=dither=sierra2_4a", "-f", "gif", "-y", forFfmpeg(part_)},
                     false) ||
          !gif.wait())
        return fail(gif.lastWords());
    }
    std::error_code error;
    if (o_.outputKind == OutputKind::PngFolder && fs::is_directory(target_, error)) fs::remove(target_, error);
    if (std::rename(part_.c_str(), target_.c_str()) != 0)
      return fail("cannot name " + o_.output + ": " + systemWords());
    done_ = true;
    removeHelpers();
    return {};
  }

  void abandon() override {
    if (run_) run_->stop();
    std::error_code error;
    fs::remove_all(part_, error);
    removeHelpers();
    done_ = true;
  }

 private:
  Failure fail(const std::string& why) {
    abandon();
    return cannotWrite(why);
  }
  void removeHelpers() {
    for (const std::string& helper : {log_, frames_, palette_}) std::remove(helper.c_str());
  }

  const RecorderOptions& o_;
  std::string ffmpeg_;
  std::string target_, part_, log_, frames_, palette_;
  std::unique_ptr<FfmpegRun> run_;
  bool done_ = false;
};

}  // namespace

std::string findProgram(const std::string& name, const char* path) {
  if (!path) return "";
  std::string folders = path;
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

Result<std::unique_ptr<FrameSink>> openFrameSink(const RecorderOptions& options) {
  if (options.outputKind == OutputKind::RawFrames) return std::unique_ptr<FrameSink>(new RawFrames);
  const std::string ffmpeg = findProgram("ffmpeg", std::getenv("PATH"));
  if (ffmpeg.empty())
    return failure(FailureKind::ToolMissing,
                   "ffmpeg is not installed, and it makes mp4, gif and PNG output: install it (Debian: apt-get "
                   "install ffmpeg), or record raw frames with -o -");
  auto sink = std::make_unique<FfmpegOutput>(options, ffmpeg);
  const Result<void> opened = sink->open();
  if (!opened) return opened.failure();
  return std::unique_ptr<FrameSink>(std::move(sink));
}

}  // namespace zorvel
