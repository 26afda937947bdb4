#pragma once
// The maker's web site: its name as shown to users and its base address,
// fixed when the program is built (PARCORA_MAKER_SITE).

#include "text/text_primitives.h"

// "Morvy网" in code page 936.
Text MakerSiteName();
// Plain http, the host, no trailing slash.
Text MakerSiteBase();
// Points the program at another site, e.g. a test's loopback server; the
// empty text restores the address the program was built with.
void Ui_SetMakerSiteBase(const Text& base);
