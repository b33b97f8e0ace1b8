#include "tests/TestSupport.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

namespace zorvel::test {

ScratchFolder::ScratchFolder() {
  static std::mt19937_64 names(std::random_device{}());
  path_ = fs::temp_directory_path() / ("zorvel-test-" + std::to_string(names()));
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

void ScratchFolder::write(const std::string& name, const std::string& bytes) const {
  std::ofstream(path_ / name, std::ios::binary) << bytes;
}

void ScratchFolder::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  write(name, std::string(bytes.begin(), bytes.end()));
}

std::string ScratchFolder::read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::uint8_t> tgaFile(const TgaHeader& s, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> f = {
      static_cast<std::uint8_t>(s.id.size()), s.colourMapType, s.imageType, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (std::uint16_t v : {s.width, s.height}) {
    f.push_back(static_cast<std::uint8_t>(v & 0xFF));
    f.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  f.push_back(s.bitsPerPixel);
  f.push_back(s.descriptor);
  f.insert(f.end(), s.id.begin(), s.id.end());
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

std::vector<std::uint8_t> runLengthEncode(const std::vector<std::uint8_t>& pixels, std::size_t bpp) {
  const std::size_t count = pixels.size() / bpp;
  const auto same = [&](std::size_t a, std::size_t b) {
    return std::equal(pixels.begin() + a * bpp, pixels.begin() + (a + 1) * bpp, pixels.begin() + b * bpp);
  };
  std::vector<std::uint8_t> out;
  std::size_t k = 0;
  while (k < count) {
    std::size_t run = 1;
    while (k + run < count && run < 128 && same(k, k + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), pixels.begin() + k * bpp, pixels.begin() + (k + 1) * bpp);
      k += run;
      continue;
    }
    std::size_t raw = 1;
    while (k + raw < count && raw < 128 && !(k + raw + 1 < count && same(k + raw, k + raw + 1))) ++raw;
    out.push_back(static_cast<std::uint8_t>(raw - 1));
    out.insert(out.end(), pixels.begin() + k * bpp, pixels.begin() + (k + raw) * bpp);
    k += raw;
  }
  return out;
}

std::vector<std::uint8_t> greyTga(int width, int height, std::uint8_t (*grey)(int k)) {
  std::vector<std::uint8_t> data;
  for (int k = 0; k < width * height; ++k) data.push_back(grey(k));
  TgaHeader header;
  header.imageType = 3;
  header.bitsPerPixel = 8;
  header.width = static_cast<std::uint16_t>(width);
  header.height = static_cast<std::uint16_t>(height);
  return tgaFile(header, data);
}

std::vector<std::uint8_t> colourTga(int width, int height) {
  std::vector<std::uint8_t> data;
  for (int k = 0; k < width * height; ++k) {
    data.push_back(static_cast<std::uint8_t>(k * 7));       // blue
    data.push_back(static_cast<std::uint8_t>(k * 13 + 1));  // green
    data.push_back(static_cast<std::uint8_t>(k * 29 + 2));  // red
  }
  TgaHeader header;
  header.width = static_cast<std::uint16_t>(width);
  header.height = static_cast<std::uint16_t>(height);
  return tgaFile(header, data);
}

ProgramRun runProgram(const std::string& program, const fs::path& folder, const std::string& input,
                      const std::string& shellPrefix, const std::string& arguments, const std::string& environment) {
  ScratchFolder io;
  io.write("stdin", input);
  // A program that hangs ends after two minutes with status 124, and the test fails.
  const std::string command = shellPrefix + " cd '" + folder.string() + "' && timeout 120 env " + environment + " '" +
                              program + "' " + arguments + " < '" + io.file("stdin") + "' > '" + io.file("stdout") +
                              "' 2> '" + io.file("stderr") + "'";
  ProgramRun run;
  const pid_t shell = fork();
  if (shell == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int raw = 0;
  rusage usage{};
  if (shell > 0 && wait4(shell, &raw, 0, &usage) == shell) {
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.peakKilobytes = usage.ru_maxrss;
  }
  run.out = io.read("stdout");
  run.err = io.read("stderr");
  return run;
}

std::string memoryLimit(int megabytes) { return "ulimit -v " + std::to_string(megabytes * 1024) + ";"; }

bool measuresMemory() { return canLimitMemory(); }

bool canLimitMemory() {
#ifdef ZORVEL_SANITIZED
  return false;
#else
  return true;
#endif
}

namespace {

// The folder `name` of the shared test data, holding `marker`, above the source tree.
fs::path externalFolder(const char* name, const char* marker) {
  for (fs::path p = fs::path(ZORVEL_SOURCE_DIR); !p.empty() && p != p.root_path(); p = p.parent_path()) {
    fs::path candidate = p.parent_path() / "shared" / "testdata" / name;
    if (fs::exists(candidate / marker)) return candidate;
  }
  return {};
}

}  // namespace

fs::path externalTgaFolder() { return externalFolder("tga-external", "MANIFEST.tsv"); }
fs::path externalPngFolder() { return externalFolder("png-external", "README.md"); }

}  // namespace zorvel::test
