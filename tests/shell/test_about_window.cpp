#include "fakes/fakes.h"
#include "monitor/texts.h"
#include "screenshots.h"
#include "shell/ui/about_window.h"
#include "shell/ui/main_window.h"

#include <QAction>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace gridvane;
using namespace gridvane::testing;

class AboutWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Harness> h;
    std::unique_ptr<MainWindow> window;

    AboutWindow* openFromMenu()
    {
        window->findChild<QAction*>("mnuAbout")->trigger();
        return AboutWindow::instance();
    }
    void click(AboutWindow* about, const char* name)
    {
        auto* label = about->findChild<QLabel*>(name);
        QVERIFY(label);
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    }
    // The targets handed to the desktop, each without parameters.
    QStringList targets() const
    {
        QStringList opened;
        for (const auto& call : h->shell.calls)
            opened << (call.parameters.isEmpty() ? call.file : QStringLiteral("with parameters"));
        return opened;
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Harness>();
        window = std::make_unique<MainWindow>(h->form, h->shell);
    }
    void cleanup()
    {
        delete AboutWindow::instance();
        window.reset();
        h.reset();
    }

    void opensCentredAtItsFixedSizeWithoutOwner()
    {
        AboutWindow* about = openFromMenu();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QCOMPARE(about->parentWidget(), nullptr);
        QCOMPARE(about->size(), QSize(6615 / 15, 3555 / 15));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        QVERIFY(!(about->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(about->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(about->windowTitle(), QStringLiteral("About Gridvane"));
        const QPoint centre = about->screen()->availableGeometry().center();
        QVERIFY((about->geometry().center() - centre).manhattanLength() <= 2);
        QCOMPARE(about->findChild<QWidget*>("lblSCE")->geometry(),
            QRect(1200 / 15, 1965 / 15, 5280 / 15, 225 / 15));
        QCOMPARE(about->findChild<QWidget*>("Image1")->geometry(),
            QRect(90 / 15, 60 / 15, 1290 / 15, 1575 / 15));
        auto* ok = about->findChild<QPushButton*>("cmdOkay");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(!ok->isDefault());
        QVERIFY(!ok->autoDefault());
    }

    void showsTheLinksInTheLinkStyle()
    {
        AboutWindow* about = openFromMenu();
        for (const char* name : { "lblSCE", "lblDorren", "lblDorrenEmail" }) {
            auto* link = about->findChild<QLabel*>(name);
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(!link->font().underline());
            QVERIFY(!link->font().bold());
            QCOMPARE(link->font().pointSizeF(), 8.25);
        }
        QCOMPARE(about->findChild<QLabel*>("lblSCE")->text(), texts::defaultUrl);
        QCOMPARE(about->findChild<QLabel*>("Label1")->palette().color(QPalette::Window),
            QColor(255, 255, 192));
        QCOMPARE(about->findChild<QLabel*>("Label2")->palette().color(QPalette::Window),
            QColor(0, 255, 255));
        QCOMPARE(about->findChild<QLabel*>("Label11")->text(), QStringLiteral("Bugs/Comments:"));
        QCOMPARE(about->findChild<QLabel*>("Label4")->text(), QStringLiteral("SCE's Outages:"));
    }

    void linksOpenTheirTargetsThroughTheDesktop()
    {
        // The SCE link keeps to the default page whatever the user typed.
        h->form.Form_Load();
        h->form.txtURL.setText(QStringLiteral("http://127.0.0.1/other.html"));
        AboutWindow* about = openFromMenu();
        click(about, "lblDorren");
        click(about, "lblDorrenEmail");
        click(about, "lblSCE");
        QCOMPARE(targets(),
            QStringList(
                { texts::webSite, QStringLiteral("mailto:gridvane@example.org?Subject=Gridvane"),
                    texts::defaultUrl }));
    }

    void aboutTwiceGivesOneWindow()
    {
        AboutWindow* first = openFromMenu();
        AboutWindow* second = openFromMenu();
        QCOMPARE(first, second);
        int abouts = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            abouts += qobject_cast<AboutWindow*>(top) && !top->isHidden();
        QCOMPARE(abouts, 1);
    }

    void okDiscardsTheWindowAndTheNextOneStartsAnew()
    {
        AboutWindow* first = openFromMenu();
        first->move(10, 10);
        QSignalSpy gone(first, &QObject::destroyed);
        QTest::mouseClick(first->findChild<QPushButton*>("cmdOkay"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(gone.count(), 1);
        QCOMPARE(AboutWindow::instance(), nullptr);

        AboutWindow* next = openFromMenu();
        QVERIFY(next);
        const QPoint centre = next->screen()->availableGeometry().center();
        QVERIFY((next->geometry().center() - centre).manhattanLength() <= 2);
    }

    void savesAScreenshot()
    {
        AboutWindow* about = openFromMenu();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QVERIFY(saveScreenshot(*about, QStringLiteral("about-window.png")));
    }
};

QTEST_MAIN(AboutWindowTest)
#include "test_about_window.moc"
