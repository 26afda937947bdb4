#include "ui/maker_site.h"

#include "text/code_page.h"

#ifndef PARCORA_MAKER_SITE
#define PARCORA_MAKER_SITE "http://www.morvy.example"
#endif

namespace {
Text& SiteOverride() {
  static Text base;
  return base;
}
}  // namespace

Text MakerSiteName() {
  static const Text name = Gbk("Morvy网");
  return name;
}

Text MakerSiteBase() {
  const Text& override = SiteOverride();
  return override.empty() ? Text(PARCORA_MAKER_SITE) : override;
}

void Ui_SetMakerSiteBase(const Text& base) { SiteOverride() = base; }
