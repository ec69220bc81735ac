#pragma once

#include "monitor/frm_gridvane.h"
#include "platform/browser.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/message_boxes.h"
#include "platform/system_info.h"
#include "platform/tray.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>

namespace gridvane::testing {

// A page held by the fake browser: plain text searched without regard to case.
class FakeRange : public TextRange
{
public:
    explicit FakeRange(QString text, bool fails = false)
        : m_text(std::move(text))
        , m_fails(fails)
    {
    }
    bool findText(const QString& text) override
    {
        searches << text;
        if (m_fails)
            throw TrappedError { 1, QStringLiteral("search failed") };
        return m_text.contains(text, Qt::CaseInsensitive);
    }
    inline static QStringList searches;

private:
    QString m_text;
    bool m_fails;
};

class FakeBrowser : public Browser
{
public:
    void Navigate(const QString& url, qint16 flags) override
    {
        calls << QStringLiteral("Navigate ") + url + QLatin1Char(' ') + QString::number(flags);
        if (failNavigate)
            throw TrappedError { 424, QStringLiteral("Object required") };
        busy = busyAfterNavigate;
    }
    void Stop() override
    {
        calls << QStringLiteral("Stop");
        busy = false;
        // Some browsers end a cancelled download with a completion of its own, at once.
        if (completeOnStop)
            complete(*completeOnStop);
    }
    bool Busy() const override { return busy; }
    std::unique_ptr<TextRange> createRange() override
    {
        return page ? std::make_unique<FakeRange>(*page, searchFails) : nullptr;
    }
    // Ends the download in progress with the given page text.
    void complete(const QString& text)
    {
        page = text;
        busy = false;
        raiseDownloadComplete();
    }

    QStringList calls;
    bool busy = false;
    bool busyAfterNavigate = true;
    bool failNavigate = false;
    bool searchFails = false;
    std::optional<QString> page;
    std::optional<QString> completeOnStop;
};

class FakeTray : public Tray
{
public:
    void setTip(const QString& tip) override { tipWrites << tip; }
    QString tip() const override
    {
        return tipWrites.isEmpty() ? QStringLiteral("Gridvane") : tipWrites.last();
    }
    bool isAvailable() const override { return available; }
    void removeIcon() override { removed = true; }
    void click() { raiseMouseEvent(); }

    bool available = true;
    bool removed = false;
    QStringList tipWrites;
};

class RecordingBoxes : public MessageBoxes
{
public:
    qint16 show(const BoxRequest& request) override
    {
        shown.push_back(request);
        if (onShow)
            onShow(request);
        if (!answers.empty()) {
            const qint16 answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == BoxButtons::YesNo ? answerNo : answerOk;
    }
    std::vector<BoxRequest> shown;
    std::deque<qint16> answers;
    std::function<void(const BoxRequest&)> onShow;
};

// Records the requests in order: "open <url>" and "broadcast <message>".
class RecordingDesktop : public Desktop
{
public:
    bool openUrl(const QString& url) override
    {
        requests << QStringLiteral("open ") + url;
        return true;
    }
    void broadcast(const QString& message) override
    {
        requests << QStringLiteral("broadcast ") + message;
    }
    QStringList requests;
};

class FakeClock : public Clock
{
public:
    QDateTime now() const override { return moment; }
    QDateTime moment = QDateTime(QDate(2026, 12, 6), QTime(14, 30, 15));
};

class FakeSystem : public SystemInfo
{
public:
    QString applicationDirectory() const override { return appDir; }
    QString configDirectory() const override { return configDir; }
    bool canBroadcast() const override { return broadcast; }
    QString appDir = QStringLiteral("/opt/gridvane");
    QString configDir;
    bool broadcast = true;
};

// A window model wired to fakes, with its settings in a fresh temporary folder.
struct Harness
{
    Harness() { system.configDir = dir.path() + QStringLiteral("/gridvane"); }
    QString settingsPath() const { return system.configDir + QStringLiteral("/Settings.ini"); }
    QString netSendPath() const { return system.configDir + QStringLiteral("/NetSend.ini"); }
    // The state start-up leaves behind: paths set, an interval chosen, net send off.
    void ready(const QString& interval = QStringLiteral("30 seconds"))
    {
        form.strSettingsFile = settingsPath();
        form.strNetSendFile = netSendPath();
        form.strInterval = interval;
        form.strNetSend = QStringLiteral("off");
    }

    QTemporaryDir dir;
    FakeBrowser browser;
    FakeTray tray;
    RecordingBoxes boxes;
    RecordingDesktop desktop;
    FakeClock clock;
    FakeSystem system;
    frmGridvane form { { browser, tray, boxes, desktop, clock, system } };
};

// The log's lines without their dashes and line ends.
inline QStringList logLines(const frmGridvane& form)
{
    QStringList lines = form.txtStatus.Text().split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (auto& line : lines)
        line = line.mid(2);
    return lines;
}

} // namespace gridvane::testing
