// The recorder as its users run it: what a recording holds, where its default camera
// looks, and how it refuses what it cannot do.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "common/MemoryBudget.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

// A path file of `frames` frames in which every pixel of a w x h picture walks home
// along z from `depth` units in front, the last frame all at home.
std::string walkingHome(int w, int h, int frames, float depth) {
  std::ostringstream text;
  text << w * h << " " << frames << "\n\n";
  for (int f = 0; f < frames; ++f) {
    text << f << "\n";
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c)
        text << c - w * 0.5 + 0.5 << " " << r - h * 0.5 + 0.5 << " " << depth * (frames - 1 - f) / (frames - 1) << "\n";
  }
  return text.str();
}

class Recorder : public ::testing::Test {
 protected:
  // The GL driver leaves a few allocations of its own behind and is unloaded before the
  // leak check could name them: under the sanitizers, leaks are not looked for here, as
  // in the window tests.
  ProgramRun record(const std::string& arguments, const std::string& environment = "") {
    return runProgram(ZORVEL_RECORDER, folder.path(), "", "", arguments, "ASAN_OPTIONS=detect_leaks=0 " + environment);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  ScratchFolder folder;
};

TEST_F(Recorder, AShortRecordingHoldsOneFramePerAnimationFrameThenTheHold) {
  folder.write("w.pPath", walkingHome(6, 4, 5, 3.0f));
  const ProgramRun run = record("w.pPath --size 320x240 --fps 10 --hold 1.5 -o w.mp4");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("wrote w.mp4: 20 frames of 320 x 240 at 10 a second"), std::string::npos) << run.err;
  const ProgramRun probe = runProgram("ffprobe", folder.path(), "", "",
                                      "-v error -count_frames -select_streams v:0 -show_entries "
                                      "stream=nb_read_frames,width,height,pix_fmt,codec_name -of "
                                      "default=noprint_wrappers=1 w.mp4");
  EXPECT_EQ(probe.out, "codec_name=h264\nwidth=320\nheight=240\npix_fmt=yuv420p\nnb_read_frames=20\n") << probe.err;
}

TEST_F(Recorder, TheDefaultCameraHoldsTheWholePictureAtHomeWithAMargin) {
  // A wide picture, a tall one, and one whose pixels stand far out of the picture
  // plane: in each, the last frame's boxes cover a good part of the picture and none
  // comes within a few pixels of its edges.
  struct Picture {
    int w, h;
    float depth;
  };
  for (const Picture p : {Picture{40, 6, 0}, Picture{5, 30, 0}, Picture{12, 12, 9}}) {
    SCOPED_TRACE(std::to_string(p.w) + " x " + std::to_string(p.h));
    std::ostringstream text;
    text << p.w * p.h << " 1\n\n0\n";
    for (int r = 0; r < p.h; ++r)
      for (int c = 0; c < p.w; ++c)
        text << c - p.w * 0.5 + 0.5 << " " << r - p.h * 0.5 + 0.5 << " " << (c % 3) * p.depth / 2 << "\n";
    folder.write("p.pPath", text.str());
    const ProgramRun run = record("p.pPath --size 400x300 --hold 0 -o -");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.size(), 400u * 300 * 3);
    int left = 400, right = -1, top = 300, bottom = -1;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x)
        if (run.out.compare(static_cast<std::size_t>(y * 400 + x) * 3, 3, std::string(3, '\0')) != 0) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    EXPECT_GE(left, 3);
    EXPECT_LE(right, 396);
    EXPECT_GE(top, 3);
    EXPECT_LE(bottom, 296);
    EXPECT_TRUE(right - left > 400 * 0.6 || bottom - top > 300 * 0.6)
        << "framed too loosely: " << left << ".." << right << " x " << top << ".." << bottom;
  }
}

TEST_F(Recorder, ABlendedBoxOverBlackAddsItsColourTimesItsOpacity) {
  // One box filling the middle of the picture, one frame; its front face is drawn first
  // and hides the rest of it, so the middle pixel is the colour added once to black.
  folder.write("one.pPath", "1 1\n\n0\n0 0 0\n");
  folder.write("one.pColor", "1\n200 100 60 255 \n");
  folder.write("one.pOpacity", "1\n128\n");
  const ProgramRun run =
      record("one.pPath --color one.pColor --opacity one.pOpacity --blend on --mode solid --size 64x48 --hold 0 -o -");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.out.size(), 64u * 48 * 3);
  const std::size_t middle = (std::size_t{24} * 64 + 32) * 3;
  const int colour[3] = {200, 100, 60};
  for (int c = 0; c < 3; ++c) {
    const int added = static_cast<unsigned char>(run.out[middle + static_cast<std::size_t>(c)]);
    const double wanted = colour[c] * 128.0 / 255.0;
    EXPECT_LE(std::abs(added - wanted), 1.0) << "channel " << c << ": " << added << " for " << wanted;
  }
}

