#include "ui/qt/qt_text.h"

#include "text/code_page.h"

QString Qt_FromGbk(std::string_view gbk) {
  std::u16string units = Code_GbkToUtf16(gbk);
  // Zero bytes at the end (a fixed-size buffer's padding) are not part of
  // what a control shows.
  while (!units.empty() && units.back() == u'\0') units.pop_back();
  return QString::fromStdU16String(units);
}

Text Qt_ToGbk(const QString& text) {
  return Code_Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<size_t>(text.size())));
}

QString Qt_FromGbkLines(std::string_view gbk) {
  QString text = Qt_FromGbk(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

Text Qt_ToGbkLines(const QString& text) {
  QString lines = text;
  lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return Qt_ToGbk(lines);
}
