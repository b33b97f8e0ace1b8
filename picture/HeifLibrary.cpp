#include "picture/HeifLibrary.h"

#include <dlfcn.h>

#include <string>

namespace zorvel {

const Result<HeifLibrary>& heifLibrary() {
  static const Result<HeifLibrary> loaded = []() -> Result<HeifLibrary> {
    const char* const name = "libheif.so.1";
    void* const handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
      return failure(FailureKind::ToolMissing,
                     std::string("without libheif (") + name + "); Debian: apt-get install libheif1");
    HeifLibrary functions;
    const char* missing = nullptr;
#define ZORVEL_HEIF_FIND(name)                                                \
  functions.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
  if (!functions.name && !missing) missing = #name;
    ZORVEL_HEIF_FUNCTIONS(ZORVEL_HEIF_FIND)
#undef ZORVEL_HEIF_FIND
    if (missing)
      return failure(FailureKind::ToolMissing, std::string("without ") + missing + ", which this libheif lacks");
    return functions;
  }();
  return loaded;
}

}  // namespace zorvel
