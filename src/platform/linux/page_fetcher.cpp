#include "page_fetcher.h"

#include "platform/page_url.h"
#include "version.h"
#include "visible_text.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>
#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <utility>

namespace gridvane {

namespace {

constexpr int maxRedirects = 10;
// What Qt may hold of a body that the fetcher has not taken yet: without a bound it reads an
// endless body as fast as the server sends it, long after the fetcher has stopped at the cap.
constexpr qint64 readBufferBytes = 1024 * 1024;
constexpr qint64 readPieceBytes = 64 * 1024;

// The pages put in place of a failed download begin with serverNotFoundText or with an
// "HTTP <status> - <reason>" line, whose reason is our own, never the server's.
QString httpStatusLine(int status, const QString& reason)
{
    return QStringLiteral("HTTP ") + QString::number(status) + QStringLiteral(" - ") + reason;
}
const QString fileNotFoundReason = QStringLiteral("File not found");
const QString serverErrorReason = QStringLiteral("Server error");
const QString requestRefusedReason = QStringLiteral("Request refused");
const QString unusableAddress = QStringLiteral("The address is not a valid web address.");
const QString noAnswerInTime = QStringLiteral("The server did not answer in time.");
const QString unusableHead = QStringLiteral("The server's answer has no usable head.");

// A range shares the page it was made from, so it stays usable (and unchanged) while a later
// download replaces the fetcher's page, for instance during a modal box inside the handler.
class PageRange : public TextRange
{
public:
    explicit PageRange(std::shared_ptr<const SearchablePage> page)
        : m_page(std::move(page))
    {
    }
    bool findText(const QString& text) override { return m_page->contains(text); }

private:
    std::shared_ptr<const SearchablePage> m_page;
};

QString serverNotFoundPage(const QString& reason)
{
    return serverNotFoundText + QLatin1Char('\n') + reason;
}

QString httpErrorReason(int status)
{
    if (status == 404)
        return fileNotFoundReason;
    return status >= 500 ? serverErrorReason : requestRefusedReason;
}

// A page passes through several buffers of its own size. glibc gives buffers of 128 KiB and
// more pages of their own, which go back to the system when freed, but after the first long
// page it raises that bound and keeps the next pages' buffers in its heap, where they stay
// once freed; the bound is fixed here instead, for the whole program.
void keepLargeBuffersApart()
{
#ifdef __GLIBC__
    static const bool fixed = mallopt(M_MMAP_THRESHOLD, 128 * 1024)
        // The parser's thread takes its memory from the same heap, rather than an arena of its
        // own that would keep what it freed.
        && mallopt(M_ARENA_MAX, 1);
    Q_UNUSED(fixed)
#endif
}

// Gives the heap's free pages back to the system, what a check freed in small pieces.
void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

PageFetcher::PageFetcher(std::chrono::milliseconds timeout, qint64 maxBodyBytes, QObject* parent)
    : Browser(parent)
    , m_timeout(timeout)
    , m_maxBodyBytes(std::max<qint64>(maxBodyBytes, 1))
{
    keepLargeBuffersApart();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply)
            complete(serverNotFoundPage(noAnswerInTime));
    });
}

QString PageFetcher::userAgent()
{
    return QStringLiteral("Gridvane/" GRIDVANE_VERSION " (Linux)");
}

PageFetcher::~PageFetcher()
{
    dropReply();
}

void PageFetcher::Navigate(const QString& url, qint16 flags)
{
    Q_UNUSED(flags) // no history is kept, so "no history entry" holds anyway
    Stop();
    m_busy = true;

    const QUrl target(pageUrl(url), QUrl::StrictMode);
    if (!target.isValid() || target.scheme().isEmpty()) {
        complete(serverNotFoundPage(unusableAddress));
        return;
    }

    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    // Follows http to https but never back from https to http.
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    // Accept-Encoding is left to Qt, which then inflates gzip and deflate bodies itself, as
    // far as they are read. The cap bounds what a body may inflate to; Qt's own check would
    // fail a body that inflates far instead of cutting it there.
    request.setDecompressedSafetyCheckThreshold(-1);

    m_reply = m_network.get(request);
    m_reply->setReadBufferSize(readBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &PageFetcher::readHead);
    connect(m_reply, &QNetworkReply::readyRead, this, &PageFetcher::readBody);
    connect(m_reply, &QNetworkReply::finished, this, [this] {
        readBody();
        if (m_reply) // still going: the body did not reach the cap
            settle(false);
    });
    m_deadline.start(m_timeout);
}

