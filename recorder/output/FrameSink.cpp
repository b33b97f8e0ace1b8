#include "recorder/output/FrameSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "recorder/output/ChildProcess.h"

namespace zorvel {

namespace {

namespace fs = std::filesystem;

std::string systemWords() { return std::strerror(errno); }

Failure cannotWrite(const std::string& why) { return failure(FailureKind::CannotWrite, why); }

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

// ---- The recipes: what ffmpeg is told to make each output.

// A file's name as ffmpeg is to read it: with its file protocol named, so that no name
// is taken for another protocol ("take:2.mp4") or for an option ("-y.mp4").
std::string forFfmpeg(const std::string& path) { return "file:" + path; }

// The start of every run: quiet but for errors, each said in full (never folded into
// "Last message repeated" lines, so that its last line is an error's), and ending with
// an error status at the first error, also one in writing the file's end (which it
// otherwise only reports).
std::vector<std::string> quietRun() { return {"-hide_banner", "-loglevel", "repeat+error", "-xerror"}; }

// What each quality asks of the encoders, low to high.
struct QualitySettings {
  const char* crf;           // H.264's constant rate factor: the lower, the more is kept
  int gifMostPerSecond;      // a gif's most frames a second; 0: every frame
  const char* gifPalette;    // how the gif's palette is made
  const char* gifColouring;  // how its frames take the palette's colours
};

// An ordered dither is the same in every frame where the picture is, so that what did
// not change is not stored again; diffusing the error finds finer shades but changes
// pixels all over each frame.
constexpr QualitySettings kQualities[] = {
    {"28", 10, "palettegen=stats_mode=diff:max_colors=128",
     "paletteuse=dither=bayer:bayer_scale=5:diff_mode=rectangle"},
    {"24", 15, "palettegen=stats_mode=diff", "paletteuse=dither=bayer:bayer_scale=5:diff_mode=rectangle"},
    {"18", 0, "palettegen=stats_mode=diff", "paletteuse=dither=sierra2_4a"},
};

const QualitySettings& settingsOf(const OutputPlan& o) { return kQualities[static_cast<int>(o.quality)]; }

// Raw frames from the pipe, of the plan's size, at the rate of the frames kept.
std::vector<std::string> rawInput(const OutputPlan& o) {
  std::vector<std::string> arguments = quietRun();
  for (const std::string& a :
       {std::string("-f"), std::string("rawvideo"), std::string("-pix_fmt"), std::string(o.alpha ? "rgba" : "rgb24"),
        std::string("-s"), std::to_string(o.width) + "x" + std::to_string(o.height), std::string("-r"),
        std::to_string(o.framesPerSecond) + "/" + std::to_string(framesKeptEvery(o)), std::string("-i"),
        std::string("pipe:0"), std::string("-an")})
    arguments.push_back(a);
  return arguments;
}

// The temporary files of an output: the output under a name of its own, and for a gif
// the frames kept losslessly and the palette made from them.
struct OutputFiles {
  std::string target, part, frames, palette;
};

// The frames from the pipe into `files`: an H.264 video, the lossless frames of a gif,
// or numbered PNG pictures.
std::vector<std::string> framesInto(const OutputPlan& o, const OutputFiles& files) {
  std::vector<std::string> arguments = rawInput(o);
  const auto add = [&arguments](std::initializer_list<const char*> words) {
    for (const char* a : words) arguments.emplace_back(a);
  };
  if (o.kind == OutputKind::Mp4) {
    add({"-c:v", "libx264", "-preset", "fast", "-crf", settingsOf(o).crf, "-pix_fmt", "yuv420p", "-movflags",
         "+faststart", "-f", "mp4", "-y"});
    arguments.push_back(forFfmpeg(files.part));
  } else if (o.kind == OutputKind::Gif) {
    add({"-c:v", "ffv1", "-f", "matroska", "-y"});
    arguments.push_back(forFfmpeg(files.frames));
  } else {
    add({"-f", "image2", "-y"});
    arguments.push_back(forFfmpeg(files.part + "/frame-%05d.png"));
  }
  return arguments;
}

// A gif's palette, made from all of its frames.
std::vector<std::string> gifPalette(const OutputPlan& o, const OutputFiles& files) {
  std::vector<std::string> arguments = quietRun();
  for (const std::string& a :
       {std::string("-i"), forFfmpeg(files.frames), std::string("-vf"), std::string(settingsOf(o).gifPalette),
        std::string("-f"), std::string("image2"), std::string("-y"), forFfmpeg(files.palette)})
    arguments.push_back(a);
  return arguments;
}

// The gif itself, from its frames and palette.
std::vector<std::string> gifFromPalette(const OutputPlan& o, const OutputFiles& files) {
  std::vector<std::string> arguments = quietRun();
  for (const std::string& a : {std::string("-i"), forFfmpeg(files.frames), std::string("-i"), forFfmpeg(files.palette),
                               std::string("-lavfi"), "[0:v][1:v]" + std::string(settingsOf(o).gifColouring),
                               std::string("-f"), std::string("gif"), std::string("-y"), forFfmpeg(files.part)})
    arguments.push_back(a);
  return arguments;
}

// ---- The output ffmpeg makes.

// An mp4 video, a gif or a folder of PNG pictures, made by ffmpeg under temporary names
// beside the output.
class FfmpegOutput : public FrameSink {
 public:
  FfmpegOutput(const OutputPlan& plan, std::string ffmpeg)
      : o_(plan), ffmpeg_(std::move(ffmpeg)), keptEvery_(framesKeptEvery(plan)) {
    std::string base = o_.output;
    if (o_.kind == OutputKind::PngFolder)
      while (base.size() > 1 && base.back() == '/') base.pop_back();
    const std::string tag = ".part" + std::to_string(::getpid());
    files_ = {base, base + tag, base + tag + ".frames.mkv", base + tag + ".palette.png"};
  }
  ~FfmpegOutput() override {
    if (!done_) abandon();
  }

