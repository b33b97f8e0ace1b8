#include "picture/CodecLibraries.h"

#include <dlfcn.h>

#include <cstdio>

extern "C" {
#include <libavcodec/version.h>
#include <libavutil/log.h>
#include <libavutil/version.h>
#include <libswscale/version.h>
}

namespace zorvel {

namespace {

#define ZORVEL_TEXT(x) #x
#define ZORVEL_SONAME(name, major) "lib" name ".so." ZORVEL_TEXT(major)

// The messages of the work running on this thread, if any.
thread_local CodecMessages* tListening = nullptr;

}  // namespace

const Result<CodecLibraries>& codecLibraries() {
  static const Result<CodecLibraries> loaded = []() -> Result<CodecLibraries> {
    const char* const names[] = {ZORVEL_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR),
                                 ZORVEL_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR),
                                 ZORVEL_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR)};
    void* handles[3];
    for (int i = 0; i < 3; ++i)
      if (!(handles[i] = dlopen(names[i], RTLD_NOW | RTLD_LOCAL)))
        return failure(FailureKind::ToolMissing,
                       std::string("without the ffmpeg libraries (") + names[i] + "); Debian: apt-get install ffmpeg");
    void* const util = handles[0];
    void* const codec = handles[1];
    void* const scale = handles[2];
    CodecLibraries functions;
    const char* missing = nullptr;
#define ZORVEL_CODEC_FIND(library, name)                                       \
  functions.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
  if (!functions.name && !missing) missing = #name;
    ZORVEL_CODEC_FUNCTIONS(ZORVEL_CODEC_FIND)
#undef ZORVEL_CODEC_FIND
    if (missing)
      return failure(FailureKind::ToolMissing,
                     std::string("without ") + missing + ", which these ffmpeg libraries lack");
    // Every message goes to the work that listens on its thread, or nowhere.
    functions.av_log_set_callback(CodecMessages::keep);
    return functions;
  }();
  return loaded;
}

const CodecLibraries& av() { return codecLibraries().value(); }

CodecMessages::CodecMessages() { tListening = this; }

CodecMessages::~CodecMessages() { tListening = nullptr; }

void CodecMessages::keep(void*, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_ERROR || !tListening) return;
  char line[512];
  std::vsnprintf(line, sizeof line, format, arguments);
  std::string text(line);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  tListening->lastError_ = text;
}

}  // namespace zorvel
