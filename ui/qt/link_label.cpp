#include "ui/qt/link_label.h"

#include <QMouseEvent>

void PressLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit leftPressed();
  QLabel::mousePressEvent(event);
}

HyperlinkLabel::HyperlinkLabel(QColor normal, QColor hover, QColor visited, QWidget* parent)
    : QLabel(parent), normal_(normal), hover_(hover), visitedColor_(visited) {
  setCursor(Qt::PointingHandCursor);
  ShowColor();
}

void HyperlinkLabel::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  ShowColor();
  QLabel::enterEvent(event);
}

void HyperlinkLabel::leaveEvent(QEvent* event) {
  hovered_ = false;
  pressed_ = false;
  ShowColor();
  QLabel::leaveEvent(event);
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  QLabel::mousePressEvent(event);
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) {
    visited_ = true;
    ShowColor();
    emit clicked();
  }
  QLabel::mouseReleaseEvent(event);
}

void HyperlinkLabel::ShowColor() {
  QPalette colors = palette();
  colors.setColor(QPalette::WindowText, hovered_ ? hover_ : visited_ ? visitedColor_ : normal_);
  setPalette(colors);
}
