#pragma once

// The ffmpeg libraries' decoders and resampler, loaded when the first picture of their
// formats is read: they bring some ninety libraries of their own and some 15 MB of
// memory, which a recording of path files or of a TGA picture need not carry. Built
// against their headers, not linked.

#include <cstdarg>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "common/Result.h"

namespace zorvel {

// clang-format off
#define ZORVEL_CODEC_FUNCTIONS(F)                                                              \
  F(codec, avcodec_find_decoder) F(codec, avcodec_alloc_context3) F(codec, avcodec_open2)     \
  F(codec, avcodec_free_context) F(codec, avcodec_send_packet) F(codec, avcodec_receive_frame) \
  F(codec, av_packet_alloc) F(codec, av_packet_free)                                           \
  F(util, av_frame_alloc) F(util, av_frame_free) F(util, av_dict_get) F(util, av_log_set_callback) \
  F(scale, sws_getContext) F(scale, sws_freeContext) F(scale, sws_scale)                       \
  F(scale, sws_getColorspaceDetails) F(scale, sws_setColorspaceDetails)
// clang-format on

// The functions the picture room calls, each found in its library.
struct CodecLibraries {
// A declaration's name takes no parentheses.
#define ZORVEL_CODEC_MEMBER(library, name) decltype(&::name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  ZORVEL_CODEC_FUNCTIONS(ZORVEL_CODEC_MEMBER)
#undef ZORVEL_CODEC_MEMBER
};

// The libraries, loaded the first time this is called; or why they cannot be had
// (ToolMissing): a phrase that says what a picture is without, "without the ffmpeg
// libraries (libavcodec.so.59); Debian: apt-get install ffmpeg", for the caller to put
// where its sentence needs it.
const Result<CodecLibraries>& codecLibraries();

// The libraries, once codecLibraries() has found them.
const CodecLibraries& av();

// What the libraries say while one piece of work runs on the calling thread, from this
// object's making to its end: their errors kept, never printed; the last of them says
// why a decoding failed. Needs the libraries loaded. One at a time a thread; not
// copyable.
class CodecMessages {
 public:
  CodecMessages();
  ~CodecMessages();
  CodecMessages(const CodecMessages&) = delete;
  CodecMessages& operator=(const CodecMessages&) = delete;

  // The last error the libraries reported on this thread since this was made; empty
  // when there was none.
  const std::string& lastError() const { return lastError_; }

  // The callback the libraries are given: an error goes to the thread's CodecMessages,
  // if one is listening.
  static void keep(void*, int level, const char* format, va_list arguments);

 private:
  std::string lastError_;
};

}  // namespace zorvel
