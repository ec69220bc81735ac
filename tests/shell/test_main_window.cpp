#include "fakes/fakes.h"
#include "monitor/texts.h"
#include "shell/ui/about_window.h"
#include "shell/ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QWhatsThis>
#include <QtTest>
#include <algorithm>

using namespace gridvane;
using namespace gridvane::testing;

namespace {
// What a control shows as its text or caption.
QString shownText(QObject* object)
{
    const QVariant text = object->property("text");
    return text.isValid() ? text.toString() : object->property("plainText").toString();
}

// The colour the user sees: a button's face, else the text colour.
QColor shownColour(QWidget* widget)
{
    if (qobject_cast<QPushButton*>(widget))
        return widget->grab().toImage().pixelColor(4, widget->height() / 2);
    return widget->palette().color(
        widget->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Harness> h;
    std::unique_ptr<MainWindow> window;

    template <typename T = QWidget> T* control(const QString& name)
    {
        auto* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    AboutWindow* openAbout()
    {
        control<QAction>("mnuAbout")->trigger();
        return AboutWindow::instance();
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Harness>();
        window = std::make_unique<MainWindow>(h->form, h->desktop);
    }
    void cleanup()
    {
        delete AboutWindow::instance();
        window.reset();
        h.reset();
    }

    void tabsThroughTheControlsInTheirOrder()
    {
        const QStringList expected
            = QStringLiteral("txtURL txtStatus txtGroup0 txtGroup1 txtGroup2 txtGroup3 txtGroup4 "
                             "txtGroup5 txtGroup6 txtGroup7 txtGroup8 txtGroup9 cmdStart cmdHide "
                             "cmdExit txtNetSend txtGroup10 txtGroup11 txtGroup12 txtGroup13 "
                             "chkNetSend")
                  .split(' ');
        QStringList order;
        QWidget* widget = control("txtURL");
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && expected.contains(widget->objectName()))
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != control("txtURL"));
        QCOMPARE(order, expected);
    }

    void showsPlacesCaptionsColoursAndCheckMarksAtCreation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char* name, QRect place, const QString& caption = {},
                             QColor colour = {}, bool checked = false) {
            QTest::newRow(name) << QString(name) << place << caption << colour << checked;
        };
        // Places in pixels inside the client area: box 7 sits under box 0, box 13 under box 6.
        row("txtGroup0", QRect(9, 61, 43, 19), {}, QColor(192, 0, 192));
        row("txtGroup7", QRect(9, 83, 43, 19));
        row("txtGroup6", QRect(285, 61, 43, 19));
        row("txtGroup13", QRect(285, 83, 43, 19));
        row("cmdExit", QRect(370, 185, 178, 25), "E&xit", QColor(255, 0, 0));
        row("txtStatus", QRect(344, 18, 200, 159), {}, QColor(0, 0, 255));
        row("cmdStart", {}, "&Start", QColor(0, 255, 0));
        row("cmdHide", {}, "&Hide", QColor(255, 255, 0));
        row("txtURL", {}, texts::defaultUrl, QColor(0, 128, 0));
        row("txtNetSend", {}, {}, QColor(255, 0, 0));
        row("chkNetSend", {}, texts::captionNetSend);
        row("mnuShow", {}, "&Hide");
        row("mnuInt0", {}, "30 seconds", {}, true);
        row("mnuInt3", {}, "10 minutes");
    }
    void showsPlacesCaptionsColoursAndCheckMarksAtCreation()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        QFETCH(QColor, colour);
        QFETCH(bool, checked);
        QCOMPARE(window->centralWidget()->size(), QSize(552, 212));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QObject* object = control<QObject>(name);
        if (place.isValid()) {
            QWidget* widget = control(name);
            QCOMPARE(
                QRect(widget->mapTo(window->centralWidget(), QPoint()), widget->size()), place);
        }
        if (!caption.isNull())
            QCOMPARE(shownText(object), caption);
        if (colour.isValid())
            QCOMPARE(shownColour(control(name)), colour);
        QCOMPARE(object->property("checked").toBool(), checked);
    }

    void startButtonAndIntervalMenuShowTheModelsAnswer()
    {
        h->system.broadcast = false; // no wall: the net-send box is disabled, its text greyed
        h->form.Form_Load();
        QCOMPARE(shownColour(control("txtNetSend")),
            QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        h->form.txtGroup[0].setText(QStringLiteral("A1"));
        QTest::mouseClick(control("cmdStart"), Qt::LeftButton);
        QCOMPARE(shownText(control("cmdStart")), QStringLiteral("&Stop"));
        QCOMPARE(shownColour(control("cmdStart")), QColor(255, 0, 0));
        // Focus shows as a frame only: a face keeps its colour focused by Tab and pressed.
        QTest::keyClick(control("cmdStart"), Qt::Key_Tab);
        QVERIFY(control("cmdHide")->hasFocus());
        QCOMPARE(shownColour(control("cmdHide")), QColor(255, 255, 0));
        QTest::mousePress(control("cmdHide"), Qt::LeftButton);
        QCOMPARE(shownColour(control("cmdHide")), QColor(255, 255, 0));
        QTest::mouseRelease(control("cmdHide"), Qt::LeftButton, {}, QPoint(-9, -9));
        control<QAction>("mnuInt3")->trigger();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(control<QAction>(QStringLiteral("mnuInt%1").arg(i))->isChecked(), i == 3);

        // A failure that escapes a handler shows the error box, and the program goes on.
        h->form.intStatusCount = 32767;
        control<QAction>("mnuInt1")->trigger();
        QCOMPARE(h->boxes.shown.back().text, QStringLiteral("--mnuInt_Click--\r\n6 - Overflow"));
        QVERIFY(!h->form.Timer1.Enabled());
        h->form.intStatusCount = 0;
        control<QAction>("mnuInt4")->trigger();
        QCOMPARE(h->form.strInterval, QStringLiteral("30 minutes"));
    }

    void helpKeyShowsWhatsThisText()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        control("txtGroup5")->setFocus();
        QTest::keyClick(control("txtGroup5"), Qt::Key_F1);
        QVERIFY(std::ranges::any_of(QApplication::topLevelWidgets(),
            [](QWidget* top) { return top->inherits("QWhatsThat") && top->isVisible(); }));
        QWhatsThis::hideText();
    }

    void userEditsRunTheHandlerOnceAndProgramChangesAreNotRaisedAgain()
    {
        h->form.Form_Load();
        TextBox& code = h->form.txtGroup[3];
        int changes = 0;
        code.Change = [&, handler = code.Change] {
            ++changes;
            handler();
        };
        QTest::keyClick(control("txtGroup3"), Qt::Key_Z);
        QCOMPARE(changes, 1);
        QCOMPARE(code.Text(), QStringLiteral("z"));
        code.setText(QString());
        QTest::keyClicks(control("txtGroup3"), QStringLiteral(" A1 "));
        QCOMPARE(shownText(control("txtGroup3")), QStringLiteral("A1"));
        QCOMPARE(code.Text(), QStringLiteral("A1"));
        changes = 0;
        code.setText(QStringLiteral("B2"));
        QCOMPARE(changes, 1);
        QCOMPARE(shownText(control("txtGroup3")), QStringLiteral("B2"));

        // The message keeps CR LF; a program text with a bare LF must stay as it was set.
        auto* message = control<QPlainTextEdit>("txtNetSend");
        message->clear();
        QTest::keyClicks(message, QStringLiteral("Go\rhome"));
        QCOMPARE(h->form.txtNetSend.Text(), QStringLiteral("Go\r\nhome"));
        h->form.txtNetSend.setText(QStringLiteral("x\ny"));
        QCOMPARE(h->form.txtNetSend.Text(), QStringLiteral("x\ny"));
        QCOMPARE(message->toPlainText(), QStringLiteral("x\ny"));
    }

    void logShowsEveryLineWithTheNewestInView()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (int i = 0; i < 60; ++i)
            h->form.AddStatus(QStringLiteral("line %1").arg(i), True);
        auto* log = control<QPlainTextEdit>("txtStatus");
        QCOMPARE(shownText(log), QString(h->form.txtStatus.Text()).replace("\r\n", "\n"));
        const QScrollBar* bar = log->verticalScrollBar();
        QVERIFY(bar->value() > 0 && bar->value() == bar->maximum());
    }

    void hidesAndComesBackWithTheMenuEntryFollowing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Hide into the tray") << "Hide";
        QTest::newRow("Hide minimises without a tray") << "Hide, no tray";
        QTest::newRow("close request hides and saves") << "close";
        QTest::newRow("close request hides a minimised window") << "minimised, close";
        QTest::newRow("one tray click restores a minimised window") << "minimised, tray click";
    }
    void hidesAndComesBackWithTheMenuEntryFollowing()
    {
        QFETCH(QString, how);
        const bool minimises = how == "Hide, no tray";
        h->tray.available = !minimises;
        h->form.Form_Load();
        window->mirrorWindowState();
        if (how.startsWith("minimised"))
            window->showMinimized(); // as the desktop's window menu does
        if (how.endsWith("close"))
            QVERIFY(!window->close());
        else if (how.startsWith("Hide"))
            QTest::mouseClick(control("cmdHide"), Qt::LeftButton);
        if (!how.endsWith("click")) {
            QCOMPARE(window->isVisible(), minimises);
            QCOMPARE(window->isVisible() && window->isMinimized(), minimises);
            QCOMPARE(QFile::exists(h->settingsPath()), how.endsWith("close"));
            QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Show"));
        }

        // Without a tray the window manager restores the window; the model must hear of it.
        if (minimises)
            window->showNormal();
        else if (how.endsWith("click"))
            h->tray.click();
        else
            control<QAction>("mnuShow")->trigger();
        QVERIFY(window->isVisible() && !window->isMinimized() && !h->form.minimized());
        QCOMPARE(control<QAction>("mnuShow")->text(), QStringLiteral("&Hide"));
    }

    void aboutLinksOpenTheirTargetsThroughTheDesktop()
    {
        // The SCE link keeps to the default page whatever the user typed.
        h->form.Form_Load();
        h->form.txtURL.setText(QStringLiteral("http://127.0.0.1/other.html"));
        AboutWindow* about = openAbout();
        for (const char* name : { "lblDorren", "lblDorrenEmail", "lblSCE" }) {
            auto* label = about->findChild<QLabel*>(name);
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        }
        QCOMPARE(h->desktop.requests,
            QStringList({ "open " + texts::webSite,
                QStringLiteral("open mailto:gridvane@example.org?Subject=Gridvane"),
                "open " + texts::defaultUrl }));
    }

    void textsFitTheirBoxesAndEndBeforeTheNextText()
    {
        struct Text
        {
            QString name; // with the family of the font it is drawn in
            QRect box;
            int width;
        };
        auto text = [](QWidget* top, QWidget* widget, QRect box, const QString& caption) {
            return Text { widget->objectName() + " in " + QFontInfo(widget->font()).family(),
                box.translated(widget->mapTo(top, QPoint())),
                widget->fontMetrics().horizontalAdvance(caption) };
        };
        for (QWidget* top :
            { static_cast<QWidget*>(window.get()), static_cast<QWidget*>(openAbout()) }) {
            QList<Text> texts;
            for (auto* label : top->findChildren<QLabel*>()) {
                if (!label->wordWrap() && !label->text().isEmpty())
                    texts << text(top, label, label->contentsRect(), label->text());
            }
            for (auto* check : top->findChildren<QCheckBox*>()) {
                QStyleOptionButton option;
                option.initFrom(check);
                texts << text(top, check,
                    check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check),
                    check->text());
            }
            for (const Text& one : texts) {
                QVERIFY2(one.width <= one.box.width(), qPrintable(one.name + " overflows its box"));
                for (const Text& next : texts) {
                    if (next.box.left() > one.box.left() && next.box.top() <= one.box.bottom()
                        && one.box.top() <= next.box.bottom())
                        QVERIFY2(one.box.left() + one.width + 2 <= next.box.left(),
                            qPrintable(one.name + " runs into " + next.name));
                }
            }
        }
    }

    void aboutOpensOnceAndOkDiscardsIt()
    {
        AboutWindow* first = openAbout();
        QCOMPARE(openAbout(), first);
        QCOMPARE(
            std::ranges::count_if(QApplication::topLevelWidgets(),
                [](QWidget* top) { return qobject_cast<AboutWindow*>(top) && top->isVisible(); }),
            1);
        QTest::mouseClick(first->findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(AboutWindow::instance(), nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
