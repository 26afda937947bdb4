#include "web/curl_api.h"

#include <dlfcn.h>

#include <cstdio>

namespace {

// The library's ABI name: the one every libcurl 7.x and 8.x installs.
constexpr const char* kLibraryName = "libcurl.so.4";

template <typename Function>
bool Resolve(void* library, const char* name, Function& target) {
  void* symbol = dlsym(library, name);
  target = reinterpret_cast<Function>(symbol);
  return symbol != nullptr;
}

const CurlApi* Load() {
  void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    std::fprintf(stderr, "parcora: cannot load %s, so nothing can be fetched: %s\n", kLibraryName,
                 reason != nullptr ? reason : "unknown reason");
    return nullptr;
  }
  static CurlApi api;
  const bool complete = Resolve(library, "curl_global_init", api.global_init) &&
                        Resolve(library, "curl_easy_init", api.easy_init) &&
                        Resolve(library, "curl_easy_setopt", api.easy_setopt) &&
                        Resolve(library, "curl_easy_perform", api.easy_perform) &&
                        Resolve(library, "curl_easy_getinfo", api.easy_getinfo) &&
                        Resolve(library, "curl_easy_cleanup", api.easy_cleanup) &&
                        Resolve(library, "curl_share_init", api.share_init) &&
                        Resolve(library, "curl_share_setopt", api.share_setopt) &&
                        Resolve(library, "curl_slist_append", api.slist_append) &&
                        Resolve(library, "curl_slist_free_all", api.slist_free_all);
  if (!complete) {
    std::fprintf(stderr, "parcora: %s lacks an entry point this program needs\n", kLibraryName);
    return nullptr;
  }
  if (api.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    std::fprintf(stderr, "parcora: %s could not be initialised\n", kLibraryName);
    return nullptr;
  }
  return &api;
}

}  // namespace

const CurlApi* Curl_Api() {
  static const CurlApi* const api = Load();
  return api;
}
