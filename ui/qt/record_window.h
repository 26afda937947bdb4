#pragma once
// A top-level window built from its window record: every control becomes a
// real widget whose object name is the control's name, placed and sized as
// the record says. Events are bound by the runtime, not here.

#include <QFont>
#include <QWidget>
#include <functional>
#include <string>

#include "ui/window_records.h"

// The family the windows draw their Chinese in; fonts-wqy-microhei provides it.
inline constexpr const char* ChineseFontFamily = "WenQuanYi Micro Hei";
// Pixel size of controls for which the record gives no font: the height of
// the Chinese system font that the record's sizes were laid out for.
inline constexpr int DefaultFontPixels = 12;

// Qt sizes a window's client area; the record gives the outer size of a
// window with a fixed border (3 pixels on each side) and a 19-pixel caption.
inline constexpr int FrameWidth = 3;
inline constexpr int CaptionHeight = 19;

// The windows' font at a record's size and weight.
QFont Qt_WindowFont(const FontRecord& record);

class RecordWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RecordWindow(const WindowRecord& record);

  const std::string& Name() const { return name_; }
  // Asked on every close request; returning false keeps the window open.
  void SetCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls(const WindowRecord& record);
  void PlaceOnScreen(const WindowRecord& record);

  std::string name_;
  std::function<bool()> closeGuard_;
};
