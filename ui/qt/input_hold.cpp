#include "ui/qt/input_hold.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// Input that could start a handler. Mouse moves, enter and leave still pass,
// so the hyperlink and the buttons keep following the mouse.
bool StartsAnything(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputHold::InputHold() = default;

InputHold::~InputHold() {
  if (holding_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void InputHold::Begin() {
  if (holding_ || !QCoreApplication::instance()) return;
  holding_ = true;
  QCoreApplication::instance()->installEventFilter(this);
}

void InputHold::Release() {
  if (!holding_) return;
  holding_ = false;
  QCoreApplication::instance()->removeEventFilter(this);
  // Posted, not sent: each comes back through the event loop as if the
  // window system delivered it now, after anything already waiting there.
  for (Held& held : held_) {
    if (held.window) QCoreApplication::postEvent(held.window, held.event.release());
  }
  held_.clear();
}

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
  // The window system delivers input to the top-level QWindow first; held
  // there, it reaches no widget until it is posted again.
  if (holding_ && watched->isWindowType() && StartsAnything(event->type())) {
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
  }
  return false;
}
