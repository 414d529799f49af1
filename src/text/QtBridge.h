/** @file QtBridge.h
 * The workbench's text at the edge of Qt: workbench text to QString and back (line breaks as the
 * widgets show them), and the workbench's user-interface font with its CJK fallbacks.
 * Header-only, for the window code of every subsystem; the text logic needs no Qt.
 */
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <string>

#include "text/CodePage.h"

namespace qy::text {

/// Workbench text to QString; CR LF becomes the single line break widgets use.
inline QString ToQString(const std::string& ansi) {
    QString s = QString::fromStdU16String(AnsiToWide(ansi));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

/// QString to workbench text; every line break becomes CR LF when `crlf` is set.
inline std::string FromQString(const QString& s, bool crlf = false) {
    if (!crlf) return WideToAnsi(s.toStdU16String());
    QString t = s;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return WideToAnsi(t.toStdU16String());
}

/// "微软雅黑" at a pixel height, falling back to the CJK fonts the set-up installs.
inline QFont WorkbenchFont(int pixelHeight, bool bold = false, const QString& first = QStringLiteral("微软雅黑")) {
    QFont font;
    font.setFamilies({first, QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(pixelHeight);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

}  // namespace qy::text
