#include "visible_text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <libxml/HTMLparser.h>
#include <mutex>
#include <optional>
#include <thread>
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

// Qt reads windows-1252 through ICU; a Qt built without it reads Latin-1, which differs only in
// 0x80..0x9F, rather than nothing.
QStringDecoder windows1252()
{
    QStringDecoder decoder("windows-1252");
    return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringDecoder::Latin1);
}

// A decoder for the label, or none when Qt knows no such charset.
std::optional<QStringDecoder> decoderFor(const QByteArray& label)
{
    if (meansWindows1252(label))
        return windows1252();
    QStringDecoder decoder(label.constData());
    return decoder.isValid() ? std::optional(std::move(decoder)) : std::nullopt;
}

QByteArray headerCharset(const QByteArray& contentType)
{
    static const QRegularExpression charset(QStringLiteral(R"(;\s*charset\s*=\s*["']?([^"';\s]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = charset.match(QString::fromLatin1(contentType));
    return match.hasMatch() ? match.captured(1).toLatin1().toLower() : QByteArray();
}

// How much of the body the charset is decided on: a <meta charset="..."> or <meta
// http-equiv="Content-Type" content="...; charset=..."> is looked for there, where pages put it.
constexpr qsizetype sniffedBytes = 4096;

QByteArray metaCharset(const QByteArray& head)
{
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9_.:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = meta.match(QString::fromLatin1(head));
    return match.hasMatch() ? match.captured(1).toLatin1().toLower() : QByteArray();
}

// --- White space -------------------------------------------------------------------------

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

// The code point that starts at text[i] in valid UTF-8, and its length in bytes.
std::pair<char32_t, size_t> codePointAt(std::string_view text, size_t i)
{
    const auto byte = [&](size_t at) { return char32_t(static_cast<unsigned char>(text[at])); };
    const char32_t lead = byte(i);
    const size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead < 0xC0 || i + length > text.size())
        return { lead, 1 };
    char32_t c = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        c = c << 6 | (byte(i + k) & 0x3F);
    return { c, length };
}

void appendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x800) {
        out += char(0xC0 | c >> 6);
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
    }
    out += char(0x80 | (c & 0x3F));
}

