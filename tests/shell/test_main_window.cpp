#include "fakes/fakes.h"
#include "platform/linux/unix_signals.h"
#include "shell/ui/about_window.h"
#include "shell/ui/window_host.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>

using namespace gridvane;
using namespace gridvane::testing;

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Harness> h;
    UnixSignals signals;
    std::unique_ptr<WindowHost> host;

    template <typename T = QWidget> T* control(const char* name, QWidget* in = nullptr)
    {
        T* found = (in ? in : host->window())->findChild<T*>(name);
        if (!found)
            qFatal("no control named %s", name);
        return found;
    }
    QString shown(const char* name)
    {
        QObject* shown = control<QObject>(name);
        return shown->property(qobject_cast<QPlainTextEdit*>(shown) ? "plainText" : "text")
            .toString();
    }
    QColor face(const char* name) { return control(name)->grab().toImage().pixelColor(4, 12); }

private Q_SLOTS:
    // The program as main() starts it the first time, with no settings: the window shows.
    void init()
    {
        host.reset();
        h = std::make_unique<Harness>();
        h->form.Timer1.Interval = 1;
        host = std::make_unique<WindowHost>(h->form, h->desktop, signals);
        host->start();
    }
    void cleanup() { delete AboutWindow::instance(); }

    void mirrorsTheModelAndForwardsEachUserEditOnce()
    {
        int changes = 0;
        TextBox& code = h->form.txtGroup[3];
        code.Change = [&, handler = code.Change] { ++changes, handler(); };
        QTest::keyClick(control("txtGroup3"), Qt::Key_Z);
        QCOMPARE(code.Text(), "z");
        code.setText("B2"); // not raised again by the box
        QCOMPARE(changes, 2);
        QCOMPARE(shown("txtGroup3"), "B2");
        control<QCheckBox>("chkNetSend")->click();
        QCOMPARE(h->form.chkNetSend.Value(), 1);
        // The message keeps CR LF; a program text with a bare LF must stay as it was set.
        control<QPlainTextEdit>("txtNetSend")->clear();
        QTest::keyClicks(control("txtNetSend"), "Go\rhome");
        QCOMPARE(h->form.txtNetSend.Text(), "Go\r\nhome");
        h->form.txtNetSend.setText("x\ny");
        QCOMPARE(h->form.txtNetSend.Text() + shown("txtNetSend"), "x\nyx\ny");
        // The log shows every line, the newest in view.
        for (int i = 0; i < 60; ++i)
            h->form.AddStatus(QStringLiteral("line %1").arg(i), True);
        QCOMPARE(shown("txtStatus"), QString(h->form.txtStatus.Text()).replace("\r\n", "\n"));
        const QScrollBar* bar = control<QPlainTextEdit>("txtStatus")->verticalScrollBar();
        QVERIFY(bar->value() > 0 && bar->value() == bar->maximum());
    }

    void showsItsDesignAndFollowsTheModel()
    {
        QVERIFY(QTest::qWaitForWindowActive(host->window()));
        QStringList captions;
        for (const char* name : { "mnuFile", "mnuInterval", "mnuHelp" })
            captions << control<QMenu>(name)->title();
        for (const char* name : { "mnuShow", "mnuExit", "mnuAbout" })
            captions << control<QAction>(name)->text();
        for (const QGroupBox* frame : host->window()->findChildren<QGroupBox*>())
            captions << frame->title();
        QCOMPARE(captions,
            QStringList({ "&File", "&Interval", "&Help", "&Hide", "E&xit", "&About",
                "URL of SCE blackout information web page", "Connection and Check status",
                "Rotating Outage Groups to check",
                "Net Send Message (Windows NT/2000 users only)" }));
        QVERIFY(control<QAction>("mnuInt0")->isChecked() && !control("cmdStart")->isEnabled());
        QCOMPARE(face("cmdStart"), QColor(0, 255, 0));
        QCOMPARE(face("cmdExit"), QColor(255, 0, 0));
        h->form.txtGroup[0].setText("A1");
        QTest::mouseClick(control("cmdStart"), Qt::LeftButton);
        QCOMPARE(shown("cmdStart"), "&Stop");
        QCOMPARE(face("cmdStart"), QColor(255, 0, 0));
        // Focus shows as a frame only: a face keeps its colour focused by Tab and pressed.
        QTest::keyClick(control("cmdStart"), Qt::Key_Tab);
        QVERIFY(control("cmdHide")->hasFocus());
        QCOMPARE(face("cmdHide"), QColor(255, 255, 0));
        QTest::mousePress(control("cmdHide"), Qt::LeftButton);
        QCOMPARE(face("cmdHide"), QColor(255, 255, 0));
        QTest::mouseRelease(control("cmdHide"), Qt::LeftButton, {}, QPoint(-1, -1));
        // The timer ticks at the model's period from Start until Stop.
        QCOMPARE(host->timer().interval(), 1);
        QTRY_VERIFY2(h->browser.calls.filter("Navigate").size() > 1, "no tick checked again");
        h->form.cmdStart_Click();
        QVERIFY(!host->timer().isActive());
        // The log is for reading; a box the model disables is greyed.
        const QString log = shown("txtStatus");
        QTest::keyClicks(control("txtStatus"), "typed");
        QCOMPARE(shown("txtStatus"), log);
        h->form.txtNetSend.setEnabled(false);
        QVERIFY(!control("txtNetSend")->isEnabled());
        QCOMPARE(control("txtNetSend")->palette().color(QPalette::Disabled, QPalette::Text),
            QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        // F1 explains the focused control; Shift+F1 asks for the control to explain.
        QTest::keyClick(control("txtURL"), Qt::Key_F1);
        const auto explained = [] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* popup) {
                return popup->isVisible() && popup->inherits("QWhatsThat");
            });
        };
        QTRY_VERIFY(explained());
        QWhatsThis::hideText();
        QTest::keyClick(control("txtURL"), Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWhatsThis::leaveWhatsThisMode();
    }

    void theDesktopsMinimisingReachesTheModelAndTheCloseBoxHidesAndSaves()
    {
        h->tray.available = false; // Hide minimises instead
        control<QAction>("mnuShow")->trigger();
        QVERIFY(host->window()->isMinimized());
        host->window()->showNormal();
        QVERIFY(!h->form.minimized() && shown("mnuShow") == "&Hide");
        host->window()->showMinimized();
        QVERIFY(h->form.minimized());
        h->tray.available = true;
        QVERIFY(!host->window()->close());
        QVERIFY(!host->window()->isVisible() && QFile::exists(h->settingsPath()));
    }

    void aFailureEscapingAHandlerShowsItsBoxAndTheProgramGoesOn()
    {
        h->form.intStatusCount = 32767;
        control<QAction>("mnuInt1")->trigger();
        QCOMPARE(h->boxes.shown.back().text, "--mnuInt_Click--\r\n6 - Overflow");
        h->form.intStatusCount = 0;
        control<QAction>("mnuInt3")->trigger();
        control<QAction>("mnuInt3")->trigger(); // a click on the checked entry keeps it checked
        for (const char* name : { "mnuInt0", "mnuInt1", "mnuInt2", "mnuInt3", "mnuInt4" })
            QCOMPARE(control<QAction>(name)->isChecked(), name == QLatin1String("mnuInt3"));
    }

    void aboutOpensOnceWithTheIconItsLinksGoToTheDesktopAndOkClosesIt()
    {
        control<QAction>("mnuAbout")->trigger();
        AboutWindow* about = AboutWindow::instance();
        QVERIFY(about && about->windowTitle() == "About Gridvane");
        about->showMinimized();
        control<QAction>("mnuAbout")->trigger(); // the open one comes back
        QVERIFY(AboutWindow::instance() == about && !about->isMinimized());
        QVERIFY(!control<QLabel>("Image1", about)->pixmap().isNull());
        for (const char* name : { "lblDorren", "lblDorrenEmail", "lblSCE" })
            QTest::mouseClick(control<QLabel>(name, about), Qt::LeftButton, {}, QPoint(4, 7));
        QCOMPARE(h->desktop.requests.join(' '),
            "open " + texts::webSite + " open mailto:gridvane@example.org?Subject=Gridvane open "
                + texts::defaultUrl);
        QTest::mouseClick(control("cmdOkay", about), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(AboutWindow::instance(), nullptr);
    }

    void textsFitTheirBoxesAndEndBeforeTheNextText()
    {
        for (QWidget* top : { static_cast<QWidget*>(host->window()),
                 static_cast<QWidget*>(AboutWindow::open(h->desktop)) }) {
            QList<std::pair<QString, QRect>> texts; // a box and the room its text takes
            for (QWidget* box : top->findChildren<QWidget*>()) {
                auto* label = qobject_cast<QLabel*>(box);
                if (!qobject_cast<QCheckBox*>(box)
                    && !(label && !label->wordWrap() && label->text() != ""))
                    continue;
                const QString name = box->objectName() + " in " + box->fontInfo().family();
                const QSize room(box->sizeHint().width(), box->height());
                QVERIFY2(room.width() <= box->width(), qPrintable(name + " overflows"));
                texts << std::pair(name, QRect(box->mapTo(top, QPoint()), room));
            }
            for (const auto& [name, room] : texts) {
                for (const auto& [nextName, next] : texts)
                    QVERIFY2(
                        next.left() <= room.left() || !room.adjusted(0, 0, 2, 0).intersects(next),
                        qPrintable(name + " runs into " + nextName));
            }
        }
    }

    // In the event loop; a watchdog ends it (99) long after any quit a closed window posts.
    void endsSavedOnExitOnceAboutClosesOrAtOnceOnSigterm_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit with About open ends when About closes") << "Exit";
        QTest::newRow("SIGTERM ends with About open") << "SIGTERM";
        QTest::newRow("the end of the desktop session ends with About open") << "session";
        QTest::newRow("Hide, then closing About, keeps it running") << "Hide";
    }
    void endsSavedOnExitOnceAboutClosesOrAtOnceOnSigterm()
    {
        QFETCH(QString, how);
        QSignalSpy quitting(host.get(), &WindowHost::quitting);
        QPointer<MainWindow> window = host->window();
        QObject watchdog;
        QTimer::singleShot(
            how == "Hide" ? 300 : 5000, &watchdog, [] { QCoreApplication::exit(99); });
        QTimer::singleShot(0, &watchdog, [&] {
            control<QAction>("mnuAbout")->trigger();
            if (how == "SIGTERM")
                return void(::raise(SIGTERM));
            int manager = 0; // Qt's request to save as the session ends; its manager goes unused
            if (how == "session")
                return void(QMetaObject::invokeMethod(qApp, "commitDataRequest",
                    Qt::DirectConnection, QGenericArgument("QSessionManager&", &manager)));
            control<QPushButton>(how == "Exit" ? "cmdExit" : "cmdHide")->click();
            QVERIFY(quitting.isEmpty());
            QTimer::singleShot(0, AboutWindow::instance(), &QWidget::close);
        });
        QCOMPARE(QCoreApplication::exec(), how == "Hide" ? 99 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The end of the event loop, whoever ends it, ends the program saved.
        QCOMPARE(quitting.count(), 1);
        QVERIFY(window.isNull() && h->tray.removed && QFile::exists(h->settingsPath()));
        QCOMPARE(AboutWindow::instance(), nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
