#include "ui/window_handlers.h"

#include "ui/maker_site.h"
#include "ui/window_records.h"
#include "ui/window_runtime.h"

namespace {
// Checking one method box unchecks the other; a click that unchecks the
// checked box leaves both unchecked.
void CheckExclusively(std::string_view clicked, std::string_view other) {
  if (Ui_GetChecked(clicked) == 1) {
    Ui_SetChecked(other, 0);
    Ui_SetChecked(clicked, 1);
  }
}
}  // namespace

void MainWindow_OnCreate() { Ui_SetTimerPeriod("时钟1", 999); }

void MainWindow_OnMethodOneClick() { CheckExclusively("选择框1", "选择框2"); }

void MainWindow_OnMethodTwoClick() { CheckExclusively("选择框2", "选择框1"); }

void MainWindow_OnAboutClick() { Ui_LoadWindow(AboutWindowName, true); }

void AboutWindow_OnTextPress() { Ui_OpenUrl(MakerSiteBase()); }
