#include "frm_gridvane.h"
#include "guarded.h"
#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/tray.h"
#include "texts.h"
#include "time_stamp.h"

#include <QLocale>
#include <QRegularExpression>

namespace gridvane {

namespace {

// The locale's long time pattern without its time-zone field (a run of 't' outside quoted
// text), and without the brackets or separators that only framed that field.
QString longTimePattern(const QLocale& locale)
{
    const QString pattern = locale.timeFormat(QLocale::LongFormat);
    const QChar zone(0x1);
    QString marked;
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            marked += c;
        else if (!marked.endsWith(zone))
            marked += zone;
    }
    static const QRegularExpression framedZone(
        QStringLiteral("[\\s,]*[(\\[]\\s*\x01\\s*[)\\]]\\s*|[\\s,]*\x01[\\s,]*"),
        QRegularExpression::UseUnicodePropertiesOption);
    return marked.replace(framedZone, QStringLiteral(" ")).trimmed();
}

} // namespace

QString generalDate(const QDateTime& moment, const QLocale& locale)
{
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(moment.time(), longTimePattern(locale));
}

QString frmGridvane::timeStamp() const
{
    return generalDate(m_clock.now(), QLocale::system());
}

void frmGridvane::WebBrowser1_DownloadComplete()
{
    if (!blnChecking)
        return;

    std::unique_ptr<TextRange> range;
    guarded([&] { range = WebBrowser1.createRange(); });
    const auto find = [&](const QString& text) {
        return holds([&] {
            if (!range)
                throw TrappedError();
            return range->findText(text);
        });
    };
    const auto log = [&](const QStringList& lines, Flag counted) {
        for (const auto& line : lines)
            guarded([&] { AddStatus(line, counted); });
    };

    if (find(serverNotFoundText)) {
        log(texts::serverNotFoundLines, False);
        return;
    }
    if (find(pageNotFoundText)) {
        log(texts::pageNotFoundLines, False);
        return;
    }
    if (!find(texts::outageHeading)) {
        log(texts::wrongPageLines, False);
        return;
    }

    const int boxes = groupCount;
    for (int i = 0; i < boxes; ++i) {
        if (!holds([&] { return holdsCode(txtGroup[i]); }))
            continue;
        const QString code = txtGroup[i].Text();
        if (find(code)) {
            guarded([&] { AlertGroup(code); });
            return;
        }
    }
    range.reset();

    // One moment for the log and the tray's tip.
    QString stamp, result;
    guarded([&] { stamp = timeStamp(), result = texts::noAlerts + stamp; });
    guarded([&] {
        if (result != strLastAlert) {
            log({ texts::successful, result, texts::nextCheckIn + strInterval }, True);
            strLastAlert = result;
        }
    });
    guarded([&] { cSysTray1.setTip(texts::lastChecked + stamp); });
}

} // namespace gridvane
