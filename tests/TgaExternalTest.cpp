// Real TGA files from other image libraries' test suites, with what our reader must make
// of each. The files live in the shared test data beside the project; the tests skip
// when it is absent.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>

#include "common/BasicPixelImage.h"
#include "tests/TestSupport.h"
#include "common/TgaImage.h"

namespace zorvel::test {
namespace {

// SHA-256 of a byte buffer, as lower-case hex; the manifest identifies buffers by it.
std::string sha256(const std::uint8_t* data, std::size_t size) {
  static const std::uint32_t k[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5, 0xd807aa98,
      0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786,
      0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8,
      0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13,
      0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819,
      0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a,
      0x5b9cca4f, 0x682e6ff3, 0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::vector<std::uint8_t> m(data, data + size);
  m.push_back(0x80);
  while (m.size() % 64 != 56) m.push_back(0);
  const std::uint64_t bits = std::uint64_t{size} * 8;
  for (int i = 7; i >= 0; --i) m.push_back(static_cast<std::uint8_t>(bits >> (i * 8)));
  const auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
  for (std::size_t block = 0; block < m.size(); block += 64) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
      w[i] = std::uint32_t{m[block + i * 4]} << 24 | std::uint32_t{m[block + i * 4 + 1]} << 16 |
             std::uint32_t{m[block + i * 4 + 2]} << 8 | m[block + i * 4 + 3];
    for (int i = 16; i < 64; ++i) {
      const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
    for (int i = 0; i < 64; ++i) {
      const std::uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
      const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      hh = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
    }
    const std::uint32_t add[8] = {a, b, c, d, e, f, g, hh};
    for (int i = 0; i < 8; ++i) h[i] += add[i];
  }
  char hex[65];
  for (int i = 0; i < 8; ++i) std::snprintf(hex + i * 8, 9, "%08x", h[i]);
  return hex;
}

TEST(Sha256, MatchesKnownDigests) {
  EXPECT_EQ(sha256(nullptr, 0), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  const std::string abc = "abc";
  EXPECT_EQ(sha256(reinterpret_cast<const std::uint8_t*>(abc.data()), 3),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
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
    TgaImage image;
    const bool loaded = image.load((folder / file).string());
    if (expected == "reject") {
      EXPECT_FALSE(loaded);
      EXPECT_EQ(image.pixels(), nullptr);
      EXPECT_EQ(image.width(), 0u);
      continue;
    }
    if (expected == "load") {
      EXPECT_TRUE(loaded);
    }
    if (!loaded) continue;
    EXPECT_EQ(std::to_string(image.width()), row.at("width"));
    EXPECT_EQ(std::to_string(image.height()), row.at("height"));
    EXPECT_EQ(kindName(image.kind()), row.at("kind"));
    EXPECT_EQ(std::to_string(image.pixelBytes()), row.at("buffer_bytes"));
    EXPECT_EQ(sha256(image.pixels(), image.pixelBytes()), row.at("buffer_sha256"));

    BasicPixelImage<ColourRecord> records;
    records.fillFromTga(image);
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
