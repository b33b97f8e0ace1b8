// Feeds arbitrary bytes to the picture room's header readers, as a file of the format
// its first bytes mark (each reader reached by its mark): a header must be read or
// refused with a reason, never by reading a byte past the file, and a picture the file
// holds whole must declare some size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/PictureFormat.h"
#include "picture/PictureHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes on their own, so that a read past them is one past the buffer.
  const std::vector<std::uint8_t> file(data, data + size);
  const zorvel::PictureFormat format = zorvel::pictureFormatOf(file.data(), file.size());
  if (format == zorvel::PictureFormat::Heic || format == zorvel::PictureFormat::Avif) {
    const zorvel::Result<void> whole = zorvel::boxesWhole(format, file.data(), file.size());
    if (!whole && whole.failure().reason.empty()) std::abort();
    return 0;
  }
  const zorvel::Result<zorvel::PictureHeader> header = zorvel::readPictureHeader(format, file.data(), file.size());
  if (!header) {
    if (header.failure().reason.empty()) std::abort();
    return 0;
  }
  if (!header->whole && header->whole.failure().reason.empty()) std::abort();
  if (header->pictures == 0 || header->firstFrame > file.size()) std::abort();
  return 0;
}
