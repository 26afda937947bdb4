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

CURLSH* ProcessShare() {
  static SharedState* const state = [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    auto* made = new SharedState;
    made->share = curl_share_init();
    if (made->share != nullptr) {
      curl_share_setopt(made->share, CURLSHOPT_LOCKFUNC, LockShared);
      curl_share_setopt(made->share, CURLSHOPT_UNLOCKFUNC, UnlockShared);
      curl_share_setopt(made->share, CURLSHOPT_USERDATA, made);
      curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
      curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
      curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
      curl_share_setopt(made->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
    }
    return made;
  }();
  return state->share;
}

}  // namespace

EasyHandle::EasyHandle() {
  CURLSH* share = ProcessShare();
  handle_ = curl_easy_init();
  if (handle_ != nullptr && share != nullptr) curl_easy_setopt(handle_, CURLOPT_SHARE, share);
}

EasyHandle::~EasyHandle() {
  if (handle_ != nullptr) curl_easy_cleanup(handle_);
}

HeaderList::HeaderList(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    curl_slist* grown = curl_slist_append(list_, line.c_str());
    if (grown == nullptr) {
      failed_ = true;
      return;
    }
    list_ = grown;
  }
}

HeaderList::~HeaderList() { curl_slist_free_all(list_); }
