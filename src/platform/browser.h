#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace gridvane {

// A search over the text of the page the browser holds. Matching ignores case, counts every
// run of white space (line breaks and block boundaries included) as one blank, in the page
// and in the text alike, and also finds the text inside longer words.
class TextRange
{
public:
    virtual ~TextRange() = default;
    virtual bool findText(const QString& text) = 0;
};

// The page fetcher the schedule drives. Navigate returns at once; the end of every download,
// failed ones included, is signalled later by DownloadComplete, from the event loop of the
// user-interface thread. A failed download leaves a page whose text says what went wrong.
class Browser : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void Navigate(const QString& url, qint16 flags) = 0;
    virtual void Stop() = 0;
    virtual bool Busy() const = 0;
    // A range over the page held now; null while none is held. The page may be let go once
    // the slots of DownloadComplete have returned; a range made from it keeps it.
    virtual std::unique_ptr<TextRange> createRange() = 0;

Q_SIGNALS:
    void DownloadComplete();
};

// A failed download leaves a page that holds one of these: the first when no answer came from
// the server, the second when the page does not exist. Any other failure leaves a page
// without the outage heading.
inline const QString serverNotFoundText = QStringLiteral("Cannot find server or DNS Error");
inline const QString pageNotFoundText = QStringLiteral("HTTP 404");

// The navigation flag that keeps a download out of the history list.
constexpr qint16 navNoHistory = 2;

} // namespace gridvane
