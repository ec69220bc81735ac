#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string_view>

namespace gridvane {

// Where the visible text of a page goes, a piece at a time: UTF-8 text, in which every run of
// white space stands for one blank, and the boundaries of blocks, table cells and line breaks.
class TextSink
{
public:
    virtual ~TextSink() = default;
    virtual void text(std::string_view utf8) = 0;
    virtual void blockBoundary() = 0;
};

// Reads a page as its body arrives and tells the sink its visible text: the characters the
// charset gives (from the Content-Type header, else a byte-order mark, else a <meta>
// declaration near the top, else UTF-8 when the whole body is valid UTF-8, else windows-1252,
// which also stands in for Latin-1 and ASCII, as in browsers), with character references
// decoded, NUL characters dropped, and the head, scripts, styles, templates and comments left
// out. A text/plain body is taken as it is, its line ends as boundaries. Only as much of the
// body is held as deciding the charset needs.
class PageReader
{
public:
    PageReader(const QByteArray& contentType, TextSink& sink);
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    void feed(QByteArrayView bytes);
    // The body has ended; what is held is read.
    void finish();

private:
    class Decoder;
    class Parser;
    std::unique_ptr<Decoder> m_decoder;
    std::unique_ptr<Parser> m_parser;
};

// The text a reader sees on the page: every run of white space (no-break spaces included)
// collapsed to one blank, blocks, table cells and line breaks on lines of their own, inline
// elements joined without a break, nothing before the first word or after the last.
QString visibleText(const QByteArray& body, const QByteArray& contentType);

// A page prepared for repeated searching: its visible text case-folded, and every run of white
// space one blank, in UTF-8.
class SearchablePage
{
public:
    // Folds the text as it arrives, in the same pass that collects it.
    class Builder : public TextSink
    {
    public:
        // Room for the text of a body of this size, taken at once: growing a long text as it
        // comes would hold it twice for a moment at each step.
        void reserve(qsizetype bodyBytes) { m_folded.reserve(bodyBytes); }
        void text(std::string_view utf8) override;
        void blockBoundary() override { m_space = true; }
        SearchablePage take();

    private:
        friend class SearchablePage;
        QByteArray m_folded;
        bool m_space = false;
    };

    explicit SearchablePage(const QString& text);

    // True when the text occurs in the page, compared after Unicode case folding of both and
    // with any run of white space on either side (blanks, tabs, line breaks, form feeds,
    // no-break spaces) matching any other; also inside longer words. An empty text is never
    // found.
    bool contains(const QString& text) const;

private:
    explicit SearchablePage(QByteArray folded)
        : m_folded(std::move(folded))
    {
    }
    QByteArray m_folded;
};

} // namespace gridvane
