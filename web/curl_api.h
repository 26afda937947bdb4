#pragma once
// libcurl's entry points, loaded on first use rather than at program start.
//
// libcurl brings some thirty libraries with it (two TLS stacks, Kerberos,
// LDAP, SSH, ...). Linked in, they all load and initialise before main runs,
// which costs the window program several megabytes and milliseconds before
// its first paint, although nothing is fetched until the user asks. Loaded
// here, they arrive with the first fetch, on the thread that makes it.

#include <curl/curl.h>

struct CurlApi {
  decltype(&::curl_global_init) global_init;
  decltype(&::curl_easy_init) easy_init;
  decltype(&::curl_easy_setopt) easy_setopt;
  decltype(&::curl_easy_perform) easy_perform;
  decltype(&::curl_easy_getinfo) easy_getinfo;
  decltype(&::curl_easy_cleanup) easy_cleanup;
  decltype(&::curl_share_init) share_init;
  decltype(&::curl_share_setopt) share_setopt;
  decltype(&::curl_slist_append) slist_append;
  decltype(&::curl_slist_free_all) slist_free_all;
};

// The entry points, or nullptr when libcurl cannot be loaded (said once on
// standard error); every fetch then fails as a fetch with no answer does.
// Loaded once per process, safely from any thread; never unloaded.
const CurlApi* Curl_Api();
