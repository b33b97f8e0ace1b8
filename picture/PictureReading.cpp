#include "picture/PictureReading.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/MemoryBudget.h"
#include "common/PictureFormat.h"
#include "common/WholeFile.h"
#include "picture/CodecLibraries.h"
#include "picture/HeifDecoding.h"
#include "picture/HeifLibrary.h"
#include "picture/PictureDecoding.h"
#include "picture/PictureHeader.h"

namespace zorvel {

const char* const kPicturesRead = "PNG, JPEG, GIF, BMP, TIFF, WebP, PNM, HEIC, AVIF and TGA";

namespace {

Failure tooLarge(PictureSize size, std::uint64_t memoryBytes) {
  return failure(FailureKind::TooLarge, "is " + std::to_string(size.width) + " x " + std::to_string(size.height) +
                                            " pixels: reading it takes " +
                                            megabytesNeeded(size.pixels() * kPictureReadingBytesPerPixel) + ", but " +
                                            megabytesAvailable(memoryBytes) + " are available");
}

// A file's bytes, with AV_INPUT_BUFFER_PADDING_SIZE zero bytes after them for the
// decoders.
struct FileBytes {
  std::vector<std::uint8_t> data;
  std::size_t size = 0;

  // The pixels a picture read from these bytes may have within `memoryBytes`, the bytes
  // themselves held.
  std::uint64_t pixelRoom(std::uint64_t memoryBytes) const {
    return (memoryBytes - data.size()) / kPictureReadingBytesPerPixel;
  }
};

// Whether a file whose TGA header is refused is a TGA all the same: a colour-mapped one
// (its colour map type 1, or its image type 1 or 9), which the reader says it does not
// take.
bool colourMappedTga(const FileBytes& file) {
  return file.size >= 18 && (file.data[1] == 1 || file.data[2] == 1 || file.data[2] == 9);
}

// A TGA picture, read as the cruncher reads one; a file whose header the TGA reader
// cannot read is no picture of any kind read here (but for a colour-mapped TGA).
Result<TgaImage> readTga(const FileBytes& file, std::uint64_t memoryBytes) {
  const Result<TgaInfo> header = readTgaHeader(file.data.data(), file.size);
  if (!header) {
    if (colourMappedTga(file)) return header.failure();
    return failure(FailureKind::WrongFormat, std::string("not a picture of any format read (") + kPicturesRead + ")");
  }
  Result<TgaImage> image = decodeTga(file.data.data(), file.size, file.pixelRoom(memoryBytes));
  if (!image && image.failure().kind == FailureKind::TooLarge)
    return tooLarge({header->width, header->height}, memoryBytes);
  return image;
}

// A picture of a format the ffmpeg libraries decode.
Result<TgaImage> readDecoded(PictureFormat format, const FileBytes& file, std::uint64_t memoryBytes,
                             std::uint32_t& pictures) {
  const Result<PictureHeader> header = readPictureHeader(format, file.data.data(), file.size);
  if (!header) return header.failure();
  if (header->size.pixels() == 0)
    return failure(FailureKind::Malformed,
                   "a damaged " + std::string(pictureFormatName(format)) + " picture: its header declares no pixels");
  if (decoderPixels(header->size) > file.pixelRoom(memoryBytes)) return tooLarge(header->size, memoryBytes);
  if (!header->whole) return header->whole.failure();
  pictures = header->pictures;
  return decodePicture(format, file.data.data(), file.size, header.value());
}

// A HEIC or AVIF picture, which libheif reads.
Result<TgaImage> readHeif(PictureFormat format, const FileBytes& file, std::uint64_t memoryBytes,
                          std::uint32_t& pictures) {
  if (const Result<void> whole = boxesWhole(format, file.data.data(), file.size); !whole) return whole.failure();
  const Result<std::unique_ptr<HeifFile>> heif = HeifFile::open(format, file.data.data(), file.size);
  if (!heif) return heif.failure();
  const HeifFile& opened = *heif.value();
  if (decoderPixels(opened.size()) > file.pixelRoom(memoryBytes)) return tooLarge(opened.size(), memoryBytes);
  pictures = opened.pictures();
  return opened.decode();
}

bool readByHeif(PictureFormat format) { return format == PictureFormat::Heic || format == PictureFormat::Avif; }

}  // namespace

Result<TgaImage> readPicture(const std::string& fileName, std::uint64_t memoryBytes, std::uint32_t* pictures) {
  Result<FileHandle> opened = openReadable(fileName);
  if (!opened) return opened.failure();
  std::FILE* handle = opened->get();
  std::uint8_t start[16];
  const std::size_t got = std::fread(start, 1, sizeof start, handle);
  if (got == 0) return failure(FailureKind::WrongFormat, "empty: not a picture");
  const PictureFormat format = pictureFormatOf(start, got);
  if (format != PictureFormat::Unmarked && !recorderReads(format))
    return failure(FailureKind::Unsupported,
                   std::string(describePictureFormat(format)) + ", which is not read (" + kPicturesRead + " are)");
  // The library a format needs, loaded now, before the file is read whole.
  const Failure* without = nullptr;
  if (readByHeif(format) && !heifLibrary())
    without = &heifLibrary().failure();
  else if (format != PictureFormat::Unmarked && !readByHeif(format) && !codecLibraries())
    without = &codecLibraries().failure();
  if (without)
    return failure(without->kind,
                   std::string(describePictureFormat(format)) + ", which cannot be decoded " + without->reason);

  struct stat info {};
  const std::uint64_t bytes = fstat(fileno(handle), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  if (bytes + AV_INPUT_BUFFER_PADDING_SIZE > memoryBytes || bytes > static_cast<std::uint64_t>(INT32_MAX))
    return failure(FailureKind::TooLarge,
                   "is a file of " + megabytesNeeded(bytes) + ", more than is read as a picture");
  FileBytes file;
  file.size = static_cast<std::size_t>(bytes);
  file.data.resize(file.size + AV_INPUT_BUFFER_PADDING_SIZE);
  std::copy(start, start + got, file.data.begin());
  if (file.size < got || std::fread(file.data.data() + got, 1, file.size - got, handle) != file.size - got)
    return failure(FailureKind::CannotOpen, "cannot be read whole");
  opened.value().reset();
  std::uint32_t held = 1;
  Result<TgaImage> picture = format == PictureFormat::Unmarked ? readTga(file, memoryBytes)
                             : readByHeif(format)              ? readHeif(format, file, memoryBytes, held)
                                                               : readDecoded(format, file, memoryBytes, held);
  if (pictures) *pictures = held;
  return picture;
}

}  // namespace zorvel
