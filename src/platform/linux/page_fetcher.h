#pragma once

#include "platform/browser.h"
#include "visible_text.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

class QNetworkReply;

namespace gridvane {

class PageReader;

// The browser control of the Linux build: downloads a page over http, https or file: and
// searches its visible text. It never shows the page. Navigate takes the URL box's text and
// reads it through pageUrl.
//
// A download that does not end within the timeout fails; a body is read as it arrives, up to
// maxBodyBytes (inflated, when it came compressed), and analysed as far as it got: the
// transfer is aborted there. An answer without a usable head (too large a one) fails. A
// failed download leaves a page that says why: the server-not-found text when no HTTP answer
// came, "HTTP 404 - File not found" when the page or file does not exist, and for any other
// HTTP error only "HTTP <status> - <reason>" in our own words ("Server error" from 500 up,
// "Request refused" below), never the server's text.
//
// Completion is always raised from the event loop, never inside Navigate or Stop; a download
// ended by Stop, or replaced by a new Navigate, raises nothing at all.
// The page is held while the completion handler runs; once it returns, only the ranges made
// from it keep it.
class PageFetcher : public Browser
{
    Q_OBJECT

public:
    // What the program uses: a minute for a download, and 16 MiB of a body.
    static constexpr std::chrono::milliseconds defaultTimeout = std::chrono::minutes(1);
    static constexpr qint64 defaultMaxBodyBytes = 16 * 1024 * 1024;

    explicit PageFetcher(std::chrono::milliseconds timeout = defaultTimeout,
        qint64 maxBodyBytes = defaultMaxBodyBytes, QObject* parent = nullptr);
    ~PageFetcher() override;

    // How the fetcher names itself to servers.
    static QString userAgent();

    void Navigate(const QString& url, qint16 flags) override;
    void Stop() override;
    bool Busy() const override;
    std::unique_ptr<TextRange> createRange() override;

private:
    void readHead();
    void readBody();
    void settle(bool cutAtCap);
    void complete(const QString& pageText);
    void complete(SearchablePage page);
    void dropReply();

    const std::chrono::milliseconds m_timeout;
    const qint64 m_maxBodyBytes;
    QNetworkAccessManager m_network;
    QTimer m_deadline;
    QNetworkReply* m_reply = nullptr;
    qint64 m_bodyBytes = 0;
    std::unique_ptr<SearchablePage::Builder> m_text;
    std::unique_ptr<PageReader> m_reader;
    // Numbers each download; a queued completion of an older one is dropped.
    quint64 m_download = 0;
    bool m_busy = false;
    std::shared_ptr<const SearchablePage> m_page;
};

} // namespace gridvane
