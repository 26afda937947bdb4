#pragma once
// The tracking service's two request addresses.

#include <string_view>

#include "text/text_primitives.h"

// https, the host, no trailing slash; fixed when the program is built
// (PARCORA_TRACK_SERVICE).
Text TrackServiceBase();
// Points the queries at another service, e.g. a test's loopback server; the
// empty text restores the address the program was built with.
void Query_SetTrackServiceBase(const Text& base);

// Every byte outside A-Z a-z 0-9 - . _ ~ as %XX (upper-case hex), so no typed
// character can end or alter a query value.
Text Query_PercentEncode(std::string_view text);

// The company-detection address of a number, and the trace address of a
// company code and a number; the number goes in percent-encoded.
Text Query_DetectionAddress(std::string_view number);
Text Query_TraceAddress(std::string_view companyCode, std::string_view number);
