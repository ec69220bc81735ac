#include "file_formats.h"

#include "monitor/trapped_error.h"
#include "platform/windows_1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace gridvane {

QByteArray encodeRecords(const QStringList& values)
{
    QByteArray out;
    for (const auto& value : values)
        out += '"' + value.toUtf8() + "\"\r\n";
    return out;
}

QString decodeSettingsText(const QByteArray& contents)
{
    QString text;
    text.reserve(contents.size());
    qsizetype start = 0;
    while (start < contents.size()) {
        const qsizetype newline = contents.indexOf('\n', start);
        const qsizetype end = newline < 0 ? contents.size() : newline + 1;
        const QByteArrayView line = QByteArrayView(contents).sliced(start, end - start);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(line);
        text += utf8.hasError() ? decodeWindows1252(line) : decoded;
        start = end;
    }
    return text;
}

RecordReader::RecordReader(const QByteArray& contents)
    : m_text(decodeSettingsText(contents))
{
}

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
} // namespace

bool RecordReader::atEnd() const
{
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (!isBlank(c) && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            return false;
    }
    return true;
}

QString RecordReader::next()
{
    if (m_pos >= m_text.size())
        throw errors::inputPastEnd();
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;

    // The line ends at LF; a CR right before it belongs to the line end.
    const qsizetype newline = m_text.indexOf(QLatin1Char('\n'), m_pos);
    const qsizetype nextLine = newline < 0 ? m_text.size() : newline + 1;
    qsizetype lineEnd = newline < 0 ? m_text.size() : newline;
    if (lineEnd > m_pos && m_text[lineEnd - 1] == QLatin1Char('\r'))
        --lineEnd;
    const QStringView line = QStringView(m_text).sliced(m_pos, lineEnd - m_pos);

    if (line.startsWith(QLatin1Char('"'))) {
        // What follows the closing quote (the rest of a value that held a quote, or a hand
        // edit) is passed over, so it can never shift the records after it.
        const qsizetype close = line.indexOf(QLatin1Char('"'), 1);
        m_pos = nextLine;
        return line.sliced(1, (close < 0 ? line.size() : close) - 1).toString();
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    QStringView value = comma < 0 ? line : line.first(comma);
    m_pos = comma < 0 ? nextLine : m_pos + comma + 1;
    while (!value.isEmpty() && isBlank(value.back()))
        value.chop(1);
    return value.toString();
}

QByteArray encodeUtf16Le(const QString& text)
{
    return QStringEncoder(QStringEncoder::Utf16LE).encode(text);
}

QString decodeUtf16Le(const QByteArray& bytes)
{
    // A leading byte-order mark and unpaired surrogates are code units like any other.
    QStringDecoder utf16(QStringDecoder::Utf16LE, QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf16.decode(QByteArrayView(bytes).first(bytes.size() & ~qsizetype(1)));
    if (bytes.size() % 2)
        text += QChar(char16_t(quint8(bytes.back())));
    return text;
}

} // namespace gridvane
