// Real TGA files from other image libraries' test suites, with what our reader must make
// of each. The files live in the shared test data beside the project; the tests skip
// when it is absent.

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "common/BasicPixelImage.h"
#include "common/TgaImage.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

// SHA-256 of a byte buffer, as lower-case hex (the manifest identifies buffers by it),
// by the system's sha256sum.
std::string sha256(const std::vector<std::uint8_t>& bytes) {
  ScratchFolder folder;
  folder.write("buffer", bytes);
  const ProgramRun run = runProgram("sha256sum", folder.path(), "", "", "buffer");
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out.substr(0, run.out.find(' '));
}

using Row = std::map<std::string, std::string>;

std::vector<Row> manifestRows(const fs::path& folder) {
  std::ifstream in(folder / "MANIFEST.tsv");
  std::vector<std::string> columns;
  std::vector<Row> rows;
  std::string line;
  const auto split = [](const std::string& text) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab; (tab = text.find('\t', start)) != std::string::npos; start = tab + 1)
      cells.push_back(text.substr(start, tab - start));
    cells.push_back(text.substr(start));
    return cells;
  };
  while (std::getline(in, line)) {
    const std::vector<std::string> cells = split(line);
    if (columns.empty()) {
      columns = cells;
      continue;
    }
    Row row;
    for (std::size_t i = 0; i < columns.size() && i < cells.size(); ++i) row[columns[i]] = cells[i];
    rows.push_back(row);
  }
  return rows;
}

struct ColourRecord {
  ColorRGBA colour;
};

const char* kindName(TgaImageKind kind) {
  switch (kind) {
    case TgaImageKind::Rgb: return "Rgb";
    case TgaImageKind::Rgba: return "Rgba";
    case TgaImageKind::Grey: return "Grey";
    case TgaImageKind::None: break;
  }
  return "-";
}

TEST(TgaExternalFiles, EachFileLoadsOrFailsAsTheManifestSays) {
  const fs::path folder = externalTgaFolder();
  if (folder.empty()) GTEST_SKIP() << "shared TGA test data not present";
  const std::vector<Row> rows = manifestRows(folder);
  ASSERT_GT(rows.size(), 50u);
  int compared = 0;
  for (const Row& row : rows) {
    const std::string file = row.at("file");
    const std::string expected = row.at("expected");
    SCOPED_TRACE(file + " (" + expected + ")");
    const Result<TgaImage> image = readTgaFile((folder / file).string());
    if (expected == "reject") {
      EXPECT_FALSE(image);
      continue;
    }
    if (expected == "load") {
      EXPECT_TRUE(image);
    }
    if (!image) continue;
    EXPECT_EQ(std::to_string(image->info.width), row.at("width"));
    EXPECT_EQ(std::to_string(image->info.height), row.at("height"));
    EXPECT_EQ(kindName(image->info.kind), row.at("kind"));
    EXPECT_EQ(std::to_string(image->pixels.size()), row.at("buffer_bytes"));
    EXPECT_EQ(sha256(image->pixels), row.at("buffer_sha256"));

    BasicPixelImage<ColourRecord> records;
    records.fillFromTga(image.value());
    const fs::path pixelsFile = folder / (file + ".expected.txt");
    if (!fs::exists(pixelsFile)) {
      for (const ColourRecord& r : records.records) ASSERT_EQ(r.colour, (ColorRGBA{0, 0, 0, 255}));
      continue;
    }
    std::ifstream expectedPixels(pixelsFile);
    std::size_t w = 0, h = 0;
    expectedPixels >> w >> h;
    ASSERT_EQ(records.records.size(), w * h);
    for (std::size_t k = 0; k < w * h; ++k) {
      int r, g, b;
      expectedPixels >> r >> g >> b;
      ASSERT_EQ(records.records[k].colour, (ColorRGBA{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                                      static_cast<std::uint8_t>(b), 255}))
          << "pixel " << k;
    }
    ++compared;
  }
  EXPECT_GT(compared, 30);
}

}  // namespace
}  // namespace zorvel::test
