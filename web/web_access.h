#pragma once
// The one routine for an HTTP or HTTPS exchange, and the page fetch built on it.
//
// Every call is synchronous. Failures are silent: a request that cannot be
// made gives an empty body, a failed read the part that had arrived.

#include "text/text_primitives.h"

enum class HttpMethod { Get = 0, Post = 1 };

// Performs one request. Omitted arguments take their defaults; `cookies` is
// the one argument whose presence matters: nullptr means "not given" (the
// process-wide cookie store applies), a pointer to a text - even an empty one -
// means the caller's text is the only cookie store and is updated in place.
Bytes Web_Access(const Text& url, HttpMethod method = HttpMethod::Get, const Text& postText = {},
                 Text* cookies = nullptr, Text* newCookies = nullptr, const Text& extraHeaders = {},
                 Text* responseHeaders = nullptr, bool noRedirect = false,
                 const Bytes& postBytes = {}, const Text& proxy = {});

// GET of one address with every setting at its default; the body up to its
// first zero byte, the empty text on failure.
Text Web_Fetch(const Text& url);