// The raw frames of a recording, one picture each.
std::vector<std::string> framesOf(const std::string& raw, int width, int height) {
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  std::vector<std::string> frames;
  for (std::size_t at = 0; at + size <= raw.size(); at += size) frames.push_back(raw.substr(at, size));
  EXPECT_EQ(raw.size() % size, 0u);
  return frames;
}

// A path file of `frames` frames of a 50 x 40 picture whose frame f stands 1 + f % 4 units
// in front, the last at home.
std::string cyclingFrames(int frames) {
  std::ostringstream text;
  text << 2000 << " " << frames << "\n\n";
  for (int f = 0; f < frames; ++f) {
    text << f << "\n";
    const int depth = f + 1 == frames ? 0 : 1 + f % 4;
    for (int r = 0; r < 40; ++r)
      for (int c = 0; c < 50; ++c) text << c - 24.5 << " " << r - 19.5 << " " << depth << "\n";
  }
  return text.str();
}

TEST_F(Recorder, FramesAreReadAsTheyAreDrawnAndTheMemoryDoesNotGrowWithThem) {
  // Four times the frames: were every frame kept, as the viewer keeps them, 48 MB more.
  long peak[2] = {};
  const int counts[2] = {400, 1600};
  for (int run = 0; run < 2; ++run) {
    folder.write("c.pPath", cyclingFrames(counts[run]));
    const ProgramRun recorded = record("c.pPath --size 32x24 --hold 0 -o -");
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    peak[run] = recorded.peakKilobytes;
    const std::vector<std::string> frames = framesOf(recorded.out, 32, 24);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(counts[run]));
    // Each frame is the picture of its place in the cycle; the four differ.
    for (int f = 1; f < 4; ++f) EXPECT_FALSE(frames[static_cast<std::size_t>(f)] == frames[0]) << "frame " << f;
    for (std::size_t f = 4; f + 1 < frames.size(); ++f) ASSERT_TRUE(frames[f] == frames[f % 4]) << "frame " << f;
    EXPECT_FALSE(frames.back() == frames[0]);
  }
  EXPECT_LT(peak[1] - peak[0], 12 * 1024) << peak[0] << " KB against " << peak[1] << " KB";
}

TEST_F(Recorder, AFileCutOrCorruptInAFrameRecordsTheFramesBeforeItThenTheHold) {
  const std::string whole = walkingHome(6, 4, 6, 3.0f);
  folder.write("whole.pPath", whole);
  // Cut inside frame 3; a word that is no number in frame 2.
  folder.write("cut.pPath", whole.substr(0, whole.find("\n3\n") + 20));
  std::string corrupt = whole;
  corrupt.replace(corrupt.find(' ', corrupt.find("\n2\n") + 3), 1, " x");
  folder.write("corrupt.pPath", corrupt);
  // The viewer's camera: the same for every file, wherever its last frame stands.
  const std::string options = " --camera viewer --size 32x24 --fps 10 --hold 0.2 -o -";
  const std::vector<std::string> all = framesOf(record("whole.pPath" + options).out, 32, 24);
  ASSERT_EQ(all.size(), 6u + 2);
  struct Case {
    const char* file;
    std::size_t complete;
  };
  for (const Case c : {Case{"cut.pPath", 3}, Case{"corrupt.pPath", 2}}) {
    SCOPED_TRACE(c.file);
    const ProgramRun run = record(c.file + options);
    EXPECT_EQ(run.status, 0) << run.err;
    // The viewer's line, once, with the count of the complete frames.
    const std::string line = "pPath-file ends inside frame " + std::to_string(c.complete) + ": playing the " +
                             std::to_string(c.complete) + " complete frames.\n";
    const std::size_t at = run.err.find("ends inside frame");
    ASSERT_NE(at, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("ends inside frame", at + 1), std::string::npos) << run.err;
    EXPECT_EQ(run.err.compare(run.err.rfind('\n', at) + 1, line.size(), line), 0) << run.err;
    const std::vector<std::string> frames = framesOf(run.out, 32, 24);
    ASSERT_EQ(frames.size(), c.complete + 2);  // the complete frames, the last held two more
    for (std::size_t f = 0; f < c.complete; ++f) EXPECT_TRUE(frames[f] == all[f]) << "frame " << f;
    EXPECT_TRUE(frames[c.complete] == all[c.complete - 1]);
    EXPECT_TRUE(frames[c.complete + 1] == all[c.complete - 1]);
  }
}

