#include "frm_gridvane.h"
#include "guarded.h"
#include "platform/desktop.h"
#include "platform/message_boxes.h"
#include "platform/page_url.h"
#include "texts.h"

#include <QUrl>

namespace gridvane {

namespace {

// Only a web page is handed to the desktop: a program or a local file named in the URL box
// is never opened.
bool isWebUrl(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

} // namespace

void frmGridvane::AlertGroup(const QString& code)
{
    guarded([&] { AddStatus(texts::alertLine(code), False); });
    guarded([&] { txtURL_Change(); });

    qint16 answer = 0;
    guarded([&] {
        answer = m_boxes.show({ texts::alertTitle, texts::alertBoxText(code), BoxButtons::YesNo,
            BoxIcon::Critical, true });
    });

    if (strNetSend == texts::on) {
        guarded([&] { m_desktop.broadcast(WrapNetSendText(txtNetSend.Text())); });
    }
    if (answer == answerYes) {
        guarded([&] {
            const QString url = pageUrl(txtURL.Text());
            if (isWebUrl(url))
                m_desktop.openUrl(url);
        });
    }
}

QString frmGridvane::WrapNetSendText(const QString& text)
{
    QString result;
    const auto length = text.size();
    int blanks = 1;
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(' '))
            ++blanks;
        if (blanks == 8) {
            result += texts::crlf;
            blanks = 1;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace gridvane
