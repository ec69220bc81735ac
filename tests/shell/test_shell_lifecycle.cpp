#include "fakes/fakes.h"
#include "shell/ui/about_window.h"
#include "shell/ui/gridvane_shell.h"
#include "shell/ui/main_window.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <csignal>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

class WatchedTray : public FakeTray
{
public:
    explicit WatchedTray(bool& destroyed)
        : m_destroyed(destroyed)
    {
    }
    ~WatchedTray() override { m_destroyed = true; }

private:
    bool& m_destroyed;
};

// The model and its shell, with the tray owned by the shell as in the program.
struct Program
{
    explicit Program(const QString& configDir) { system.configDir = configDir; }

    QString settingsPath() const { return system.configDir + QStringLiteral("/Settings.ini"); }

    bool trayDestroyed = false;
    std::unique_ptr<WatchedTray> trayOwner = std::make_unique<WatchedTray>(trayDestroyed);
    WatchedTray& tray = *trayOwner;
    FakeBrowser browser;
    RecordingBoxes boxes;
    RecordingShell shell;
    FakeClock clock;
    FakeSystem system;
    frmGridvane form { { browser, tray, boxes, shell, clock, system } };
    GridvaneShell ui { form, std::move(trayOwner), shell };
};

// Runs the scenario inside the application's event loop and returns the loop's exit code. The
// watchdog only ends a loop that nothing else ends, so a broken program fails instead of
// hanging.
int runEventLoop(const std::function<void()>& scenario)
{
    QTimer::singleShot(0, scenario);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(60000);
    return QCoreApplication::exec();
}

// Notes a request to end the application's event loop, whoever asks for it: Qt posts the
// request at once when it decides that the last window has gone.
class QuitWatcher : public QObject
{
public:
    QuitWatcher() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::Quit)
            asked = true;
        return false;
    }
    bool asked = false;
};

void clickExit(Program& program)
{
    QTest::mouseClick(program.ui.window()->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
}

} // namespace

class ShellLifecycleTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString configDir() const { return dir.path() + QStringLiteral("/config"); }

    // Leaves a Settings.ini with one group code, as a user's earlier run would.
    void saveGroupCode()
    {
        Harness earlier;
        earlier.system.configDir = configDir();
        earlier.form.Form_Load();
        earlier.form.txtGroup[0].setText(QStringLiteral("A1"));
        earlier.form.SaveSettingsFile();
    }

private Q_SLOTS:
    void init() { QDir(configDir()).removeRecursively(); }

    void startsShownAndStoppedWithoutSavedCodes()
    {
        Program program(configDir());
        program.ui.start();
        QVERIFY(program.ui.window()->isVisible());
        QVERIFY(!program.ui.timer().isActive());
        QVERIFY(!program.ui.window()->findChild<QPushButton*>("cmdStart")->isEnabled());
    }

    void startsHiddenWithTheTimerRunningWhenCodesWereSaved()
    {
        saveGroupCode();
        Program program(configDir());
        program.ui.start();
        QVERIFY(program.ui.window());
        QVERIFY(!program.ui.window()->isVisible());
        QVERIFY(program.ui.timer().isActive());
        QCOMPARE(program.ui.timer().interval(), 30000);

        // A click on the tray icon brings the window back and starts checking at once.
        program.tray.click();
        QVERIFY(program.ui.window()->isVisible());
        QCOMPARE(program.form.cmdStart.Caption(), QStringLiteral("&Stop"));
        QCOMPARE(
            program.ui.window()->findChild<QAction*>("mnuShow")->text(), QStringLiteral("&Hide"));
    }

    void timerTicksRunTheSchedule()
    {
        saveGroupCode();
        Program program(configDir());
        program.form.Timer1.Interval = 1;
        program.ui.start();
        QTRY_VERIFY(program.browser.calls.filter(QStringLiteral("Navigate")).size() >= 1);
        QCOMPARE(program.form.blnAutoStart, False);

        program.form.cmdStart_Click();
        QVERIFY(!program.ui.timer().isActive());
    }

    void exitRemovesWindowAndTrayIconAndEndsTheProgram()
    {
        Program program(configDir());
        program.ui.start();
        QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
        QPointer<MainWindow> window = program.ui.window();

        QCOMPARE(runEventLoop([&] { clickExit(program); }), 0);
        QCOMPARE(aboutToQuit.count(), 1);
        QVERIFY(program.trayDestroyed);
        QVERIFY(!window);
        QVERIFY(!program.form.Loaded());
        QVERIFY(QFile::exists(program.settingsPath()));
    }

    void anOpenAboutWindowOutlivesExitUntilItIsClosed()
    {
        Program program(configDir());
        program.ui.start();
        QSignalSpy quitting(&program.ui, &GridvaneShell::quitting);
        bool endedAtExit = true;
        bool aboutOpenAfterExit = false;

        const int code = runEventLoop([&] {
            program.ui.window()->findChild<QAction*>("mnuAbout")->trigger();
            clickExit(program);
            endedAtExit = quitting.count() > 0;
            QTimer::singleShot(0, [&] {
                aboutOpenAfterExit = AboutWindow::instance() && !program.ui.window();
                AboutWindow::instance()->close();
            });
        });
        QCOMPARE(code, 0);
        QVERIFY(!endedAtExit);
        QVERIFY(aboutOpenAfterExit);
        QVERIFY(program.trayDestroyed);
        QCOMPARE(quitting.count(), 1);
    }

    void closingOtherWindowsWhileHiddenKeepsTheProgramRunning()
    {
        Program program(configDir());
        program.ui.start();
        bool runningAtEnd = false;
        QuitWatcher quit;
        const int code = runEventLoop([&] {
            QTest::mouseClick(
                program.ui.window()->findChild<QPushButton*>("cmdHide"), Qt::LeftButton);
            AboutWindow::open(program.shell)->close();
            auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Gridvane"),
                QStringLiteral("--Timer Event--"), QMessageBox::Ok);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->show();
            box->button(QMessageBox::Ok)->click();
            // Runs only if nothing ended the loop before it.
            QTimer::singleShot(0, [&] {
                runningAtEnd = !quit.asked && program.form.Loaded() && !program.trayDestroyed;
                QCoreApplication::exit(7);
            });
        });
        QCOMPARE(code, 7);
        QVERIFY(runningAtEnd);
    }

    void terminationSignalSavesAndEnds()
    {
        Program program(configDir());
        program.ui.start();
        QVERIFY(!QFile::exists(program.settingsPath()));
        const int code = runEventLoop([&] {
            AboutWindow::open(program.shell);
            ::raise(SIGTERM);
        });
        QCOMPARE(code, 0);
        QVERIFY(QFile::exists(program.settingsPath()));
        QVERIFY(program.trayDestroyed);
        QVERIFY(!program.form.Loaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(AboutWindow::instance(), nullptr);
    }

    void endOfSessionSavesWithoutRefusing()
    {
        Program program(configDir());
        program.ui.start();
        QSignalSpy quitting(&program.ui, &GridvaneShell::quitting);
        program.ui.endSession();
        QVERIFY(QFile::exists(program.settingsPath()));
        QVERIFY(!program.form.Loaded());
        QVERIFY(!program.ui.window());
        QCOMPARE(quitting.count(), 1);
    }
};

QTEST_MAIN(ShellLifecycleTest)
#include "test_shell_lifecycle.moc"
