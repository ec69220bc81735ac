#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gridvane {

// Settings.ini: one record per line, each a double quote, the value, a double quote and
// CR LF; values are never escaped. Text is written as UTF-8.
QByteArray encodeRecords(const QStringList& values);

// Settings.ini's text. Each line is read as UTF-8 when it is valid UTF-8 and as windows-1252
// otherwise, so files saved by older programs in the 8-bit code page keep their characters,
// and one stray byte spoils nothing beyond its own line.
QString decodeSettingsText(const QByteArray& contents);

// Reads Settings.ini's records one field at a time from a file's whole contents. A quoted
// field is the text between its quotes, and the rest of its line is passed over; an unquoted
// field ends at a comma or the line end. LF and CR LF both end a line.
class RecordReader
{
public:
    explicit RecordReader(const QByteArray& contents);

    // True when nothing but blanks and line ends remains.
    bool atEnd() const;
    // The next field; fails with "Input past end of file" when there is none.
    QString next();

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// NetSend.ini: the text's UTF-16 code units, low byte first, nothing else.
QByteArray encodeUtf16Le(const QString& text);
// A single byte left at the end of an odd-length file becomes a last code unit of its own.
QString decodeUtf16Le(const QByteArray& bytes);

} // namespace gridvane
