#pragma once

// libheif, which reads HEIC and AVIF pictures (with the HEVC and AV1 decoders it brings),
// loaded when the first such picture is read, as the ffmpeg libraries are: a recording
// of anything else need not carry it. Built against its header, not linked.

#include <libheif/heif.h>

#include "common/Result.h"

namespace zorvel {

// clang-format off
#define ZORVEL_HEIF_FUNCTIONS(F)                                                                  \
  F(heif_context_alloc) F(heif_context_free) F(heif_context_read_from_memory_without_copy)       \
  F(heif_context_get_primary_image_handle) F(heif_context_get_number_of_top_level_images)        \
  F(heif_image_handle_get_width) F(heif_image_handle_get_height) F(heif_image_handle_release)    \
  F(heif_decode_image) F(heif_image_get_plane_readonly) F(heif_image_get_width)                  \
  F(heif_image_get_height) F(heif_image_release)
// clang-format on

// The functions the picture room calls.
struct HeifLibrary {
// A declaration's name takes no parentheses.
#define ZORVEL_HEIF_MEMBER(name) decltype(&::name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  ZORVEL_HEIF_FUNCTIONS(ZORVEL_HEIF_MEMBER)
#undef ZORVEL_HEIF_MEMBER
};

// The library, loaded the first time this is called; or why it cannot be had
// (ToolMissing): a phrase for the caller's sentence, "without libheif (libheif.so.1);
// Debian: apt-get install libheif1".
const Result<HeifLibrary>& heifLibrary();

}  // namespace zorvel
