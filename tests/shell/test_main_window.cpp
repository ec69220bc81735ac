#include "fakes/fakes.h"
#include "monitor/texts.h"
#include "screenshots.h"
#include "shell/ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWhatsThis>
#include <QtTest>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
// Pixels at 96 dots per inch.
int px(int twips)
{
    return twips / 15;
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Harness> h;
    std::unique_ptr<MainWindow> window;

    template <typename T> T* control(const QString& name)
    {
        auto* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    // A control's place in the client area below the menu bar.
    QRect placeOf(const QString& name)
    {
        auto* widget = control<QWidget>(name);
        const QPoint origin = widget->mapTo(window->centralWidget(), QPoint(0, 0));
        return QRect(origin, widget->size());
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Harness>();
        window = std::make_unique<MainWindow>(h->form, h->shell);
    }
    void cleanup()
    {
        window.reset();
        h.reset();
    }

    void laysOutTheControlsAsDrawnInTwips()
    {
        QCOMPARE(window->logicalDpiX(), 96);
        QCOMPARE(window->centralWidget()->size(), QSize(px(8280), px(3180)));
        QVERIFY(window->centralWidget()->y() >= window->menuBar()->height());

        // Frame3 at (45, 660); its boxes sit frame-relative.
        const QPoint frame3(px(45), px(660));
        QCOMPARE(placeOf("txtGroup0"), QRect(frame3 + QPoint(px(90), px(255)), QSize(43, 19)));
        QCOMPARE(placeOf("txtGroup7"), QRect(frame3 + QPoint(px(90), px(585)), QSize(43, 19)));
        QCOMPARE(
            placeOf("txtGroup6"), QRect(frame3 + QPoint(px(90 + 690 * 6), px(255)), QSize(43, 19)));
        QCOMPARE(placeOf("txtGroup13").x(), placeOf("txtGroup6").x());
        QVERIFY(placeOf("txtGroup13").top() > placeOf("txtGroup6").bottom());

        QCOMPARE(placeOf("cmdStart"), QRect(px(60), px(2775), px(2670), px(375)));
        QCOMPARE(placeOf("cmdHide"), QRect(px(2805), px(2775), px(2670), px(375)));
        QCOMPARE(placeOf("cmdExit"), QRect(px(5550), px(2775), px(2670), px(375)));
        QCOMPARE(placeOf("txtStatus"), QRect(px(5070 + 90), px(45 + 225), px(3000), px(2385)));
        QCOMPARE(placeOf("txtURL"), QRect(px(45 + 75), px(45 + 210), px(4800), px(285)));
    }

    void cannotBeResizedMinimisedOrMaximisedAndStartsCentred()
    {
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const auto flags = window->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        const QPoint centre = window->screen()->availableGeometry().center();
        QVERIFY((window->geometry().center() - centre).manhattanLength() <= 2);
        QCOMPARE(window->windowTitle(), texts::windowTitle);
        QVERIFY(!window->windowIcon().isNull());
    }

    void tabsThroughTheControlsInTheirOrder()
    {
        QStringList expected { "txtURL", "txtStatus" };
        for (int i = 0; i < 10; ++i)
            expected << QStringLiteral("txtGroup%1").arg(i);
        expected << "cmdStart"
                 << "cmdHide"
                 << "cmdExit"
                 << "txtNetSend";
        for (int i = 10; i < 14; ++i)
            expected << QStringLiteral("txtGroup%1").arg(i);
        expected << "chkNetSend";

        QStringList order;
        QWidget* first = control<QWidget>("txtURL");
        QWidget* widget = first;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && expected.contains(widget->objectName()))
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != first);
        QCOMPARE(order, expected);
    }

    void showsTheDesignValuesAtCreation()
    {
        QCOMPARE(control<QPushButton>("cmdStart")->text(), QStringLiteral("&Start"));
        QVERIFY(control<QPushButton>("cmdStart")->styleSheet().contains("#00ff00"));
        QVERIFY(control<QPushButton>("cmdHide")->styleSheet().contains("#ffff00"));
        QVERIFY(control<QPushButton>("cmdExit")->styleSheet().contains("#ff0000"));
        QVERIFY(control<QPushButton>("cmdExit")->font().bold());
        QCOMPARE(control<QPushButton>("cmdExit")->font().pointSizeF(), 9.75);
        QCOMPARE(control<QPushButton>("cmdExit")->text(), QStringLiteral("E&xit"));

        QCOMPARE(control<QLineEdit>("txtURL")->text(), texts::defaultUrl);
        QCOMPARE(control<QLineEdit>("txtURL")->palette().color(QPalette::Text), QColor(0, 128, 0));
        QCOMPARE(
            control<QLineEdit>("txtGroup9")->palette().color(QPalette::Text), QColor(192, 0, 192));
        QCOMPARE(control<QLineEdit>("txtGroup9")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(control<QPlainTextEdit>("txtStatus")->palette().color(QPalette::Text),
            QColor(0, 0, 255));
        QVERIFY(control<QPlainTextEdit>("txtStatus")->isReadOnly());
        QCOMPARE(control<QPlainTextEdit>("txtNetSend")->toPlainText().size(), 132);
        QVERIFY(!control<QCheckBox>("chkNetSend")->isChecked());

        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Hide"));
        QCOMPARE(control<QAction>("mnuExit")->text(), QStringLiteral("E&xit"));
        for (int i = 0; i < 5; ++i) {
            auto* entry = control<QAction>(QStringLiteral("mnuInt%1").arg(i));
            QCOMPARE(entry->text(), texts::intervalCaptions[i]);
            QCOMPARE(entry->isChecked(), i == 0);
        }
        QStringList menus;
        for (const QAction* action : window->menuBar()->actions()) {
            menus << action->text();
            for (const QAction* entry : action->menu()->actions())
                QVERIFY2(entry->shortcut().isEmpty(), qPrintable(entry->text()));
        }
        QCOMPARE(menus, QStringList({ "&File", "&Interval", "&Help" }));
    }

    void carriesTheHelpTopicsAsWhatsThis()
    {
        QCOMPARE(control<QWidget>("txtURL")->property("helpTopic").toInt(), 1);
        QCOMPARE(control<QWidget>("txtGroup12")->property("helpTopic").toInt(), 3);
        QCOMPARE(control<QWidget>("chkNetSend")->property("helpTopic").toInt(), 8);
        QVERIFY(!control<QWidget>("cmdStart")->whatsThis().isEmpty());
    }

    void helpKeyShowsTheFocusedControlsHelp()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* box = control<QLineEdit>("txtGroup5");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F1);
        QWidget* shown = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->inherits("QWhatsThat") && top->isVisible())
                shown = top;
        }
        QVERIFY(shown);
        QWhatsThis::hideText();
    }

    void userEditRunsTheHandlerOnceAndProgramChangesDoNotRaiseItAgain()
    {
        h->form.Form_Load();
        int changes = 0;
        auto handler = h->form.txtGroup[3].Change;
        h->form.txtGroup[3].Change = [&] {
            ++changes;
            handler();
        };
        auto* box = control<QLineEdit>("txtGroup3");
        QTest::keyClick(box, Qt::Key_C);
        QCOMPARE(changes, 1);
        QCOMPARE(h->form.txtGroup[3].Text(), QStringLiteral("c"));
        QCOMPARE(h->form.txtGroup[3].Tag, QStringLiteral("1"));

        changes = 0;
        h->form.txtGroup[3].setText(QStringLiteral("B2"));
        QCOMPARE(box->text(), QStringLiteral("B2"));
        QCOMPARE(changes, 1);

        box->clear();
        h->form.txtGroup[3].setText(QString());
        QTest::keyClicks(box, QStringLiteral(" A1 "));
        QCOMPARE(box->text(), QStringLiteral("A1"));
        QCOMPARE(h->form.txtGroup[3].Text(), QStringLiteral("A1"));
        QVERIFY(control<QPushButton>("cmdStart")->isEnabled());
    }

    void editsOfUrlAndMessageAndOptionReachTheModel()
    {
        h->form.Form_Load();
        auto* url = control<QLineEdit>("txtURL");
        url->selectAll();
        QTest::keyClicks(url, QStringLiteral("http://x/"));
        QCOMPARE(h->form.txtURL.Text(), QStringLiteral("http://x/"));

        auto* message = control<QPlainTextEdit>("txtNetSend");
        message->clear();
        QTest::keyClicks(message, QStringLiteral("Go"));
        QTest::keyClick(message, Qt::Key_Return);
        QTest::keyClicks(message, QStringLiteral("home"));
        QCOMPARE(h->form.txtNetSend.Text(), QStringLiteral("Go\r\nhome"));

        QTest::mouseClick(control<QCheckBox>("chkNetSend"), Qt::LeftButton, {},
            control<QCheckBox>("chkNetSend")->rect().center());
        QCOMPARE(h->form.chkNetSend.Value(), 1);
        QCOMPARE(h->form.strNetSend, QStringLiteral("on"));

        h->form.chkNetSend.setValue(0);
        QVERIFY(!control<QCheckBox>("chkNetSend")->isChecked());
        h->form.txtNetSend.setEnabled(false);
        QVERIFY(!message->isEnabled());
    }

    void statusLogShowsEveryLineWithTheNewestInView()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (int i = 0; i < 60; ++i)
            h->form.AddStatus(QStringLiteral("line %1").arg(i), True);
        auto* log = control<QPlainTextEdit>("txtStatus");
        QCOMPARE(log->toPlainText(), QString(h->form.txtStatus.Text()).replace("\r\n", "\n"));
        QCOMPARE(log->textCursor().position(), log->document()->characterCount() - 1);
        QVERIFY(log->verticalScrollBar()->maximum() > 0);
        QCOMPARE(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());

        h->form.txtStatus.setText(QString());
        QCOMPARE(log->toPlainText(), QString());
        h->form.AddStatus(QStringLiteral("fresh"), True);
        QCOMPARE(log->toPlainText(), QStringLiteral("--fresh\n"));
    }

    void startStopShowsCaptionAndColour()
    {
        h->form.Form_Load();
        h->form.txtGroup[0].setText(QStringLiteral("A1"));
        QTest::mouseClick(control<QPushButton>("cmdStart"), Qt::LeftButton);
        QCOMPARE(control<QPushButton>("cmdStart")->text(), QStringLiteral("&Stop"));
        QVERIFY(control<QPushButton>("cmdStart")->styleSheet().contains("#ff0000"));
        QVERIFY(h->browser.calls.contains("Navigate " + texts::defaultUrl + " 2"));

        control<QAction>("mnuInt3")->trigger();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(control<QAction>(QStringLiteral("mnuInt%1").arg(i))->isChecked(), i == 3);
        control<QAction>("mnuInt3")->trigger();
        QVERIFY(control<QAction>("mnuInt3")->isChecked());
        QCOMPARE(h->form.strInterval, QStringLiteral("10 minutes"));
    }

    void hideAndShowFlipTheWindowAndTheMenuCaption()
    {
        window->mirrorWindowState();
        QVERIFY(window->isVisible());
        QTest::mouseClick(control<QPushButton>("cmdHide"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Show"));
        control<QAction>("mnuShow")->trigger();
        QVERIFY(window->isVisible());
        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Hide"));
        QCOMPARE(control<QPushButton>("cmdHide")->text(), QStringLiteral("&Hide"));
    }

    void closeRequestHidesTheWindowAndSavesTheSettings()
    {
        h->form.Form_Load();
        window->mirrorWindowState();
        QVERIFY(!QFile::exists(h->settingsPath()));
        QVERIFY(!window->close());
        QVERIFY(!window->isVisible());
        QVERIFY(h->form.Loaded());
        QVERIFY(QFile::exists(h->settingsPath()));
        QVERIFY(QFile::exists(h->netSendPath()));
        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Show"));

        // Refused again while hidden: the window comes back.
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
    }

    void restoringAMinimisedWindowTellsTheModel()
    {
        h->tray.available = false;
        window->mirrorWindowState();
        h->form.cmdHide_Click();
        QVERIFY(window->isMinimized());
        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Show"));
        window->showNormal();
        QVERIFY(!h->form.Minimized());
        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Hide"));
    }

    void savesAScreenshot()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(saveScreenshot(*window, QStringLiteral("main-window.png")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
