#pragma once
// The one place where the core's code page 936 texts meet QString.
//
// Windows edit boxes hand out their lines joined by CR LF; Qt's text widgets
// use a bare LF. Multi-line texts are converted at this edge so the logic sees
// the line breaks it wrote.

#include <QString>
#include <string_view>

#include "text/text_primitives.h"

QString Qt_FromGbk(std::string_view gbk);
Text Qt_ToGbk(const QString& text);

// A text as a multi-line widget holds it: CR LF and lone CR become LF.
QString Qt_FromGbkLines(std::string_view gbk);
// The widget's lines joined by CR LF again.
Text Qt_ToGbkLines(const QString& text);
