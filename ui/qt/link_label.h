#pragma once
// The two clickable labels of the windows: a label that reports a left mouse
// press, and a hyperlink whose caption changes colour under the mouse and
// once it has been opened.

#include <QColor>
#include <QLabel>

class PressLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void leftPressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class HyperlinkLabel : public QLabel {
  Q_OBJECT

 public:
  HyperlinkLabel(QColor normal, QColor hover, QColor visited, QWidget* parent = nullptr);


 signals:
  // A full click: pressed and released over the link.
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowColor();

  QColor normal_;
  QColor hover_;
  QColor visitedColor_;
  bool hovered_ = false;
  bool visited_ = false;
  bool pressed_ = false;
};
