#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gridvane {

// Settings.ini: one record per line, each a double quote, the value, a double quote and
// CR LF; values are never escaped. Text is UTF-8.
QByteArray encodeRecords(const QStringList& values);

// Reads Settings.ini's records one field at a time from a file's whole contents.
class RecordReader
{
public:
    explicit RecordReader(const QByteArray& contents);

    // True when nothing but blanks and line ends remains.
    bool atEnd() const;
    // The next field; fails with "Input past end of file" when there is none.
    QString next();

private:
    void skipBlanks();
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
};

// NetSend.ini: the text's UTF-16 code units, low byte first, nothing else.
QByteArray encodeUtf16Le(const QString& text);
// A single byte left at the end of an odd-length file becomes a last code unit of its own.
QString decodeUtf16Le(const QByteArray& bytes);

} // namespace gridvane
