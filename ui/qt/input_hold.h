#pragma once
// Holds back the user's keyboard and mouse input to the program's windows
// while a page is fetched, and hands it back, in order, once the handler that
// fetched has ended. Everything else goes on meanwhile: painting, timers and
// the window system's close request, which a blanket exclusion of user input
// would hold back too.

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QEvent;

class InputHold : public QObject {
 public:
  InputHold();
  ~InputHold() override;  // drops what is still held

  // Starts holding (installs itself on the application).
  void Begin();
  // Stops holding and posts what was held to the windows still there.
  void Release();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Held {
    QPointer<QObject> window;
    std::unique_ptr<QEvent> event;
  };
  bool holding_ = false;
  std::vector<Held> held_;
};
