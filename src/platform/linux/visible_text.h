#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace gridvane {

// The characters of a page body. The charset comes from the Content-Type header, else from a
// byte-order mark, else from a <meta> declaration near the top, else UTF-8 when the bytes are
// valid UTF-8, else windows-1252 (which also stands in for Latin-1 and ASCII, as in browsers).
QString decodePage(const QByteArray& body, const QByteArray& contentType);

// The text a reader sees on the page: character references decoded; NUL characters dropped;
// the head, scripts, styles, templates and comments left out; every run of white space
// (no-break spaces included) collapsed to one blank; blocks, table cells and line breaks on
// lines of their own, inline elements joined without a break. A text/plain body is taken as
// it is, with the same white-space rule.
QString visibleText(QByteArray body, const QByteArray& contentType);

// A page prepared for repeated searching: its text is case-folded, and every run of white
// space made one blank, once, here.
class SearchablePage
{
public:
    explicit SearchablePage(QString text);

    // True when the text occurs in the page, compared after Unicode case folding of both and
    // with any run of white space on either side (blanks, tabs, line breaks, form feeds,
    // no-break spaces) matching any other; also inside longer words. An empty text is never
    // found.
    bool contains(const QString& text) const;

private:
    QString m_folded;
};

} // namespace gridvane
