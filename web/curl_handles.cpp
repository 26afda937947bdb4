#include "web/curl_handles.h"

#include <mutex>

namespace {

// Lives until the process ends: a connection or cookie of the share may be in
// use by any later call, and freeing it during static destruction would race
// with a worker thread that is still finishing a transfer.
struct SharedState {
  CURLSH* share = nullptr;
  std::mutex locks[CURL_LOCK_DATA_LAST];
};

void LockShared(CURL*, curl_lock_data data, curl_lock_access, void* state) {
  static_cast<SharedState*>(state)->locks[data].lock();
}

void UnlockShared(CURL*, curl_lock_data data, void* state) {
  static_cast<SharedState*>(state)->locks[data].unlock();
}

CURLSH* ProcessShare(const CurlApi& curl) {
  static SharedState* const state = [&curl] {
    auto* made = new SharedState;
    made->share = curl.share_init();
    if (made->share != nullptr) {
      curl.share_setopt(made->share, CURLSHOPT_LOCKFUNC, LockShared);
      curl.share_setopt(made->share, CURLSHOPT_UNLOCKFUNC, UnlockShared);
      curl.share_setopt(made->share, CURLSHOPT_USERDATA, made);
      curl.share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
      curl.share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
      curl.share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
      curl.share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    }
    return made;
  }();
  return state->share;
}

}  // namespace

EasyHandle::EasyHandle(const CurlApi& curl) : curl_(curl) {
  CURLSH* share = ProcessShare(curl);
  handle_ = curl.easy_init();
  if (handle_ != nullptr && share != nullptr) curl.easy_setopt(handle_, CURLOPT_SHARE, share);
}

EasyHandle::~EasyHandle() {
  if (handle_ != nullptr) curl_.easy_cleanup(handle_);
}

HeaderList::HeaderList(const CurlApi& curl, const std::vector<std::string>& lines) : curl_(curl) {
  for (const std::string& line : lines) {
    curl_slist* grown = curl.slist_append(list_, line.c_str());
    if (grown == nullptr) {
      failed_ = true;
      return;
    }
    list_ = grown;
  }
}

HeaderList::~HeaderList() { curl_.slist_free_all(list_); }
