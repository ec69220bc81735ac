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

    template <typename T = QWidget> T* control(const char* name)
    {
        return host->window()->findChild<T*>(name);
    }
    QString shown(const char* name)
    {
        const bool plain = qobject_cast<QPlainTextEdit*>(control(name));
        return control<QObject>(name)->property(plain ? "plainText" : "text").toString();
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

    void minimiseAndRestoreByTheDesktopReachTheModel()
    {
        h->tray.available = false; // Hide minimises instead
        control<QAction>("mnuShow")->trigger();
        QVERIFY(host->window()->isMinimized());
        host->window()->showNormal();
        QVERIFY(!h->form.minimized() && shown("mnuShow") == "&Hide");
        host->window()->showMinimized();
        QVERIFY(h->form.minimized());
        QVERIFY(!host->window()->close()); // the model hides the window itself
    }

    void timerTicksFromStartUntilStop()
    {
        h->form.txtGroup[0].setText("A1");
        h->form.cmdStart_Click();
        QTRY_VERIFY2(h->browser.calls.filter("Navigate").size() > 1, "no tick checked again");
        h->form.cmdStart_Click();
        QVERIFY(!host->timer().isActive());
    }

    void buttonFacesKeepTheirColourAndADisabledBoxIsGreyed()
    {
        QVERIFY(QTest::qWaitForWindowActive(host->window()));
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

        h->form.txtNetSend.setEnabled(false);
        QCOMPARE(control("txtNetSend")->palette().color(QPalette::Disabled, QPalette::Text),
            QApplication::palette().color(QPalette::Disabled, QPalette::Text));
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
        QCOMPARE(AboutWindow::open(h->desktop), about);
        QVERIFY(!about->findChild<QLabel*>("Image1")->pixmap().isNull());
        for (const char* name : { "lblDorren", "lblDorrenEmail", "lblSCE" })
            QTest::mouseClick(about->findChild<QLabel*>(name), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(h->desktop.requests.join(' '),
            "open " + texts::webSite + " open mailto:gridvane@example.org?Subject=Gridvane open "
                + texts::defaultUrl);
        QTest::mouseClick(about->findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
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
