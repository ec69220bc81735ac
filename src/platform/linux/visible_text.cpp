#include "visible_text.h"

#include "platform/windows_1252.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace gridvane {

namespace {

// --- Charset -----------------------------------------------------------------------------

// Labels that pages use for windows-1252 or for its subsets; browsers read all of them as
// windows-1252, while Qt would read Latin-1 and ASCII strictly.
bool meansWindows1252(const QByteArray& label)
{
    static const QList<QByteArray> labels = { "windows-1252", "cp1252", "x-cp1252", "iso-8859-1",
        "iso8859-1", "iso_8859-1", "latin1", "l1", "ascii", "us-ascii", "iso-ir-100", "ibm819",
        "cp819", "csisolatin1", "ansi_x3.4-1968" };
    return labels.contains(label);
}

std::optional<QString> decodeAs(const QByteArray& label, QByteArrayView bytes)
{
    if (meansWindows1252(label))
        return decodeWindows1252(bytes);
    QStringDecoder decoder(label.constData());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}

QByteArray headerCharset(const QByteArray& contentType)
{
    static const QRegularExpression charset(QStringLiteral(R"(;\s*charset\s*=\s*["']?([^"';\s]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = charset.match(QString::fromLatin1(contentType));
    return match.hasMatch() ? match.captured(1).toLatin1().toLower() : QByteArray();
}

// <meta charset="..."> or <meta http-equiv="Content-Type" content="...; charset=...">, looked
// for in the first few kilobytes, where pages put it.
QByteArray metaCharset(const QByteArray& body)
{
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9_.:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = meta.match(QString::fromLatin1(body.left(4096)));
    return match.hasMatch() ? match.captured(1).toLatin1().toLower() : QByteArray();
}

// --- Text ----------------------------------------------------------------------------------

// The white space of a page: blank, tab, line feed, carriage return, form feed and the
// no-break space. A run of it reads as one blank, in the page's text and in searches alike.
constexpr bool isSpace(char32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == 0x00A0;
}

// The length in bytes of the white space that starts at text[i] in UTF-8, or 0.
size_t spaceAt(std::string_view text, size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80)
        return isSpace(lead) ? 1 : 0;
    if ((lead & 0xE0) != 0xC0 || i + 1 >= text.size())
        return 0;
    const auto next = static_cast<unsigned char>(text[i + 1]);
    return isSpace(char32_t((lead & 0x1F) << 6 | (next & 0x3F))) ? 2 : 0;
}

// Collects UTF-8 text, turning every run of white space into one blank, or into one line
// break when a block boundary falls inside the run. Nothing leads or trails.
class TextBuilder
{
public:
    explicit TextBuilder(qsizetype expected) { m_out.reserve(expected); }

    void append(std::string_view text, bool newlineBreaksLine = false)
    {
        size_t i = 0;
        const size_t n = text.size();
        while (i < n) {
            if (const size_t space = spaceAt(text, i)) {
                if (text[i] == '\n' && newlineBreaksLine)
                    m_break = true;
                else
                    m_space = true;
                i += space;
                continue;
            }
            size_t end = i + 1;
            while (end < n && !spaceAt(text, end))
                ++end;
            if (!m_out.isEmpty()) {
                if (m_break)
                    m_out += '\n';
                else if (m_space)
                    m_out += ' ';
            }
            m_space = m_break = false;
            m_out.append(text.data() + i, static_cast<qsizetype>(end - i));
            i = end;
        }
    }

    void breakLine() { m_break = true; }

