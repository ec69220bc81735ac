#include "page_url.h"

#include <QRegularExpression>
#include <QUrl>

namespace gridvane {

QString pageUrl(const QString& text)
{
    const QString url = text.trimmed();
    // A scheme: a letter, then letters, digits, "+", "-" or ".", up to a colon. A colon
    // followed by digits alone ends a host name and starts its port instead.
    static const QRegularExpression scheme(
        QStringLiteral(R"(^[A-Za-z][A-Za-z0-9+.\-]*:(?!\d+(?:[/?#]|$)))"));
    if (url.isEmpty() || scheme.match(url).hasMatch())
        return url;
    if (url.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(url).toString(QUrl::FullyEncoded);
    return QStringLiteral("http://") + url;
}

} // namespace gridvane
