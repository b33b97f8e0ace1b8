#pragma once

// A small test language: scratch folders, TGA files built byte by byte, and runs of the
// real programs with scripted standard input.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zorvel::test {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const fs::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  void write(const std::string& name, const std::string& bytes) const;
  void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const { return fs::exists(path_ / name); }

 private:
  fs::path path_;
};

// Builds TGA files. Pixels are given as the file stores them (B, G, R(, A) for true colour).
struct TgaHeader {
  std::uint8_t imageType = 2;
  std::uint8_t colourMapType = 0;
  std::uint16_t width = 1;
  std::uint16_t height = 1;
  std::uint8_t bitsPerPixel = 24;
  std::uint8_t descriptor = 0;
  std::string id;
};
std::vector<std::uint8_t> tgaFile(const TgaHeader& header, const std::vector<std::uint8_t>& data);
// Run-length encodes `pixels` (each `bytesPerPixel` long): runs of 2 or more identical
// pixels become run packets, everything else raw packets; packets may cross rows.
std::vector<std::uint8_t> runLengthEncode(const std::vector<std::uint8_t>& pixels, std::size_t bytesPerPixel);
// An 8-bit grey image (type 3) or a 24-bit colour image (type 2) from generated pixels.
std::vector<std::uint8_t> greyTga(int width, int height, std::uint8_t (*grey)(int k));
std::vector<std::uint8_t> colourTga(int width, int height);

struct ProgramRun {
  std::string out;
  std::string err;
  int status = -1;
  long peakKilobytes = 0;  // the most memory the program and its shell held resident at once
};
// Runs `program` in `folder` with `input` as its whole standard input; a run that takes
// over two minutes is ended (status 124). `shellPrefix` is run before it in the same
// shell (for example a ulimit); `arguments` follow the program on its command line (as
// the shell reads them); `environment` holds NAME=VALUE words set for it alone.
ProgramRun runProgram(const std::string& program, const fs::path& folder, const std::string& input,
                      const std::string& shellPrefix = "", const std::string& arguments = "",
                      const std::string& environment = "");

// A shell prefix for runProgram() that limits the program's address space to
// `megabytes`, so that what does not fit in that much memory is refused on any machine.
std::string memoryLimit(int megabytes);
// Whether such a limit can be set: not in the sanitizer build, whose shadow memory
// needs far more address space than any limit leaves.
bool canLimitMemory();
inline const char* const kNoMemoryLimit = "an address-space limit cannot be set in the sanitizer build";

// Whether a program's peak resident memory measures the program: not in the sanitizer
// build, where it also counts the sanitizer's shadow and its quarantine of freed memory,
// which grows with what the program frees.
bool measuresMemory();
inline const char* const kNoMemoryMeasure =
    "the sanitizer build's resident memory holds its quarantine of freed memory, which grows with the frames";

// The folders of the shared external test data, or empty when they are not there.
fs::path externalTgaFolder();
fs::path externalPngFolder();

}  // namespace zorvel::test