// Appends UTF-8 text case-folded (Unicode's simple case folding, one character for one, as
// QString::toCaseFolded does), every run of white space made one blank. `space` carries a run
// across calls; a run is written when the next character comes, and one before anything was
// written only when `leading` says so.
void appendFolded(std::string_view text, QByteArray& out, bool& space, bool leading)
{
    size_t i = 0;
    while (i < text.size()) {
        // A run of ASCII that is not white space goes in at once, lowered in place.
        size_t end = i;
        while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80
            && !isSpace(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > i) {
            if (space && (leading || !out.isEmpty()))
                out += ' ';
            space = false;
            const qsizetype from = out.size();
            out.append(text.data() + i, qsizetype(end - i));
            for (char* c = out.data() + from; c != out.data() + out.size(); ++c)
                *c = *c >= 'A' && *c <= 'Z' ? char(*c + ('a' - 'A')) : *c;
            i = end;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        const auto [code, length]
            = c < 0x80 ? std::pair(char32_t(c), size_t(1)) : codePointAt(text, i);
        i += length;
        if (isSpace(code)) {
            space = true;
            continue;
        }
        if (space && (leading || !out.isEmpty()))
            out += ' ';
        space = false;
        if (length == 1)
            out += char(code); // not UTF-8: kept as it came
        else
            appendUtf8(out, QChar::toCaseFolded(code));
    }
}

// --- Display text ------------------------------------------------------------------------

// Collects UTF-8 text, turning every run of white space into one blank, or into one line
// break when a block boundary falls inside the run. Nothing leads or trails.
class DisplayText : public TextSink
{
public:
    void text(std::string_view text) override
    {
        size_t i = 0;
        const size_t n = text.size();
        while (i < n) {
            if (const size_t space = spaceAt(text, i)) {
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
    void blockBoundary() override { m_break = true; }
    // A zero-width no-break space first is text like any other, not a byte-order mark.
    QString take()
    {
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)(
            std::exchange(m_out, {}));
    }

private:
    QByteArray m_out;
    bool m_space = false;
    bool m_break = false;
};

// --- Markup ------------------------------------------------------------------------------

enum class Kind { Inline, Block, Hidden };

// noscript is deliberately absent from the hidden elements: scripts never run here, so its
// content is what a reader of this page would see. libxml2's own element table leaves out the
// elements HTML 5 added and counts line breaks as inline, so the list is the program's own.
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
    TextSink& sink;
    int hiddenDepth = 0; // elements open inside (and including) a hidden one
    htmlParserCtxtPtr parser = nullptr;
    // The parser hands each element name out of its dictionary, one pointer per name, so the
    // kinds of the names met so far are looked up by pointer.
    std::vector<std::pair<const xmlChar*, Kind>> kinds;

    Kind kindOf(const xmlChar* name)
    {
        for (const auto& [known, kind] : kinds) {
            if (known == name)
                return kind;
        }
        const Kind kind = gridvane::kindOf(name);
        if (kinds.size() < 64)
            kinds.emplace_back(name, kind);
        return kind;
    }
};

// No exception may pass through the parser's C code: a failure (no memory for the text) ends
// the reading there, as a page cut short.
template <typename Handler> void guard(void* context, Handler handler)
{
    auto& collector = *static_cast<Collector*>(context);
    try {
        handler(collector);
    } catch (const std::exception&) {
        if (collector.parser)
            xmlStopParser(collector.parser);
    }
}

void startElement(void* context, const xmlChar* name, const xmlChar**)
{
    guard(context, [name](Collector& collector) {
        if (collector.hiddenDepth > 0) {
            ++collector.hiddenDepth;
            return;
        }
        const Kind kind = collector.kindOf(name);
        if (kind == Kind::Hidden)
            collector.hiddenDepth = 1;
        else if (kind == Kind::Block)
            collector.sink.blockBoundary();
    });
}

void endElement(void* context, const xmlChar* name)
{
    guard(context, [name](Collector& collector) {
        if (collector.hiddenDepth > 0)
            --collector.hiddenDepth;
        else if (collector.kindOf(name) == Kind::Block)
            collector.sink.blockBoundary();
    });
}

// Text, and the raw content of script and style (which are hidden anyway). Character
// references arrive here already decoded; comments never arrive.
void characters(void* context, const xmlChar* text, int length)
{
    guard(context, [text, length](Collector& collector) {
        if (collector.hiddenDepth == 0)
            collector.sink.text(
                std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
    });
}

} // namespace

// --- Decoding as the body arrives -------------------------------------------------------

// Holds the first bytes until the charset can be decided, then decodes as the bytes come.
// Without a declared charset the body is UTF-8 when all of it is valid UTF-8 and windows-1252
// otherwise: while only ASCII has come, both read it alike and it passes at once; from the
// first other byte on, the bytes wait, checked, until an invalid one decides for windows-1252
// or the end for UTF-8.
class PageReader::Decoder
{
public:
    Decoder(const QByteArray& contentType, Parser& parser)
        : m_header(headerCharset(contentType))
        , m_parser(parser)
    {
    }

    void feed(QByteArrayView bytes)
    {
        if (!m_decided) {
            m_head += bytes;
            if (m_head.size() >= sniffedBytes)
                decide();
            return;
        }
        if (m_decoder)
            return decode(bytes);
        // Undeclared: ASCII passes, anything else waits while it is valid UTF-8.
        if (m_held.isEmpty()) {
            const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
            const auto* other = std::find_if(
                begin, begin + bytes.size(), [](unsigned char c) { return c >= 0x80; });
            const qsizetype ascii = other - begin;
            pass(m_utf8.decode(bytes.first(ascii)));
            bytes = bytes.sliced(ascii);
        }
        if (bytes.isEmpty())
            return;
        m_held += bytes;
        const QString checked = m_utf8.decode(bytes); // decoding is done as it is taken
        if (m_utf8.hasError()) {
            m_decoder = windows1252();
            decode(std::exchange(m_held, {}));
        }
    }

    void finish()
    {
        if (!m_decided)
            decide();
        if (!m_decoder && !m_held.isEmpty()) {
            // Past the body's start, a byte-order mark is a character like any other.
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            pass(utf8.decode(std::exchange(m_held, {})));
        }
        // QString::fromUtf8, which reads a page that began with a UTF-8 byte-order mark, marks
        // each byte of a sequence cut at the end as a replacement character.
        if (m_cutMarked)
            pass(QString(incompleteTail(), QChar::ReplacementCharacter));
    }

private:
    // Decided on the first bytes, in this order: a byte-order mark, the header's charset, a
    // <meta> declaration; undecided means UTF-8 if all is valid, else windows-1252.
    void decide()
    {
        m_decided = true;
        const QByteArray head = std::exchange(m_head, {});
        qsizetype skip = 0;
        if (head.startsWith("\xEF\xBB\xBF")) {
            m_decoder = QStringDecoder(QStringDecoder::Utf8);
            m_cutMarked = true, skip = 3;
        } else if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
            m_decoder = QStringDecoder(
                head.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
            skip = 2;
        } else if (auto decoder = m_header.isEmpty() ? std::nullopt : decoderFor(m_header)) {
            m_decoder = std::move(decoder);
        } else if (QByteArray label = metaCharset(head.left(sniffedBytes)); !label.isEmpty()) {
            // A page that reached us as ASCII-compatible bytes cannot really be UTF-16.
            m_decoder = decoderFor(label.startsWith("utf-16") ? QByteArray("utf-8") : label);
        }
        feed(QByteArrayView(head).sliced(skip));
    }

    void decode(QByteArrayView bytes)
    {
        if (m_cutMarked && !bytes.isEmpty())
            m_tail = (m_tail + bytes.last(std::min<qsizetype>(3, bytes.size())).toByteArray())
                         .right(3);
        pass(m_decoder->decode(bytes));
    }

    // The bytes at the end that begin a UTF-8 sequence and do not complete it: the ones a
    // decoder holds back for more.
    qsizetype incompleteTail() const
    {
        for (qsizetype back = m_tail.size(); back > 0; --back) {
            const QByteArray suffix = m_tail.right(back);
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            if (static_cast<unsigned char>(suffix[0]) >= 0xC0
                && QString(utf8.decode(suffix)).isEmpty() && !utf8.hasError())
                return back;
        }
        return 0;
    }

    void pass(const QString& text);

    const QByteArray m_header;
    Parser& m_parser;
    bool m_decided = false;
    QByteArray m_head;
    std::optional<QStringDecoder> m_decoder;
    QStringDecoder m_utf8 { QStringDecoder::Utf8 };
    QByteArray m_held;
    bool m_cutMarked = false;
    QByteArray m_tail;
};

// --- Parsing as the text arrives --------------------------------------------------------

// libxml2's parser, on a thread of its own, pulls the page's text from a queue that the
// decoder fills as the body comes. Its push interface reads a page differently at places (the
// end of a page cut short, a lone end tag), so the parser pulls its input as from a file, and
// waits for the next piece where a file would have it. The queue holds a quarter of a
// mebibyte at most: a body that comes faster waits for the parser.
class PageReader::Parser
{
public:
    Parser(bool plain, TextSink& sink)
        : m_collector { sink, 0, nullptr, {} }
    {
        if (plain)
            return;
        xmlInitParser();
        m_thread = std::thread([this] { parse(); });
    }
    ~Parser() { endWith(m_cancelled); }

    void feed(const QString& text)
    {
        QByteArray utf8 = text.toUtf8();
        if (!m_thread.joinable()) {
            // Plain text: each line end is a boundary, as a line break is in a page.
            for (qsizetype from = 0, end; from < utf8.size(); from = end + 1) {
                end = utf8.indexOf('\n', from);
                end = end < 0 ? utf8.size() : end;
                m_collector.sink.text(
                    std::string_view(utf8.constData() + from, size_t(end - from)));
                if (end < utf8.size())
                    m_collector.sink.blockBoundary();
            }
            return;
        }
        // The parser would take a NUL for the end of the page; browsers leave it out of the text.
        utf8.removeIf([](char c) { return c == '\0'; });
        if (utf8.isEmpty())
            return; // the parser would take it for the end
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queued < queueBytes || m_parsed; });
        m_queued += utf8.size();
        m_queue.push_back(std::move(utf8));
        lock.unlock();
        m_changed.notify_all();
    }

    void finish() { endWith(m_ended); }

private:
    static constexpr qsizetype queueBytes = 256 * 1024;

    // Tells the parser's thread that the page has ended or is given up, and waits for it.
    void endWith(bool& flag)
    {
        if (!m_thread.joinable())
            return;
        {
            const std::lock_guard lock(m_mutex);
            flag = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    void parse()
    {
        xmlSAXHandler events {};
        events.startElement = startElement;
        events.endElement = endElement;
        events.characters = characters;
        events.cdataBlock = characters;
        // The text is UTF-8 already: the parser is told so, and a <meta charset> in the page
        // must not make it decode the text a second time.
        if (htmlParserCtxtPtr parser = htmlNewParserCtxt()) {
            *parser->sax = events;
            parser->userData = &m_collector;
            m_collector.parser = parser;
            htmlCtxtReadIO(parser, read, nullptr, this, nullptr, "UTF-8",
                HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET
                    | HTML_PARSE_IGNORE_ENC);
            htmlFreeParserCtxt(parser);
        }
        {
            const std::lock_guard lock(m_mutex);
            m_parsed = true;
        }
        m_changed.notify_all();
    }

    // The parser's read: the next piece of the text, 0 at its end, -1 once it is not wanted.
    static int read(void* context, char* buffer, int length)
    {
        auto& self = *static_cast<Parser*>(context);
        std::unique_lock lock(self.m_mutex);
        self.m_changed.wait(
            lock, [&] { return !self.m_queue.empty() || self.m_ended || self.m_cancelled; });
        if (self.m_cancelled)
            return -1;
        if (self.m_queue.empty())
            return 0;
        QByteArray& front = self.m_queue.front();
        const int taken = int(std::min<qsizetype>(length, front.size() - self.m_taken));
        std::memcpy(buffer, front.constData() + self.m_taken, size_t(taken));
        self.m_taken += taken;
        self.m_queued -= taken;
        if (self.m_taken == front.size()) {
            self.m_queue.pop_front();
            self.m_taken = 0;
        }
        lock.unlock();
        self.m_changed.notify_all();
        return taken;
    }

    Collector m_collector;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    qsizetype m_queued = 0; // bytes in the queue not yet taken
    qsizetype m_taken = 0; // of the first piece
    bool m_ended = false; // no more pieces come
    bool m_cancelled = false; // the page is not wanted any more
    bool m_parsed = false;
};

void PageReader::Decoder::pass(const QString& text)
{
    if (!text.isEmpty())
        m_parser.feed(text);
}

PageReader::PageReader(const QByteArray& contentType, TextSink& sink)
    : m_parser(
        std::make_unique<Parser>(contentType.trimmed().toLower().startsWith("text/plain"), sink))
{
    m_decoder = std::make_unique<Decoder>(contentType, *m_parser);
}

PageReader::~PageReader() = default;

void PageReader::feed(QByteArrayView bytes)
{
    m_decoder->feed(bytes);
}

void PageReader::finish()
{
    m_decoder->finish();
    m_parser->finish();
}

QString visibleText(const QByteArray& body, const QByteArray& contentType)
{
    DisplayText text;
    PageReader reader(contentType, text);
    reader.feed(body);
    reader.finish();
    return text.take();
}

void SearchablePage::Builder::text(std::string_view utf8)
{
    appendFolded(utf8, m_folded, m_space, false);
}

SearchablePage SearchablePage::Builder::take()
{
    return SearchablePage(std::exchange(m_folded, {}));
}

SearchablePage::SearchablePage(const QString& text)
{
    Builder folded;
    folded.text(text.toStdString());
    m_folded = std::move(folded.m_folded);
}

bool SearchablePage::contains(const QString& text) const
{
    QByteArray folded;
    bool space = false;
    appendFolded(text.toStdString(), folded, space, true);
    if (space)
        folded += ' ';
    // memmem scans for a short needle several times faster than QByteArray::contains.
    return !text.isEmpty()
        && memmem(m_folded.constData(), size_t(m_folded.size()), folded.constData(),
            size_t(folded.size()));
}

} // namespace gridvane
