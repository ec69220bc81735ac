#pragma once

#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"
#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/message_boxes.h"
#include "platform/system_info.h"
#include "platform/tray.h"
#include "settings/file_formats.h"

#include <QtCore>
#include <optional>

namespace gridvane::testing {

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A fake that notes what it is asked in a scenario's trace, once it is given one.
struct Traced
{
    QStringList* trace = nullptr;
    void note(const QString& what) { trace ? void(*trace << what) : void(); }
};

// A page held by the fake browser: plain text searched without regard to case.
struct FakeRange : TextRange
{
    FakeRange(const QString& text, const QString& failing) { page = text, this->failing = failing; }
    bool findText(const QString& text) override
    {
        if (text == failing)
            throw TrappedError { 438, QStringLiteral("Object doesn't support this property") };
        return page.contains(text, Qt::CaseInsensitive);
    }
    QString page, failing;
};

struct FakeBrowser : Browser
{
    void Navigate(const QString& url, qint16 flags) override
    {
        calls << QStringLiteral("Navigate %1 %2").arg(url).arg(flags);
        if (failNavigate)
            throw TrappedError { 424, QStringLiteral("Object required") };
        if (outOfMemory)
            throw std::bad_alloc();
        busy = busyAfterNavigate;
    }
    void Stop() override { calls << QStringLiteral("Stop"), busy = false; }
    bool Busy() const override { return busy; }
    std::unique_ptr<TextRange> createRange() override
    {
        return page ? std::make_unique<FakeRange>(*page, failingSearch) : nullptr;
    }
    void complete(const QString& text) { page = text, busy = false, Q_EMIT DownloadComplete(); }
    QStringList calls;
    bool busy = false, busyAfterNavigate = false, failNavigate = false, outOfMemory = false;
    std::optional<QString> page;
    QString failingSearch;
};

struct FakeTray : Tray, Traced
{
    void setTip(const QString& tip) override { tipWrites << tip, note("tip"); }
    bool isAvailable() const override { return available; }
    void removeIcon() override { removed = true, note("icon removed"); }
    bool available = true, removed = false;
    QStringList tipWrites;
};

struct RecordingBoxes : MessageBoxes, Traced
{
    qint16 show(const BoxRequest& request) override
    {
        shown.push_back(request);
        // Noted as an alert when it asks for attention, without a failure's description.
        note(QString(request.urgent ? "alert " : "box ")
            + QString(request.text).replace(QRegularExpression(" - .*"), " -"));
        if (onShow)
            onShow(request);
        return answers.isEmpty() ? answerNo : answers.takeFirst();
    }
    std::vector<BoxRequest> shown;
    QList<qint16> answers;
    std::function<void(const BoxRequest&)> onShow;
};

// Records the requests in order: "open <url>" and "broadcast <message>".
struct RecordingDesktop : Desktop, Traced
{
    bool openUrl(const QString& url) override { return record("open " + url); }
    void broadcast(const QString& message) override { record("broadcast " + message); }
    bool record(const QString& request) { return requests << request, note(request), true; }
    QStringList requests;
};

// 14:30:15 on 6 December 2026, a second later at each reading once told to tick.
struct FakeClock : Clock
{
    QDateTime now() const override
    {
        return QDateTime(QDate(2026, 12, 6), QTime(14, 30, 15)).addSecs(ticking ? readings++ : 0);
    }
    bool ticking = false;
    mutable int readings = 0;
};

struct FakeSystem : SystemInfo
{
    QString configDirectory() const override
    {
        return outOfMemory ? throw std::bad_alloc() : configDir;
    }
    bool canBroadcast() const override { return broadcast; }
    QString configDir;
    bool broadcast = true, outOfMemory = false;
};

// A window model wired to fakes, with its settings in a fresh temporary folder, and the interval
// "5 Minutes", which no menu entry has, until start-up reads one.
struct Harness
{
    Harness()
    {
        system.configDir = dir.path() + QStringLiteral("/gridvane");
        form.strSettingsFile = settingsPath();
        form.strNetSendFile = netSendPath();
        form.strInterval = QStringLiteral("5 Minutes");
        tray.trace = boxes.trace = desktop.trace = &trace;
        QObject::connect(&form.events, &ModelEvents::controlChanged,
            [this](const Control* c) { c == &form.txtStatus ? traceLog() : void(); });
        QObject::connect(&form.events, &ModelEvents::frontRequested, [this] { trace << "front"; });
        QObject::connect(&form.events, &ModelEvents::unloaded, [this] { trace << "unloaded"; });
    }
    QString settingsPath() const { return system.configDir + QStringLiteral("/Settings.ini"); }
    QString netSendPath() const { return system.configDir + QStringLiteral("/NetSend.ini"); }

