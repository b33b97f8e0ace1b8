#pragma once

// A HEIC or AVIF picture read through libheif from the file's bytes in memory: first the
// container, which says the primary picture's size (its rotation and mirroring counted)
// and how many pictures the file holds, then, once the caller has weighed that size, the
// primary picture decoded with the rotation and mirroring the file asks for, upright and
// bottom row first, 32 bits a pixel. Needs the library loaded (heifLibrary()). Not
// copyable; the bytes must outlive it.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/PictureFormat.h"
#include "common/Result.h"
#include "common/TgaImage.h"
#include "picture/PictureSize.h"

struct heif_context;
struct heif_image_handle;

namespace zorvel {

class HeifFile {
 public:
  // The file of `format` in the `size` bytes at `data`; fails where its container cannot
  // be read: CutShort, Malformed or Unsupported, with what libheif says.
  static Result<std::unique_ptr<HeifFile>> open(PictureFormat format, const std::uint8_t* data, std::size_t size);
  ~HeifFile();
  HeifFile(const HeifFile&) = delete;
  HeifFile& operator=(const HeifFile&) = delete;

  PictureSize size() const { return size_; }  // the primary picture's, as it is shown
  std::uint32_t pictures() const { return pictures_; }

  // The primary picture, upright; or why not, as open() says.
  Result<TgaImage> decode() const;

 private:
  HeifFile(PictureFormat format, heif_context* context);
  PictureFormat format_;
  heif_context* context_;
  heif_image_handle* primary_ = nullptr;
  PictureSize size_;
  std::uint32_t pictures_ = 1;
};

}  // namespace zorvel
