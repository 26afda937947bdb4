#include "ui/qt/report_box.h"

ReportBox::ReportBox(QWidget* parent) : QPlainTextEdit(parent) {}

void ReportBox::focusInEvent(QFocusEvent* event) {
  ShowSelection(true);
  QPlainTextEdit::focusInEvent(event);
}

void ReportBox::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  ShowSelection(false);
}

void ReportBox::ShowSelection(bool visible) {
  if (visible == selectionShown_) return;
  selectionShown_ = visible;
  if (visible) {
    setPalette(shownColors_);
    return;
  }
  // The selection is drawn in the highlight colours; without the focus they
  // become the box's own, so the selected text looks like the rest.
  shownColors_ = palette();
  QPalette hidden = shownColors_;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    hidden.setColor(group, QPalette::Highlight, hidden.color(group, QPalette::Base));
    hidden.setColor(group, QPalette::HighlightedText, hidden.color(group, QPalette::Text));
  }
  setPalette(hidden);
}
