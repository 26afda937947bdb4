#pragma once
// The two windows as data: every control with its kind, place, size, initial
// content, colours and font, and the events bound to the logic's handlers.
// The Qt layer builds real widgets from these records and the recording
// runtime of the tests takes its start state from them, so both agree.

#include <optional>
#include <span>
#include <string_view>

#include "text/text_primitives.h"

inline constexpr std::string_view MainWindowName = "MainWindow";
inline constexpr std::string_view AboutWindowName = "AboutWindow";

enum class ControlKind {
  Label,             // a transparent label
  PlainLabel,        // an ordinary label
  LineEdit,          // an edit box of one line
  MultiLineEdit,     // an edit box of many lines, with a vertical scroll bar
  CheckBox,
  Button,
  Hyperlink,
  Timer,             // not shown
};

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};

struct FontRecord {
  int pixelHeight = 0;  // 0: the platform's default font
  bool bold = false;
  bool gb2312 = false;  // asks for the GB2312 character set
};

// How a label lays out its caption.
enum class LabelLayout {
  LeftVerticallyCentred,  // one block, left-aligned, centred between top and bottom
  CentredLinesFromTop,    // each line centred, long lines wrapped, starting at the top
};

struct ControlRecord {
  std::string_view name;      // UTF-8, also the widget's object name
  ControlKind kind;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  Text text;                  // caption or initial text, code page 936
  bool checked = false;
  Rgb color;                  // text colour
  FontRecord font;
  Text target;                // a hyperlink's address
  // Additions; the defaults suit every control that does not set them.
  std::optional<Rgb> background;          // absent: the platform's default
  bool thinBorder = false;                // edit boxes
  LabelLayout layout = LabelLayout::LeftVerticallyCentred;
  Rgb hoverColor;                         // a hyperlink under the mouse
  Rgb visitedColor;                       // a hyperlink once opened
  int period = 0;                         // a timer's start period in milliseconds
};

struct WindowRecord {
  std::string_view name;
  Text title;                 // code page 936
  int outerWidth = 0;
  int outerHeight = 0;
  bool minimizeBox = false;
  std::span<const ControlRecord> controls;
  // Additions: both windows have a fixed border, a system menu and a close
  // box, no maximise box, and are centred on the screen when loaded.
  bool maximizeBox = false;
  bool resizable = false;
};

enum class UiEvent { Create, Click, Tick, LeftPress };

struct EventBinding {
  std::string_view window;
  std::string_view control;   // empty for the window's own creation event
  UiEvent event;
  void (*handler)();
};

// The record of MainWindowName or AboutWindowName; any other name gives the
// main window's. The reference stays valid for the whole run.
const WindowRecord& Ui_WindowRecord(std::string_view window);
std::span<const EventBinding> Ui_EventBindings();
// The handler bound to one event of one control (control empty: the window's
// creation), or nullptr when that event is not bound.
void (*Ui_FindHandler(std::string_view window, std::string_view control, UiEvent event))();
