// The recorder as its users run it: what a recording holds, where its default camera
// looks, and how it refuses what it cannot do.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

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

// ---- Refusals: one line that says why, a status that says so, nothing left behind.

TEST_F(Recorder, WhatCannotBeRecordedIsRefusedInOneLineLeavingNothing) {
  folder.write("w.pPath", walkingHome(2, 2, 3, 1.0f));
  folder.write("a-file", "not a folder");
  struct Case {
    const char* arguments;
    const char* prefix;
    int status;
    const char* says;
  };
  for (const Case c : {Case{"gone.pPath -o out.mp4", "", 1, "cannot read gone.pPath: no such file"},
                       Case{"w.pPath --mode cubes -o out.mp4", "", 2, "--mode takes wire, solid or outlined"},
                       Case{"w.pPath -o out.avi", "", 2, "the output ends in .mp4 or .gif"},
                       Case{"w.pPath -o out.mp4", "PATH=/nonexistent", 1, "ffmpeg is not installed"},
                       Case{"w.pPath -o a-file/out.mp4", "", 1, "cannot write a-file/out.mp4"}}) {
    SCOPED_TRACE(c.arguments);
    const std::vector<std::string> before = files();
    const ProgramRun run = record(c.arguments, c.prefix);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(files(), before);
  }
}

}  // namespace
}  // namespace zorvel::test
