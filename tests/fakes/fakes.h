#pragma once

// Fakes of the platform that record what the model asks of them, and a model wired to them.
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

// Records "Navigate <url> <flags>" and "Stop"; a download ends when the test completes it. A
// range searches the page without regard to case; the search for `failingSearch` fails.
struct FakeBrowser : Browser
{
    struct Range : TextRange
    {
        QString page, failing;
        bool findText(const QString& text) override
        {
            return text == failing ? throw TrappedError(438, QStringLiteral("Object required"))
                                   : page.contains(text, Qt::CaseInsensitive);
        }
    };
    void Navigate(const QString& url, qint16 flags) override
    {
        calls << QStringLiteral("Navigate %1 %2").arg(url).arg(flags);
        if (failure)
            throw *failure;
        if (outOfMemory)
            throw std::bad_alloc();
        busy = busyAfterNavigate;
    }
    void Stop() override { calls << QStringLiteral("Stop"), busy = false; }
    bool Busy() const override { return busy; }
    std::unique_ptr<TextRange> createRange() override
    {
        auto range = page ? std::make_unique<Range>() : nullptr;
        if (range)
            range->page = *page, range->failing = failingSearch;
        return range;
    }
    void complete(std::optional<QString> text) // with this page, or none at all
    {
        page = text, busy = false;
        Q_EMIT DownloadComplete();
    }
    QStringList calls;
    bool busy = false, busyAfterNavigate = false, outOfMemory = false;
    std::optional<TrappedError> failure;
    std::optional<QString> page;
    QString failingSearch;
};

struct FakeTray : Tray
{
    void setTip(const QString& tip) override { tips << tip; }
    bool isAvailable() const override { return available; }
    void removeIcon() override { removed = true; }
    bool available = true, removed = false;
    QStringList tips;
};

// Answers No, or what the test put in `answers`; `onShow` runs while a box is open.
struct RecordingBoxes : MessageBoxes
{
    qint16 show(const BoxRequest& request) override
    {
        shown.push_back(request);
        if (onShow)
            onShow();
        return answers.isEmpty() ? answerNo : answers.takeFirst();
    }
    QStringList texts() const // without the failures' descriptions
    {
        QStringList all;
        for (const BoxRequest& box : shown)
            all << box.text.section(QStringLiteral(" - "), 0, 0);
        return all;
    }
    std::vector<BoxRequest> shown;
    QList<qint16> answers;
    std::function<void()> onShow;
};

// Records "open <url>" and "broadcast <message>" in order.
struct RecordingDesktop : Desktop
{
    bool openUrl(const QString& url) override { return requests << "open " + url, true; }
    void broadcast(const QString& message) override { requests << "broadcast " + message; }
    QStringList requests;
};

// 14:30:15 on 6 December 2026, each reading `step` seconds after the one before.
struct FakeClock : Clock
{
    QDateTime now() const override
    {
        return QDateTime(QDate(2026, 12, 6), QTime(14, 30, 15)).addSecs(step * readings++);
    }
    int step = 0;
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

// A window model wired to the fakes, with its settings in a fresh temporary folder and the
// interval "5 Minutes", which no menu entry has, until start-up reads one.
struct Harness
{
    Harness()
    {
        system.configDir = dir.filePath(QStringLiteral("gridvane"));
        form.strSettingsFile = settingsPath();
        form.strNetSendFile = netSendPath();
        form.strInterval = QStringLiteral("5 Minutes");
    }
    QString settingsPath() const { return system.configDir + QStringLiteral("/Settings.ini"); }
    QString netSendPath() const { return system.configDir + QStringLiteral("/NetSend.ini"); }
    const QString& log() const { return form.txtStatus.Text(); }

    QTemporaryDir dir;
    FakeBrowser browser;
    FakeTray tray;
    RecordingBoxes boxes;
    RecordingDesktop desktop;
    FakeClock clock;
    FakeSystem system;
    frmGridvane form { { browser, tray, boxes, desktop, clock, system } };
};

} // namespace gridvane::testing