  // Makes the temporary output (so that an output that cannot be written fails now)
  // and starts ffmpeg.
  Result<void> open() {
    if (o_.kind == OutputKind::PngFolder) {
      std::error_code error;
      if (fs::exists(files_.target, error) &&
          !(fs::is_directory(files_.target, error) && fs::is_empty(files_.target, error)))
        return cannotWrite("cannot write " + o_.output + ": it exists and is not an empty folder");
      if (::mkdir(files_.part.c_str(), 0777) != 0)
        return cannotWrite("cannot write " + o_.output + ": " + systemWords());
    } else {
      const int fd = ::open(files_.part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0) return cannotWrite("cannot write " + o_.output + ": " + systemWords());
      ::close(fd);
    }
    Result<std::unique_ptr<ChildProcess>> run = ChildProcess::start(ffmpeg_, framesInto(o_, files_), true);
    if (!run) return run.failure();
    run_ = std::move(run.value());
    return {};
  }

  // A frame between the ones kept is held back until the next one is kept, and is fed at
  // the end if none is: the output ends on the last frame.
  Result<void> put(const std::vector<std::uint8_t>& rgb) override {
    if (handed_++ % keptEvery_ != 0) {
      heldBack_ = rgb;
      return {};
    }
    heldBack_.clear();
    return feed(rgb);
  }

  Result<void> finish() override {
    if (!heldBack_.empty())
      if (Result<void> fed = feed(heldBack_); !fed) return fed;
    heldBack_ = {};
    if (Result<void> ended = run_->wait(); !ended) return failed(ended);
    if (o_.kind == OutputKind::Gif) {
      for (const std::vector<std::string>& step : {gifPalette(o_, files_), gifFromPalette(o_, files_)}) {
        Result<std::unique_ptr<ChildProcess>> run = ChildProcess::start(ffmpeg_, step, false);
        if (!run) return failed(run.failure());
        if (Result<void> ended = run.value()->wait(); !ended) return failed(ended);
      }
    }
    std::error_code error;
    if (o_.kind == OutputKind::PngFolder && fs::is_directory(files_.target, error)) fs::remove(files_.target, error);
    if (std::rename(files_.part.c_str(), files_.target.c_str()) != 0)
      return failed(cannotWrite("cannot name " + o_.output + ": " + systemWords()));
    done_ = true;
    removeHelpers();
    return {};
  }

  void abandon() override {
    if (run_) run_->stop();
    std::error_code error;
    fs::remove_all(files_.part, error);
    removeHelpers();
    done_ = true;
  }

 private:
  Result<void> feed(const std::vector<std::uint8_t>& rgb) {
    if (run_->feed(rgb.data(), rgb.size())) return {};
    return failed(run_->wait());
  }
  // What ffmpeg said, or why it could not go on, as the line that says the output could
  // not be written; what was made is removed.
  Failure failed(const Result<void>& why) {
    abandon();
    const std::string& reason = why.failure().reason;
    if (reason.rfind("cannot ", 0) == 0) return why.failure();
    return cannotWrite("cannot write " + o_.output + ": ffmpeg: " + reason);
  }
  void removeHelpers() {
    for (const std::string& helper : {files_.frames, files_.palette}) std::remove(helper.c_str());
  }

  const OutputPlan o_;
  std::string ffmpeg_;
  OutputFiles files_;
  std::unique_ptr<ChildProcess> run_;
  bool done_ = false;
  const int keptEvery_;
  std::int64_t handed_ = 0;
  std::vector<std::uint8_t> heldBack_;
};

}  // namespace

int framesKeptEvery(const OutputPlan& plan) {
  const int most = settingsOf(plan).gifMostPerSecond;
  if (plan.kind != OutputKind::Gif || most == 0) return 1;
  return (plan.framesPerSecond + most - 1) / most;
}

std::int64_t framesHeld(std::int64_t done, std::int64_t total, int every) {
  const bool lastBetween = done == total && total > 0 && (total - 1) % every != 0;
  return (done + every - 1) / every + (lastBetween ? 1 : 0);
}

Result<std::unique_ptr<FrameSink>> openFrameSink(const OutputPlan& plan) {
  if (plan.kind == OutputKind::RawFrames) return std::unique_ptr<FrameSink>(new RawFrames);
  const std::string ffmpeg = findProgram("ffmpeg", std::getenv("PATH"));
  if (ffmpeg.empty())
    return failure(FailureKind::ToolMissing,
                   "ffmpeg is not installed, and it makes mp4, gif and PNG output: install it (Debian: apt-get "
                   "install ffmpeg), or record raw frames with -o -");
  auto sink = std::make_unique<FfmpegOutput>(plan, ffmpeg);
  const Result<void> opened = sink->open();
  if (!opened) return opened.failure();
  return std::unique_ptr<FrameSink>(std::move(sink));
}

}  // namespace zorvel