TEST_F(Recorder, ItSaysOnlyHowFarItIsWhatItWroteAndWhyAFileIsNotUsedUnlessAskedForMore) {
  folder.write("w.pPath", walkingHome(2, 2, 3, 1.0f));
  folder.write("c.pColor", "3\n1 2 3 255 \n4 5 6 255 \n7 8 9 255 \n");  // three pixels, not four
  const std::string arguments = "w.pPath --color c.pColor --size 32x24 --hold 0.2 -o w.mp4";
  const ProgramRun quiet = record(arguments);
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  std::istringstream lines(quiet.err);
  std::vector<std::string> said;
  for (std::string line; std::getline(lines, line);) said.push_back(line);
  ASSERT_GE(said.size(), 3u);
  EXPECT_EQ(said.front(), "Zorvel-recorder: c.pColor: counts 3 pixels where the pPath-file has 4");
  EXPECT_EQ(said.back(), "Zorvel-recorder: wrote w.mp4: 8 frames of 32 x 24 at 25 a second");
  for (std::size_t i = 1; i + 1 < said.size(); ++i)
    EXPECT_EQ(said[i].rfind("Zorvel-recorder: recording: frame ", 0), 0u) << said[i];
  // The progress counts every frame the file holds, the hold's too.
  EXPECT_EQ(said[said.size() - 2].rfind("Zorvel-recorder: recording: frame 8 of 8,", 0), 0u) << said[said.size() - 2];

  const ProgramRun verbose = record(arguments + " --verbose");
  ASSERT_EQ(verbose.status, 0) << verbose.err;
  for (const char* line : {"Number of pixels in pColor-file is not equal to number of pixels in pPath-file.\n",
                           "pScale-file: Undefined\n", "Number of pixels: 4\nNumber of frames: 3\n"})
    EXPECT_NE(verbose.err.find(line), std::string::npos) << line;
}

TEST_F(Recorder, AnInterruptedRecordingWritesNothingAndEndsWith128AndTheSignalsNumber) {
  // A picture whose recording takes a while; the signal comes once the first progress
  // line shows that frames are being written.
  std::vector<std::uint8_t> pixels;
  for (int p = 0; p < 100 * 100; ++p)
    for (const int c : {p % 256, p / 7 % 256, p / 39 % 256}) pixels.push_back(static_cast<std::uint8_t>(c));
  TgaHeader header;
  header.width = header.height = 100;
  folder.write("p.tga", tgaFile(header, pixels));
  const std::string script =
      "\"$0\" --picture p.tga --seed 1 --duration 60 --size 160x120 --hold 0 -o out.mp4 2> said.txt & pid=$!; "
      "until grep -q \"recording: frame\" said.txt 2> /dev/null || ! kill -0 $pid 2> /dev/null; do sleep 0.02; done; "
      "kill -$1 $pid; wait $pid; echo $?";
  for (const auto& [signal, status] : {std::pair{"INT", "130"}, std::pair{"TERM", "143"}}) {
    SCOPED_TRACE(signal);
    const std::vector<std::string> before = files();
    const ProgramRun run =
        runProgram("bash", folder.path(), "", "", "-c '" + script + "' " + ZORVEL_RECORDER + " " + signal,
                   "ASAN_OPTIONS=detect_leaks=0");
    EXPECT_EQ(run.out, std::string(status) + "\n");
    const std::string said = folder.read("said.txt");
    EXPECT_NE(said.find("Zorvel-recorder: interrupted; nothing written\n"), std::string::npos) << said;
    fs::remove(folder.path() / "said.txt");
    EXPECT_EQ(files(), before);
  }
}