    // Runs steps "verb[*times] argument; ..." (\r, \n, \t, \xNN in an argument stand for those
    // characters; busy, fail, notray and nosend toggle) and returns, written alike, the trace:
    // new log lines, boxes (without a failure's description), tray tips, the desktop's and the
    // window host's requests, what the "?" verbs see (Settings.ini's records as "a|b|c").
    QString run(const QString& steps)
    {
        QString a;
        auto& f = form;
        auto& t = trace;
        auto& b = browser;
        const QString ini = settingsPath(), message = netSendPath(), q = "\"\r\n\"";
        const auto box = [&]() -> TextBox& { return f.txtGroup[a.section(' ', 0, 0).toInt()]; };
        const QHash<QString, std::function<void()>> verbs {
            { "press", [&] { f.cmdStart_Click(); } }, { "tick", [&] { f.Timer1_Timer(); } },
            { "load", [&] { f.Form_Load(); } }, { "save", [&] { f.SaveSettingsFile(); } },
            { "hide", [&] { f.cmdHide_Click(); } }, { "tray", [&] { f.cSysTray1_MouseEvent(); } },
            { "exit", [&] { f.mnuExit_Click(); } }, { "session", [&] { f.endSession(); } },
            { "close", [&] { f.requestClose(); } }, { "minimised", [&] { f.windowMinimized(); } },
            { "restored", [&] { f.windowRestored(); } }, { "auto", [&] { f.blnAutoStart = True; } },
            { "url", [&] { f.txtURL.setText(a); } }, { "nosend", [&] { system.broadcast ^= 1; } },
            { "caret", [&] { f.txtStatus.setSelStart(0); } },
            { "busy", [&] { b.busyAfterNavigate ^= 1; } }, { "fail", [&] { b.failNavigate ^= 1; } },
            { "nomemory", [&] { b.outOfMemory ^= 1, system.outOfMemory ^= 1; } },
            { "failsearch", [&] { b.failingSearch = a; } },
            { "ticking", [&] { clock.ticking = 1; } },
            { "stamps?",
                [&] { t << f.txtStatus.Text().section("--", -2, -2) + tray.tipWrites.last(); } },
            { "notray", [&] { tray.available ^= 1; } }, { "otherpage", [&] { b.complete(a); } },
            { "raw", [&] { writeFile(ini, a.toLatin1()); } },
            { "interval", [&] { f.mnuInt_Click(qint16(a.toInt())); } },
            { "code", [&] { box().setText(a.section(' ', 1)); } },
            { "message", [&] { f.txtNetSend.setText(a); } },
            { "check", [&] { f.chkNetSend.setValue(a.toInt()); } },
            { "page", [&] { b.complete(texts::outageHeading + ' ' + a); } },
            { "nopage", [&] { b.page.reset(), f.WebBrowser1_DownloadComplete(); } },
            { "answer", [&] { boxes.answers << (a == "yes" ? answerYes : answerNo); } },
            { "file", [&] { writeFile(ini, ('"' + a.split('|').join(q) + "\"\r\n").toUtf8()); } },
            { "message.ini", [&] { writeFile(message, encodeUtf16Le(a)); } },
            { "unreadable", [&] { QFile::link("/proc/self/mem", message); } },
            { "unwritable",
                [&] {
                    QFile::remove(a.isEmpty() ? ini : message),
                        QDir().mkpath(a.isEmpty() ? ini : message);
                } },
            { "onbox", [&] { boxes.onShow = [=, this](auto&) { run(a.split(',').join(';')); }; } },
            { "state?", [&] { t << state(); } }, { "window?", [&] { t << window(); } },
            { "saved?", [&] { t << (QFile::remove(ini) ? "saved" : "not saved"); } },
            { "settings?", [&] { t << readFile(ini).chopped(3).mid(1).replace("\"\r\n\"", "|"); } },
            { "message?", [&] { t << decodeUtf16Le(readFile(message)); } },
            { "send?",
                [&] {
                    t << f.strNetSend + (f.chkNetSend.Value() ? " ticked" : "")
                            + (f.chkNetSend.Enabled() || f.txtNetSend.Enabled() ? "" : " disabled");
                } },
            { "box?", [&] { t << "'" + box().Text() + "' '" + box().Tag + "'"; } },
            { "count?", [&] { t << "count " + QString::number(f.intStatusCount); } },
            { "browser?", [&] { t << b.calls.join(", "), b.calls.clear(); } },
            { "log?", [&] { t << f.txtStatus.Text().left(f.txtStatus.SelStart()); } }
        };
        const qsizetype from = trace.size();
        for (const QString& step : steps.split("; ", Qt::SkipEmptyParts)) {
            a = step.section(' ', 1).replace("\\r", "\r").replace("\\n", "\n").replace("\\t", "\t");
            for (int i; (i = a.indexOf("\\x")) >= 0;)
                a.replace(i, 4, QChar(a.mid(i + 2, 2).toUShort(nullptr, 16)));
            for (int i = std::max(1, step.section(' ', 0, 0).section('*', 1).toInt()); i > 0; --i)
                verbs[step.section(' ', 0, 0).section('*', 0, 0)]();
        }
        const QString traced = trace.mid(from).join(", ");
        return traced.toUtf8().replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t");
    }
    // The schedule's state, by the button, its colour and the timer, and a download going on.
    QString state() const
    {
        const bool stop = form.cmdStart.Caption() == texts::captionStop;
        const int key = (form.blnChecking ? 4 : 0) + (form.Timer1.Enabled() ? 2 : 0) + stop;
        return QStringList { "stopped", "halted", "pending", "?", "?", "?", "?", "checking" }[key]
            + (form.cmdStart.BackColor() == (stop ? 255u : 65280u) ? "" : " miscoloured")
            + (form.cmdStart.Enabled() ? "" : " disabled") + (browser.busy ? " downloading" : "");
    }
    // Shown, hidden or minimised, the caption of File > Hide/Show, and a log caret not at its end.
    QString window() const
    {
        const char* how = form.minimized() ? "minimised/" : form.visible() ? "shown/" : "hidden/";
        const bool caretAtEnd = form.txtStatus.SelStart() == form.txtStatus.Text().size();
        return how + form.mnuShow.Caption().mid(1) + (caretAtEnd ? "" : " astray");
    }

    QTemporaryDir dir;
    FakeBrowser browser;
    FakeTray tray;
    RecordingBoxes boxes;
    RecordingDesktop desktop;
    FakeClock clock;
    FakeSystem system;
    frmGridvane form { { browser, tray, boxes, desktop, clock, system } };
    QStringList trace;

private:
    void traceLog()
    {
        // The frequent lines by a short name, a failure's by its first line, a result unstamped.
        static const QHash<QString, QString> shortNames { { texts::startedChecking, "Started" },
            { texts::accessingWebsite, "Accessing" }, { texts::stillTrying, "Still trying" },
            { texts::stoppedChecking, "Stopped" } };
        const QString& log = form.txtStatus.Text();
        for (QString line : log.mid(logSeen).split(texts::crlf, Qt::SkipEmptyParts)) {
            line = line.startsWith("--No Alerts ") ? "No Alerts" : line.mid(2);
            line.startsWith(' ') ? void() : void(trace << shortNames.value(line, line));
        }
        logSeen = log.size();
    }
    qsizetype logSeen = 0;
};

} // namespace gridvane::testing
