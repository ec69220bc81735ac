#include "fakes/fakes.h"
#include "shell/ui/about_window.h"
#include "shell/ui/main_window.h"
#include "shell/ui/window_host.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <csignal>

using namespace gridvane;
using namespace gridvane::testing;

namespace {

// The model and its host, made in the order the program makes them.
struct Program
{
    explicit Program(const QString& configDir) { system.configDir = configDir; }

    QString settingsPath() const { return system.configDir + QStringLiteral("/Settings.ini"); }
    template <typename T> T* window(const char* name) { return ui.window()->findChild<T*>(name); }
    void click(const char* button)
    {
        QTest::mouseClick(window<QPushButton>(button), Qt::LeftButton);
    }

    FakeTray tray;
    FakeBrowser browser;
    RecordingBoxes boxes;
    RecordingDesktop desktop;
    FakeClock clock;
    FakeSystem system;
    frmGridvane form { { browser, tray, boxes, desktop, clock, system } };
    WindowHost ui { form, desktop };
};

// Runs the scenario inside the application's event loop and returns the loop's exit code. The
// watchdog ends a loop that nothing else ends within 5 seconds, with loopTimedOut, so a broken
// program fails instead of hanging.
constexpr int loopTimedOut = 99;
int runEventLoop(const std::function<void()>& scenario)
{
    QObject watchdog;
    QTimer::singleShot(0, &watchdog, scenario);
    QTimer::singleShot(5000, &watchdog, [] { QCoreApplication::exit(loopTimedOut); });
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
        asked = asked || (watched == qApp && event->type() == QEvent::Quit);
        return false;
    }
    bool asked = false;
};

} // namespace

class WindowHostTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString configDir() const { return dir.path() + QStringLiteral("/config"); }

private Q_SLOTS:
    void init() { QDir(configDir()).removeRecursively(); }

    void withSavedCodesStartsHiddenAndTicksUntilStopped()
    {
        {
            Harness earlier; // a user's earlier run that saved one group code
            earlier.system.configDir = configDir();
            earlier.form.Form_Load();
            earlier.form.txtGroup[0].setText(QStringLiteral("A1"));
            earlier.form.SaveSettingsFile();
        }
        Program program(configDir());
        program.form.Timer1.Interval = 1;
        program.ui.start();
        QVERIFY(!program.ui.window()->isVisible());
        QVERIFY2(
            QTest::qWaitFor(
                [&] { return !program.browser.calls.filter(QStringLiteral("Navigate")).isEmpty(); },
                5000),
            "no tick started checking within 5 s");
        QCOMPARE(program.form.blnAutoStart, False);
        program.form.cmdStart_Click();
        QVERIFY(!program.ui.timer().isActive());
    }

    void endsSavedWithWindowTrayAndAboutGone_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "Exit";
        QTest::newRow("Exit with About open ends when About closes") << "Exit+About";
        QTest::newRow("SIGTERM with About open") << "SIGTERM+About";
    }
    void endsSavedWithWindowTrayAndAboutGone()
    {
        QFETCH(QString, how);
        Program program(configDir());
        program.ui.start();
        QSignalSpy quitting(&program.ui, &WindowHost::quitting);
        QPointer<MainWindow> window = program.ui.window();
        QVERIFY(!QFile::exists(program.settingsPath()));
        bool aboutOutlivedExit = false;
        const int code = runEventLoop([&] {
            if (how.endsWith("+About"))
                program.window<QAction>("mnuAbout")->trigger();
            if (how.startsWith("SIGTERM")) {
                ::raise(SIGTERM);
                return;
            }
            program.click("cmdExit");
            if (how == "Exit+About") {
                aboutOutlivedExit = quitting.isEmpty() && AboutWindow::instance();
                QTimer::singleShot(0, [] { AboutWindow::instance()->close(); });
            }
        });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(code != loopTimedOut, "the program did not end within 5 s");
        QCOMPARE(code, 0);
        QCOMPARE(aboutOutlivedExit, how == "Exit+About");
        QCOMPARE(quitting.count(), 1);
        QVERIFY(!window);
        QVERIFY(program.tray.removed);
        QCOMPARE(AboutWindow::instance(), nullptr);
        QVERIFY(!program.form.loaded());
        QVERIFY(QFile::exists(program.settingsPath()));
    }

    void startsShownAndClosingOtherWindowsWhileHiddenKeepsItRunning()
    {
        Program program(configDir());
        program.ui.start();
        bool runningAtEnd = false;
        QuitWatcher quit;
        QVERIFY(program.ui.window()->isVisible());
        QVERIFY(!program.ui.timer().isActive());
        const int code = runEventLoop([&] {
            program.click("cmdHide");
            AboutWindow::open(program.desktop)->close();
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Gridvane"),
                QStringLiteral("--Timer Event--"), QMessageBox::Ok);
            box.show();
            box.button(QMessageBox::Ok)->click();
            // Runs only if nothing ended the loop before it.
            QTimer::singleShot(0, [&] {
                runningAtEnd = !quit.asked && program.form.loaded() && !program.tray.removed;
                QCoreApplication::exit(7);
            });
        });
        QVERIFY2(code != loopTimedOut, "the scenario did not finish within 5 s");
        QCOMPARE(code, 7);
        QVERIFY(runningAtEnd);
    }
};

QTEST_MAIN(WindowHostTest)
#include "test_window_host.moc"
