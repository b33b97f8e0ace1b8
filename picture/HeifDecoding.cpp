#include "picture/HeifDecoding.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "picture/HeifLibrary.h"
#include "picture/Resampler.h"

namespace zorvel {

namespace {

const HeifLibrary& heif() { return heifLibrary().value(); }

// What libheif's error says, as the failure of reading a picture of `format`.
Failure heifFailure(PictureFormat format, const heif_error& error) {
  const std::string says = error.message ? error.message : "";
  const std::string name = pictureFormatName(format);
  // Also what it says of a picture larger than its own limits allow.
  if (error.code == heif_error_Memory_allocation_error)
    return failure(FailureKind::TooLarge, "is " + std::string(describePictureFormat(format)) +
                                              " that takes more memory to read than is allowed (libheif says: " + says +
                                              ")");
  if (error.subcode == heif_suberror_End_of_data)
    return failure(FailureKind::CutShort, "cut short: " + std::string(describePictureFormat(format)) +
                                              " ends early (libheif says: " + says + ")");
  if (error.code == heif_error_Unsupported_filetype || error.code == heif_error_Unsupported_feature)
    return failure(FailureKind::Unsupported, std::string(describePictureFormat(format)) +
                                                 " of a kind that is not read (libheif says: " + says + ")");
  return failure(FailureKind::Malformed, "a damaged " + name + " picture (libheif says: " + says + ")");
}

struct ImageRelease {
  void operator()(heif_image* image) const { heif().heif_image_release(image); }
};

}  // namespace

HeifFile::HeifFile(PictureFormat format, heif_context* context) : format_(format), context_(context) {}

HeifFile::~HeifFile() {
  if (primary_) heif().heif_image_handle_release(primary_);
  heif().heif_context_free(context_);
}

Result<std::unique_ptr<HeifFile>> HeifFile::open(PictureFormat format, const std::uint8_t* data, std::size_t size) {
  heif_context* context = heif().heif_context_alloc();
  if (!context) throw std::bad_alloc();
  std::unique_ptr<HeifFile> file(new HeifFile(format, context));
  if (const heif_error read = heif().heif_context_read_from_memory_without_copy(context, data, size, nullptr);
      read.code != heif_error_Ok)
    return heifFailure(format, read);
  if (const heif_error primary = heif().heif_context_get_primary_image_handle(context, &file->primary_);
      primary.code != heif_error_Ok)
    return heifFailure(format, primary);
  const int width = heif().heif_image_handle_get_width(file->primary_);
  const int height = heif().heif_image_handle_get_height(file->primary_);
  if (width <= 0 || height <= 0)
    return failure(FailureKind::Malformed,
                   "a damaged " + std::string(pictureFormatName(format)) + " picture: it declares no pixels");
  file->size_ = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  file->pictures_ =
      static_cast<std::uint32_t>(std::max(1, heif().heif_context_get_number_of_top_level_images(context)));
  return file;
}

Result<TgaImage> HeifFile::decode() const {
  heif_image* decoded = nullptr;
  // No options: the rotation and mirroring the file asks for are applied.
  if (const heif_error error =
          heif().heif_decode_image(primary_, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr);
      error.code != heif_error_Ok)
    return heifFailure(format_, error);
  const std::unique_ptr<heif_image, ImageRelease> image(decoded);
  const int width = heif().heif_image_get_width(decoded, heif_channel_interleaved);
  const int height = heif().heif_image_get_height(decoded, heif_channel_interleaved);
  int stride = 0;
  const std::uint8_t* plane = heif().heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
  const PictureSize shown{static_cast<std::uint32_t>(std::max(width, 0)),
                          static_cast<std::uint32_t>(std::max(height, 0))};
  if (!plane || !(shown == size_) || stride < width * 4)
    return failure(FailureKind::Malformed, "a damaged " + std::string(pictureFormatName(format_)) +
                                               " picture: it decodes to another size than it declares");
  // Bottom row first, with room for the resampler's padding should it be shrunk.
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(shown.pixels()) * 4 + kScalerPadding);
  pixels.resize(static_cast<std::size_t>(shown.pixels()) * 4);
  const std::size_t rowBytes = std::size_t{shown.width} * 4;
  for (std::uint32_t row = 0; row < shown.height; ++row)
    std::memcpy(pixels.data() + std::size_t{shown.height - 1 - row} * rowBytes,
                plane + static_cast<std::size_t>(stride) * row, rowBytes);
  return rgbaPicture(shown, std::move(pixels));
}

}  // namespace zorvel