void PageFetcher::Stop()
{
    ++m_download;
    dropReply();
    m_busy = false;
}

bool PageFetcher::Busy() const
{
    return m_busy;
}

std::unique_ptr<TextRange> PageFetcher::createRange()
{
    if (!m_page)
        return nullptr;
    return std::make_unique<PageRange>(m_page);
}

// Qt drops every header field of a head it finds too large (more than 100 fields, or too
// many bytes) and goes on with the body as if there had been none; no server of a real page
// answers without a single field. An error page ends with its head: its body is never read.
void PageFetcher::readHead()
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && m_reply->rawHeaderPairs().isEmpty())
        complete(serverNotFoundPage(unusableHead));
    else if (status.isValid() && status.toInt() >= 400)
        settle(false);
}

// The page is read as its body comes, in pieces small enough that their copies (decoded,
// then in UTF-8 for the parser) stay small, so no whole body is held beside its text.
void PageFetcher::readBody()
{
    while (m_reply && m_reply->bytesAvailable() > 0) {
        const QByteArray bytes
            = m_reply->read(std::min(readPieceBytes, m_maxBodyBytes - m_bodyBytes));
        if (!m_reader) {
            m_text = std::make_unique<SearchablePage::Builder>();
            const qint64 length
                = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
            m_text->reserve(length > 0 ? std::min(length, m_maxBodyBytes) : m_maxBodyBytes);
            m_reader = std::make_unique<PageReader>(m_reply->rawHeader("Content-Type"), *m_text);
        }
        m_bodyBytes += bytes.size();
        m_reader->feed(bytes);
        if (m_bodyBytes >= m_maxBodyBytes)
            settle(true);
    }
}

// Turns the answer into the page text. A body cut at the cap counts as complete.
void PageFetcher::settle(bool cutAtCap)
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) {
        // Only the status, in our own words: an error page may well carry the heading and
        // codes of the real page, and must not be read as it.
        const int code = status.toInt();
        complete(httpStatusLine(code, httpErrorReason(code)));
    } else if (cutAtCap || m_reply->error() == QNetworkReply::NoError) {
        if (!m_reader) { // an empty body
            m_text = std::make_unique<SearchablePage::Builder>();
            m_reader = std::make_unique<PageReader>(m_reply->rawHeader("Content-Type"), *m_text);
        }
        // The transfer ends before the page's end is read, so that nothing more comes in.
        std::unique_ptr<PageReader> reader = std::move(m_reader);
        std::unique_ptr<SearchablePage::Builder> text = std::move(m_text);
        dropReply();
        reader->finish();
        complete(text->take());
    } else if (m_reply->url().isLocalFile()) {
        complete(
            httpStatusLine(404, fileNotFoundReason) + QLatin1Char('\n') + m_reply->errorString());
    } else {
        // No usable answer: refused, reset, unknown host, TLS failure, too many redirects.
        complete(serverNotFoundPage(m_reply->errorString()));
    }
}

void PageFetcher::complete(const QString& pageText)
{
    complete(SearchablePage(pageText));
}

// Ends the download with the given page. The page takes over and the handler runs from the
// event loop, so the caller (a reply's signal, Navigate) has returned by then.
void PageFetcher::complete(SearchablePage searchable)
{
    dropReply();
    auto page = std::make_shared<const SearchablePage>(std::move(searchable));
    QMetaObject::invokeMethod(
        this,
        [this, page = std::move(page), download = m_download]() mutable {
            if (download != m_download)
                return; // stopped or replaced since
            m_busy = false;
            m_page = std::move(page);
            const QPointer<PageFetcher> alive(this);
            // The handler may Stop, Navigate or run a nested event loop, in which later
            // downloads complete.
            Q_EMIT DownloadComplete();
            // Its check is done: the page goes (a range made from it keeps it), and so does
            // the memory the download took.
            if (alive)
                m_page.reset();
            releaseFreedMemory();
        },
        Qt::QueuedConnection);
}

// The reply may be inside one of its own signals here, so it is only aborted, silenced and
// deleted later.
void PageFetcher::dropReply()
{
    m_deadline.stop();
    m_reader.reset();
    m_text.reset();
    m_bodyBytes = 0;
    if (QNetworkReply* reply = std::exchange(m_reply, nullptr)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

} // namespace gridvane
