// The yardstick with one line of Chinese text: the same empty window holding
// a single label in the windows' family. Text is what an empty window never
// pays for (the font configuration, a font face, shaping, glyphs), so the
// difference to start_probe_minimal is the least any window that shows
// Chinese costs on top of it.
#include <QLabel>

#include "first_paint_reporter.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  FirstPaintReporter reporter;
  application.installEventFilter(&reporter);
  QWidget window;
  window.setFixedSize(615, 346);
  QLabel line(QString::fromUtf8("运单号：3903300539521"), &window);
  QFont font(QStringLiteral("WenQuanYi Micro Hei"));
  font.setPixelSize(12);
  font.setHintingPreference(QFont::PreferNoHinting);
  line.setFont(font);
  line.move(16, 16);
  window.show();
  return application.exec();
}