TEST_F(Recorder, TheQualityTradesAFilesSizeForItsLookAndAGifOfFewerFramesStillEndsOnTheLastOne) {
  // Particles of random colours, so that what an encoder keeps shows in its size.
  std::mt19937 random(11);
  std::ostringstream colours;
  colours << 40 * 30 << "\n";
  for (int p = 0; p < 40 * 30; ++p)
    colours << random() % 256 << " " << random() % 256 << " " << random() % 256 << " 255 \n";
  folder.write("w.pPath", walkingHome(40, 30, 10, 20.0f));
  folder.write("w.pColor", colours.str());
  std::uintmax_t smaller = 0;
  for (const char* quality : {"low", "medium", "high"}) {
    SCOPED_TRACE(quality);
    const ProgramRun run = record(std::string("w.pPath --color w.pColor --size 320x240 --hold 0 --quality ") + quality +
                                  " -o " + quality + ".mp4");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(fs::file_size(folder.path() / (std::string(quality) + ".mp4")), smaller);
    smaller = fs::file_size(folder.path() / (std::string(quality) + ".mp4"));
  }
  // 10 frames at 25 a second: low keeps frames 0, 3, 6 and 9; medium 0, 2, 4, 6, 8 and
  // the last, 9; high every frame. The progress counts what the file holds.
  struct Gif {
    const char* quality;
    const char* says;
    const char* frames;
  };
  for (const Gif g : {Gif{"low", "4 frames of 320 x 240 at 8.33 a second", "4"},
                      Gif{"medium", "6 frames of 320 x 240 at 12.5 a second", "6"},
                      Gif{"high", "10 frames of 320 x 240 at 25 a second", "10"}}) {
    SCOPED_TRACE(g.quality);
    const std::string name = std::string(g.quality) + ".gif";
    const ProgramRun run =
        record(std::string("w.pPath --color w.pColor --size 320x240 --hold 0 --quality ") + g.quality + " -o " + name);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("recording: frame " + std::string(g.frames) + " of " + g.frames + ","), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("wrote " + name + ": " + g.says + "\n"), std::string::npos) << run.err;
    const ProgramRun probe =
        runProgram("ffprobe", folder.path(), "", "",
                   "-v error -count_frames -show_entries stream=nb_read_frames -of default=nw=1:nk=1 " + name);
    EXPECT_EQ(probe.out, std::string(g.frames) + "\n") << probe.err;
  }
  // The gif's last picture is the recording's last frame, all at home, not the one before.
  const ProgramRun raw = record("w.pPath --color w.pColor --size 320x240 --hold 0 -o -");
  const ProgramRun last = runProgram("ffmpeg", folder.path(), "", "",
                                     "-v error -i medium.gif -vf reverse -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
  const std::size_t frameBytes = std::size_t{320} * 240 * 3;
  ASSERT_EQ(raw.out.size(), 10 * frameBytes);
  ASSERT_EQ(last.out.size(), frameBytes) << last.err;
  const auto distance = [&](std::size_t frame) {
    double sum = 0;
    for (std::size_t i = 0; i < frameBytes; ++i)
      sum +=
          std::abs(static_cast<std::uint8_t>(last.out[i]) - static_cast<std::uint8_t>(raw.out[frame * frameBytes + i]));
    return sum / static_cast<double>(frameBytes);
  };
  EXPECT_LT(distance(9) * 3, distance(8)) << distance(9) << " against " << distance(8);
}

TEST_F(Recorder, AnyOutputNameRecordsUnderTheNameTyped) {
  folder.write("w.pPath", walkingHome(2, 2, 3, 1.0f));
  for (const std::string name : {"-y.mp4", "take:2.mp4", "pipe:1.mp4", "concat:x.mp4", "clip.MP4", "anim.Gif"}) {
    SCOPED_TRACE(name);
    const ProgramRun run = record("w.pPath --size 32x24 --hold 0 -o '" + name + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("wrote " + name + ": "), std::string::npos) << run.err;
    EXPECT_TRUE(folder.exists(name));
    EXPECT_GT(fs::file_size(folder.path() / name), 0u);
  }
}

TEST_F(Recorder, EachEglPlatformDrawsTheSameFramesAndTheVerboseLinesNameTheOneThatDrew) {
  folder.write("w.pPath", walkingHome(6, 4, 5, 3.0f));
  const std::string arguments = "w.pPath --size 64x48 --hold 0 --verbose -o -";
  const ProgramRun usual = record(arguments);
  ASSERT_EQ(usual.status, 0) << usual.err;
  EXPECT_NE(usual.err.find("Zorvel-recorder: drawing with "), std::string::npos) << usual.err;
  // The device platform takes Mesa's software device where no GPU is there.
  struct Case {
    const char* platform;
    const char* says;
  };
  for (const Case c :
       {Case{"device", " on the EGL device platform\n"}, Case{"surfaceless", " on the EGL surfaceless platform\n"},
        Case{"software", " on Mesa's software device\n"}}) {
    SCOPED_TRACE(c.platform);
    const ProgramRun run = record(arguments, std::string("ZORVEL_EGL_PLATFORM=") + c.platform);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_TRUE(run.out == usual.out);
  }
  const ProgramRun unknown = record(arguments, "ZORVEL_EGL_PLATFORM=x11");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("ZORVEL_EGL_PLATFORM names no platform"), std::string::npos) << unknown.err;
}

