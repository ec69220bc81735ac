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
    // The stamp shows whole seconds: any moment of the first second of the day is midnight.
    if (moment.time().msecsSinceStartOfDay() < 1000)
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
    // A search that fails (no page to search, or a failing range) gives the answer whose
    // steps then run: the failure lines for the failure texts, the wrong-page lines for the
    // heading, the alert for a code. So a download that left nothing to search counts as a
    // server that was not found.
    const auto search = [&](const QString& text, bool onFailure) {
        if (!range)
            return onFailure;
        try {
            return range->findText(text);
        } catch (const std::exception&) {
            return onFailure;
        }
    };
    const auto log = [&](const QStringList& lines, Flag counted) {
        for (const auto& line : lines)
            guarded([&] { AddStatus(line, counted); });
    };

    if (search(serverNotFoundText, true)) {
        log(texts::serverNotFoundLines, False);
        return;
    }
    if (search(pageNotFoundText, true)) {
        log(texts::pageNotFoundLines, False);
        return;
    }
    if (!search(texts::outageHeading, false)) {
        log(texts::wrongPageLines, False);
        return;
    }

    for (const TextBox& box : txtGroup) {
        const QString code = box.Text();
        if (holdsCode(box) && search(code, true)) {
            AlertGroup(code);
            return;
        }
    }
    range.reset();

    guarded([&] {
        const QString result = texts::noAlerts + timeStamp();
        if (result != strLastAlert) {
            log({ texts::successful, result, texts::nextCheckIn + strInterval }, True);
            strLastAlert = result;
        }
    });
    guarded([&] { cSysTray1.setTip(texts::lastChecked + timeStamp()); });
}

} // namespace gridvane