    QString text() const { return QString::fromUtf8(m_out); }

private:
    QByteArray m_out;
    bool m_space = false;
    bool m_break = false;
};

enum class Kind { Inline, Block, Hidden };

// noscript is deliberately absent from the hidden elements: scripts never run here, so its
// content is what a reader of this page would see.
Kind kindOf(const xmlChar* name)
{
    static const std::unordered_map<std::string_view, Kind> kinds = [] {
        std::unordered_map<std::string_view, Kind> map;
        for (const char* hidden : { "head", "title", "script", "style", "template", "iframe",
                 "noembed", "noframes", "datalist" })
            map.emplace(hidden, Kind::Hidden);
        for (const char* block :
            { "address", "article", "aside", "blockquote", "body", "br", "caption", "center", "dd",
                "details", "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure",
                "footer", "form", "frameset", "h1", "h2", "h3", "h4", "h5", "h6", "header",
                "hgroup", "hr", "html", "legend", "li", "listing", "main", "menu", "nav", "ol",
                "optgroup", "option", "p", "plaintext", "pre", "section", "summary", "table",
                "tbody", "td", "tfoot", "th", "thead", "tr", "ul", "xmp" })
            map.emplace(block, Kind::Block);
        return map;
    }();
    const auto found = kinds.find(reinterpret_cast<const char*>(name));
    return found == kinds.end() ? Kind::Inline : found->second;
}

// Follows the parser's events rather than building a tree: the tree's thousands of small
// allocations cost more than the parse itself on a long outage list.
struct Collector
{
    explicit Collector(qsizetype expected)
        : out(expected)
    {
    }
    TextBuilder out;
    int hiddenDepth = 0; // elements open inside (and including) a hidden one
};

void startElement(void* context, const xmlChar* name, const xmlChar**)
{
    auto& collector = *static_cast<Collector*>(context);
    if (collector.hiddenDepth > 0) {
        ++collector.hiddenDepth;
        return;
    }
    const Kind kind = kindOf(name);
    if (kind == Kind::Hidden)
        collector.hiddenDepth = 1;
    else if (kind == Kind::Block)
        collector.out.breakLine();
}

void endElement(void* context, const xmlChar* name)
{
    auto& collector = *static_cast<Collector*>(context);
    if (collector.hiddenDepth > 0)
        --collector.hiddenDepth;
    else if (kindOf(name) == Kind::Block)
        collector.out.breakLine();
}

// Text, and the raw content of script and style (which are hidden anyway). Character
// references arrive here already decoded; comments never arrive.
void characters(void* context, const xmlChar* text, int length)
{
    auto& collector = *static_cast<Collector*>(context);
    if (collector.hiddenDepth == 0)
        collector.out.append(
            std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
}

} // namespace

QString decodePage(const QByteArray& body, const QByteArray& contentType)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(QByteArrayView(body).sliced(3));
    if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(
            body.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return utf16.decode(QByteArrayView(body).sliced(2));
    }
    if (const QByteArray label = headerCharset(contentType); !label.isEmpty()) {
        if (auto text = decodeAs(label, body))
            return *text;
    }
    if (QByteArray label = metaCharset(body); !label.isEmpty()) {
        // A page that reached us as ASCII-compatible bytes cannot really be UTF-16.
        if (label.startsWith("utf-16"))
            label = "utf-8";
        if (auto text = decodeAs(label, body))
            return *text;
    }
    // A stateful decoder drops an incomplete sequence at the very end (a body cut at the
    // size cap) instead of calling the whole page invalid.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(body);
}

namespace {

// The visible text of a page in UTF-8. The bytes go before the text is put together, so a
// long page is never held in all its forms at once.
QString textOfHtml(QByteArray utf8)
{
    // The parser would take a NUL for the end of the page; browsers leave it out of the text.
    utf8.removeIf([](char c) { return c == '\0'; });
    htmlParserCtxtPtr parser
        = htmlCreateMemoryParserCtxt(utf8.constData(), static_cast<int>(utf8.size()));
    if (!parser)
        return {};
    xmlSAXHandler events {};
    events.startElement = startElement;
    events.endElement = endElement;
    events.characters = characters;
    events.cdataBlock = characters;
    *parser->sax = events;
    Collector collector(utf8.size() / 2);
    parser->userData = &collector;
    // The text is UTF-8 already: the parser is told so (it would guess Latin-1), and a
    // <meta charset> in the page must not make it decode the text a second time.
    xmlSwitchEncoding(parser, XML_CHAR_ENCODING_UTF8);
    htmlCtxtUseOptions(parser,
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET
            | HTML_PARSE_IGNORE_ENC);
    htmlParseDocument(parser);
    htmlFreeParserCtxt(parser);
    utf8 = QByteArray();
    return collector.out.text();
}

} // namespace

QString visibleText(QByteArray body, const QByteArray& contentType)
{
    QByteArray utf8 = decodePage(body, contentType).toUtf8();
    body = QByteArray();
    if (!contentType.trimmed().toLower().startsWith("text/plain"))
        return textOfHtml(std::move(utf8));
    TextBuilder out(utf8.size());
    out.append(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), true);
    utf8 = QByteArray();
    return out.text();
}

namespace {

// Case-folded, with every run of white space (line breaks and no-break spaces included) made
// one blank, so a text matches however the page breaks its lines.
QString searchForm(QString text)
{
    QString folded = std::move(text).toCaseFolded();
    QChar* const begin = folded.data();
    QChar* out = begin;
    bool inRun = false;
    for (const QChar* in = begin; in != begin + folded.size(); ++in) {
        const bool space = isSpace(in->unicode());
        if (!space)
            *out++ = *in;
        else if (!inRun)
            *out++ = QLatin1Char(' ');
        inRun = space;
    }
    folded.truncate(out - begin);
    return folded;
}

} // namespace

SearchablePage::SearchablePage(QString text)
    : m_folded(searchForm(std::move(text)))
{
}

bool SearchablePage::contains(const QString& text) const
{
    return !text.isEmpty() && m_folded.contains(searchForm(text));
}

} // namespace gridvane
