#pragma once
// The multi-line edit box. Like a one-line QLineEdit, it hides its selection
// while it does not have the focus, so only the focused box shows one.

#include <QPlainTextEdit>

class ReportBox : public QPlainTextEdit {
 public:
  explicit ReportBox(QWidget* parent = nullptr);

  // Called once the box has its colours, and on every change of focus.
  void ShowSelection(bool visible);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool selectionShown_ = true;
  QPalette shownColors_;
};