// ---- Refusals: one line that says why, a status that says so, nothing left behind.

// A small file system mounted on a folder for the time of a test, where the test may
// mount one (as root); unmounted again at the end.
class SmallDisk {
 public:
  SmallDisk(const fs::path& folder, const char* size) : folder_(folder) {
    fs::create_directory(folder);
    const ProgramRun run =
        runProgram("mount", ".", "", "", "-t tmpfs -o size=" + std::string(size) + " tmpfs '" + folder.string() + "'");
    mounted_ = run.status == 0;
    why_ = run.err;
  }
  ~SmallDisk() {
    if (mounted_) runProgram("umount", ".", "", "", "'" + folder_.string() + "'");
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }

 private:
  fs::path folder_;
  bool mounted_ = false;
  std::string why_;
};

TEST_F(Recorder, AFullDiskIsNoSuccessAndFfmpegsOwnReasonEndsTheLine) {
  // 300 boxes of random colours in 60 frames: some hundreds of kilobytes of video.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> channel(0, 255), lift(0, 8);
  std::ostringstream path, colours;
  path << "300 60\n\n";
  for (int f = 0; f < 60; ++f) {
    path << f << "\n";
    for (int k = 0; k < 300; ++k)
      path << k % 20 - 9.5 << " " << k / 20 - 7 << " " << lift(random) * (59 - f) / 59.0 << "\n";
  }
  colours << "300\n";
  for (int k = 0; k < 300; ++k)
    colours << channel(random) << " " << channel(random) << " " << channel(random) << " 255 \n";
  folder.write("a.pPath", path.str());
  folder.write("a.pColor", colours.str());
  // A small video (8.5 KB) on a disk full only at its end, where ffmpeg writes its
  // index; a larger one (660 KB at high quality) on a disk full some way through its
  // frames; a GIF of every frame whose lossless frames (some 1.6 MB) and palette fit, but
  // not the GIF made from them; and PNG pictures that fill the disk a few frames in,
  // ffmpeg saying so again and again.
  folder.write("small.pPath", walkingHome(6, 4, 32, 3.0f));
  struct Case {
    const char* size;
    const char* arguments;
    const char* output;
  };
  for (const Case c : {Case{"8k", "small.pPath --hold 3", "t/full.mp4"},
                       Case{"512k", "a.pPath --color a.pColor --quality high", "t/full.mp4"},
                       Case{"2000k", "a.pPath --color a.pColor --quality high", "t/full.gif"},
                       Case{"200k", "a.pPath --color a.pColor", "t/frames/"}}) {
    SCOPED_TRACE(std::string(c.size) + " " + c.output);
    const SmallDisk disk(folder.path() / "t", c.size);
    if (!disk.mounted()) GTEST_SKIP() << "no small file system can be mounted here: " << disk.why();
    const ProgramRun run = record(std::string(c.arguments) + " --size 320x240 -o " + c.output);
    EXPECT_EQ(run.status, 1);
    const std::string last = run.err.substr(run.err.rfind("Zorvel-recorder: "));
    EXPECT_EQ(last.rfind(std::string("Zorvel-recorder: cannot write ") + c.output + ": ffmpeg: ", 0), 0u) << run.err;
    EXPECT_NE(last.find("No space left on device\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("wrote"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(folder.path() / "t"));
  }
}

TEST_F(Recorder, WhatCannotBeRecordedIsRefusedInOneLineLeavingNothing) {
  folder.write("w.pPath", walkingHome(2, 2, 3, 1.0f));
  folder.write("a-file", "not a folder");
  folder.write("cut.pPath", "2 1\n\n0\n1 2 3 4 5 x y z\n");
  folder.write("w.morvaine", "2\n0.5 6\n");
  struct Case {
    std::string arguments;
    const char* prefix;
    int status;
    std::string says;
  };
  std::vector<Case> cases = {
      {"gone.pPath -o out.mp4", "", 1, "cannot read gone.pPath: no such file"},
      {"w.pPath --mode cubes -o out.mp4", "", 2, "--mode takes wire, solid or outlined"},
      {"w.pPath -o out.avi", "", 2, "the output ends in .mp4 or .gif"},
      {"w.pPath --quality best -o out.mp4", "", 2, "--quality takes low, medium or high"},
      {"w.pPath --quality high -o frames/", "", 2, "--quality goes with an mp4 or a gif"},
      {"w.pPath --quality low -o -", "", 2, "--quality goes with an mp4 or a gif"},
      {"w.pPath -o out.mp4", "PATH=/nonexistent", 1, "ffmpeg is not installed"},
      {"w.pPath -o a-file/out.mp4", "", 1, "cannot write a-file/out.mp4"},
      // What cannot play: the viewer's and the blender's reasons, once.
      {"cut.pPath -o out.mp4", "", 1, "cut.pPath: ends inside frame 0: there is no complete frame to play"},
      {"--blender none.morvaine -o out.mp4", "", 1, "cannot read none.morvaine: no such file"},
      {"--blender w.morvaine -o out.mp4", "", 1, "w.morvaine: not a Morvaine configuration file"}};
  // Just beyond both bounds of each of the recorder's own limits: the line of its range.
  struct Limit {
    const char* source;
    const char* option;
    const char* below;
    const char* above;
    const char* says;
  };
  for (const Limit l :
       {Limit{"w.pPath", "--size", "15x240", "320x8194", "--size takes WIDTHxHEIGHT, each from 16 to 8192 pixels"},
        Limit{"w.pPath", "--fps", "0", "241", "--fps takes a whole number from 1 to 240"},
        Limit{"w.pPath", "--hold", "-0.5", "3600.5", "--hold takes seconds from 0 to 3600"},
        Limit{"--picture w.tga", "--particles", "0", "100000001",
              "--particles takes a whole number from 1 to 100000000"},
        Limit{"--picture w.tga", "--seed", "-1", "4294967296", "--seed takes a whole number from 0 to 4294967295"},
        Limit{"--picture w.tga", "--duration", "0.09", "3601", "--duration takes seconds from 0.1 to 3600"}})
    for (const char* value : {l.below, l.above})
      cases.push_back({std::string(l.source) + " " + l.option + " " + value + " -o out.mp4", "", 2, l.says});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const std::vector<std::string> before = files();
    const ProgramRun run = record(c.arguments, c.prefix);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(files(), before);
  }
}

TEST_F(Recorder, ACameraThatCannotBeUsedIsRefusedAsUsageNamingTheFileAndLineLeavingNothing) {
  folder.write("w.pPath", walkingHome(2, 2, 3, 1.0f));
  const std::pair<std::string, std::string> keyFiles[] = {
      {"0 -12 0 -2 10\n", "k.keys, line 1: a key is six numbers"},
      {"# start\n0.5 -12 0 -2 10 -45\n", "k.keys, line 2: FRAME is a whole number"},
      {"0 -12 0 -2 10 -45\n0 -12 0 -2 10 -45\n", "k.keys, line 2: frame 0 does not come after frame 0"},
      {"0 -12 zero -2 10 -45\n", "k.keys, line 1: PANX is a number the camera can take, not \"zero\""},
      {"0 -12 0 -2 10 1e99\n", "k.keys, line 1: TURNY is a number the camera can take"},
      {"# nothing\n", "k.keys, no key in it"}};
  for (const auto& [keys, says] : keyFiles) {
    SCOPED_TRACE(keys);
    folder.write("k.keys", keys);
    const std::vector<std::string> before = files();
    const ProgramRun run = record("w.pPath --camera-keys k.keys -o out.mp4");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("Zorvel-recorder: " + says, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(files(), before);
  }
  folder.write("k.keys", "0 -12 0 -2 10 -45\n");
  const std::pair<const char*, const char*> usages[] = {
      {"--camera-keys k.keys --orbit 90", "--camera-keys or --orbit, not both"},
      {"--camera-keys k.keys --pull-back 0.5", "--camera-keys or --pull-back, not both"},
      {"--camera-keys k.keys --zoom 3", "--camera-keys or --zoom, not both"},
      {"--orbit 721", "--orbit takes degrees from -720 to 720"},
      {"--pull-back 0", "--pull-back takes a number from 0.05 to 1"},
      {"--background 1,2", "--background takes R,G,B (each from 0 to 255) or transparent"},
      {"--background transparent -o t.mp4", "--background transparent needs a folder of PNG pictures"},
      {"--background transparent --blend on -o t/", "--background transparent goes without --blend on"}};
  for (const auto& [options, says] : usages) {
    SCOPED_TRACE(options);
    const std::vector<std::string> before = files();
    const ProgramRun run = record(std::string("w.pPath -o out.mp4 ") + options);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(std::string("Zorvel-recorder: ") + says, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(files(), before);
  }
}

// The RGBA pixels of a PNG picture, as ffmpeg decodes it.
std::string rgbaOf(const std::string& folder, const std::string& png) {
  return runProgram("ffmpeg", folder, "", "", "-v error -i " + png + " -f rawvideo -pix_fmt rgba -").out;
}

TEST_F(Recorder, TheBackgroundIsTheColourAskedForOrInPngPicturesTransparentWithTheParticlesOpaque) {
  // Two boxes, one half transparent, over no grid.
  folder.write("two.pPath", "2 1\n\n0\n-1 0 0\n1 0 0\n");
  folder.write("two.pColor", "2\n200 100 60 255 \n20 220 90 255 \n");
  folder.write("two.pOpacity", "2\n255\n128\n");
  const std::string scene = "two.pPath --color two.pColor --opacity two.pOpacity --mode solid --size 64x48 --hold 0 ";
  const ProgramRun black = record(scene + "-o -");
  const ProgramRun blue = record(scene + "--background 10,20,250 -o -");
  const ProgramRun clear = record(scene + "--background transparent -o t/");
  ASSERT_EQ(black.status, 0) << black.err;
  ASSERT_EQ(blue.status, 0) << blue.err;
  ASSERT_EQ(clear.status, 0) << clear.err;
  const std::string rgba = rgbaOf(folder.path(), "t/frame-00001.png");
  ASSERT_EQ(black.out.size(), 64u * 48 * 3);
  ASSERT_EQ(rgba.size(), 64u * 48 * 4);
  std::size_t drawn = 0;
  for (std::size_t p = 0; p < std::size_t{64} * 48; ++p) {
    const std::string rgb = black.out.substr(3 * p, 3);
    const bool empty = rgb == std::string(3, '\0');
    // Where nothing is drawn: the colour asked for, or nothing at all; elsewhere the
    // particles' colours, opaque.
    EXPECT_EQ(blue.out.substr(3 * p, 3), empty ? std::string("\x0a\x14\xfa") : rgb) << "pixel " << p;
    EXPECT_EQ(rgba.substr(4 * p, 3), rgb) << "pixel " << p;
    EXPECT_EQ(static_cast<unsigned char>(rgba[4 * p + 3]), empty ? 0 : 255) << "pixel " << p;
    drawn += !empty;
  }
  EXPECT_GT(drawn, 64u * 48 / 10);
}

TEST_F(Recorder, AnOutputThatWouldOverwriteAnInputIsRefusedAsUsageAndTheInputKept) {
  const std::string path = walkingHome(2, 2, 3, 1.0f);
  folder.write("w.mp4", path);  // a path file by any name
  folder.write("w.pPath", path);
  folder.write("colours.gif", "4\n1 2 3 255 \n4 5 6 255 \n7 8 9 255 \n1 1 1 255 \n");
  folder.write("k.keys", "0 -12 0 -2 10 -45\n");
  folder.write("day.morvaine",
               "#MORVAINE_CONFIGURATION_FILE\n#NUMBER_OF_KEYFRAMES 1\n#MINDISPLACEMENT 0.5\n"
               "#MAXDISPLACEMENT 5\n#IMAGEPATH key.gif #NUMBER_OF_INTERPOLATION_FRAMES 3\n");
  folder.write("key.gif", "a keyframe by any name");
  fs::create_symlink("w.pPath", folder.path() / "link.mp4");
  fs::create_directory(folder.path() / "sub");
  fs::create_directory(folder.path() / "frames");
  folder.write("frames/k.keys", "0 -12 0 -2 10 -45\n");
  const std::pair<const char*, const char*> cases[] = {
      {"w.mp4 -o w.mp4", "-o w.mp4 would overwrite w.mp4, which it records from"},
      {"w.mp4 -o ./sub/../w.mp4", "-o ./sub/../w.mp4 would overwrite w.mp4"},
      {"w.pPath -o link.mp4", "-o link.mp4 would overwrite w.pPath"},
      {"w.pPath --color colours.gif -o colours.gif", "-o colours.gif would overwrite colours.gif"},
      {"w.pPath --camera-keys k.keys -o k.keys/", "-o k.keys/ would overwrite k.keys"},
      {"w.pPath --camera-keys frames/k.keys -o frames/", "-o frames/ would hold frames/k.keys"},
      {"--blender day.morvaine -o key.gif", "-o key.gif would overwrite key.gif"}};
  for (const auto& [arguments, says] : cases) {
    SCOPED_TRACE(arguments);
    const std::vector<std::string> before = files();
    const ProgramRun run = record(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(std::string("Zorvel-recorder: ") + says, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(files(), before);
  }
  EXPECT_EQ(folder.read("w.mp4"), path);
  EXPECT_EQ(folder.read("w.pPath"), path);
  EXPECT_EQ(folder.read("key.gif"), "a keyframe by any name");
  EXPECT_TRUE(fs::is_symlink(folder.path() / "link.mp4"));
}

TEST_F(Recorder, AFileThatIsPlainlyNoPathFileIsRefusedAsWhatItLooksLike) {
  folder.write("w.pPath", walkingHome(2, 2, 3, 1.0f));
  folder.write("w.pColor", "4\n1 2 3 255 \n4 5 6 255 \n7 8 9 255 \n1 1 1 255 \n");
  folder.write("w.pOpacity", "4\n255\n255\n128\n255\n");
  folder.write("w.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0'));
  folder.write("w.txt", "frames of a picture\n");
  struct Case {
    const char* file;
    const char* says;
  };
  for (const Case c :
       {Case{"w.pColor", "w.pColor: looks like a colour file (.pColor): its first line holds one number"},
        Case{"w.pOpacity", "w.pOpacity: looks like a colour or attribute file"},
        Case{"w.png", "w.png: is a PNG picture, not a path file (--picture records a picture)"},
        Case{"w.txt", "w.txt: is not a path file: its first line does not hold the pixel and frame counts"}}) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> before = files();
    const ProgramRun run = record(std::string(c.file) + " -o out.mp4");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(std::string("Zorvel-recorder: ") + c.says, 0), 0u) << run.err;
    EXPECT_EQ(files(), before);
  }
}

}  // namespace
}  // namespace zorvel::test

namespace zorvel::test {
namespace {

// A path file of a side x side grid of touching unit boxes at z = 0, two identical
// frames, and a colour file making the last `green` particles green and the rest red.
void writeGrid(const ScratchFolder& folder, int side, std::uint32_t green) {
  const std::uint32_t count = static_cast<std::uint32_t>(side) * static_cast<std::uint32_t>(side);
  std::string frame;
  frame.reserve(std::size_t{count} * 14);
  char line[64];
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      const int length = std::snprintf(line, sizeof line, "%g %g 0\n", c - side * 0.5 + 0.5, r - side * 0.5 + 0.5);
      frame.append(line, static_cast<std::size_t>(length));
    }
  std::ofstream path(folder.file("grid.pPath"), std::ios::binary);
  path << count << " 2\n\n0\n" << frame << "1\n" << frame;
  std::string colours = std::to_string(count) + "\n";
  for (std::uint32_t i = 0; i < count; ++i) colours += i + green < count ? "255 0 0 255 \n" : "0 255 0 255 \n";
  std::ofstream(folder.file("grid.pColor"), std::ios::binary) << colours;
}

// The pixels of a raw RGB picture that are pure green.
std::size_t greenPixels(const std::string& picture) {
  std::size_t green = 0;
  for (std::size_t at = 0; at + 3 <= picture.size(); at += 3)
    green += picture[at] == 0 && picture[at + 1] != 0 && picture[at + 2] == 0;
  return green;
}

TEST_F(Recorder, PastTwoToTheTwentyThirdParticlesEveryParticleKeepsItsColourOverTheSettledLayer) {
#ifdef ZORVEL_SANITIZED
  GTEST_SKIP() << "8.5 million particles need far more memory under the sanitizers than the machine has";
#endif
  // Two recordings of some 5 GB each, one after the other.
  constexpr std::uint64_t kNeeded = std::uint64_t{7} << 30;
  if (availableMemory() < kNeeded)
    GTEST_SKIP() << "8.5 million particles need " << megabytesNeeded(kNeeded) << " MB; this machine has "
                 << megabytesAvailable(availableMemory()) << " MB";
  // 2,920 x 2,920 = 8,526,400 particles, past 2^23 = 8,388,608; the last 137,792 green.
  writeGrid(folder, 2920, 137792);
  std::vector<std::string> last;
  for (const char* layer : {"on", "off"}) {
    const ProgramRun recorded =
        record(std::string("grid.pPath --color grid.pColor --hold 0 --settled-layer ") + layer + " -o -");
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    const std::vector<std::string> frames = framesOf(recorded.out, 1280, 720);
    ASSERT_EQ(frames.size(), 2u);
    last.push_back(frames.back());
  }
  // The green band shows as a band, and every box settled from the first frame is drawn
  // into the layer in order: the frame is the one drawing every box gives.
  EXPECT_GT(greenPixels(last[0]), 5000u);
  EXPECT_EQ(greenPixels(last[0]), greenPixels(last[1]));
  EXPECT_TRUE(last[0] == last[1]);
}

}  // namespace
}  // namespace zorvel::test
