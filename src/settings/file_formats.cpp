#include "file_formats.h"

#include "monitor/trapped_error.h"

namespace gridvane {

QByteArray encodeRecords(const QStringList& values)
{
    QByteArray out;
    for (const auto& value : values)
        out += '"' + value.toUtf8() + "\"\r\n";
    return out;
}

RecordReader::RecordReader(const QByteArray& contents)
    : m_text(QString::fromUtf8(contents))
{
}

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
} // namespace

bool RecordReader::atEnd() const
{
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        if (!isBlank(m_text[i]) && !isLineEnd(m_text[i]))
            return false;
    }
    return true;
}

void RecordReader::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
}

void RecordReader::skipLineEnd()
{
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('\r'))
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('\n'))
        ++m_pos;
}

QString RecordReader::next()
{
    if (m_pos >= m_text.size())
        throw errors::inputPastEnd();
    skipBlanks();
    QString value;
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('"')) {
        const auto close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
        const auto end = close < 0 ? m_text.size() : close;
        value = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? end : close + 1;
        // Whatever stands between the closing quote and the end of the field (a hand edit,
        // or the rest of a value that held a quote) is passed over.
        while (
            m_pos < m_text.size() && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    } else {
        const auto start = m_pos;
        while (
            m_pos < m_text.size() && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        value = m_text.mid(start, m_pos - start);
        while (!value.isEmpty() && isBlank(value.back()))
            value.chop(1);
    }
    if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char(','))
        ++m_pos;
    else
        skipLineEnd();
    return value;
}

QByteArray encodeUtf16Le(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QString decodeUtf16Le(const QByteArray& bytes)
{
    QString text;
    text.reserve((bytes.size() + 1) / 2);
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const auto low = quint8(bytes[i]);
        const auto high = i + 1 < bytes.size() ? quint8(bytes[i + 1]) : quint8(0);
        text += QChar(char16_t(low | (high << 8)));
    }
    return text;
}

} // namespace gridvane
