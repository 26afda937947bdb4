#pragma once
// The two windows as data: every control with its kind, place, size, initial
// content, colours and font, and the events bound to the logic's handlers.
// The Qt layer builds real widgets from these records and the recording
// runtime of the tests takes its start state from them, so both agree.

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
};

struct WindowRecord {
  std::string_view name;
  Text title;                 // code page 936
  int outerWidth = 0;
  int outerHeight = 0;
  bool minimizeBox = false;
  std::span<const ControlRecord> controls;
};

enum class UiEvent { Create, Click, Tick, LeftPress };

struct EventBinding {
  std::string_view window;
  std::string_view control;   // empty for the window's own creation event
  UiEvent event;
  void (*handler)();
};

const WindowRecord& Ui_WindowRecord(std::string_view window);
std::span<const EventBinding> Ui_EventBindings();
