#include "platform/linux/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace gridvane;

namespace {

using Act = std::function<void(QMessageBox*)>;

// Once the box is open, hands it to act, which looks at it and answers it.
void whenOpen(Act act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->objectName() == QLatin1String("gridvaneMessageBox") && box->isVisible())
                return act(box);
        }
        whenOpen(act);
    });
}

} // namespace

class TestQtMessageBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsAnUrgentYesNoBoxAsPlainText();
    void reportsTheAnswer_data();
    void reportsTheAnswer();
    void showsAnOkBoxWithoutIcon();
};

void TestQtMessageBoxes::showsAnUrgentYesNoBoxAsPlainText()
{
    QMessageBox seen; // a copy of what the open box showed
    whenOpen([&seen](QMessageBox* box) {
        seen.setWindowTitle(box->windowTitle());
        seen.setText(box->text());
        seen.setTextFormat(box->textFormat());
        seen.setIcon(box->icon());
        seen.setStandardButtons(box->standardButtons());
        seen.setWindowFlags(box->windowFlags());
        seen.setProperty("yesIsDefault", box->defaultButton() == box->button(QMessageBox::Yes));
        seen.setProperty("hasParent", box->parentWidget() != nullptr);
        box->button(QMessageBox::Yes)->click();
    });

    const qint16 answer = QtMessageBoxes().show({ QStringLiteral("Gridvane Alert!"),
        QStringLiteral("Attention!\r\nGroup <b>A1</b> is listed\r\nClick Yes."), BoxButtons::YesNo,
        BoxIcon::Critical, true });

    QCOMPARE(answer, answerYes);
    QCOMPARE(seen.windowTitle(), QStringLiteral("Gridvane Alert!"));
    QCOMPARE(seen.text(), QStringLiteral("Attention!\nGroup <b>A1</b> is listed\nClick Yes."));
    QCOMPARE(seen.textFormat(), Qt::PlainText);
    QCOMPARE(seen.icon(), QMessageBox::Critical);
    QCOMPARE(seen.standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QVERIFY(seen.property("yesIsDefault").toBool());
    QVERIFY(seen.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!seen.property("hasParent").toBool());
}

void TestQtMessageBoxes::reportsTheAnswer_data()
{
    QTest::addColumn<Act>("act");
    QTest::addColumn<qint16>("expected");
    QTest::newRow("yes") << Act([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); })
                         << answerYes;
    QTest::newRow("no") << Act([](QMessageBox* box) { box->button(QMessageBox::No)->click(); })
                        << answerNo;
    QTest::newRow("enter") << Act([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); })
                           << answerYes;
    QTest::newRow("escape") << Act([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); })
                            << answerNo;
    QTest::newRow("close box") << Act([](QMessageBox* box) { box->close(); }) << answerNo;
}

void TestQtMessageBoxes::reportsTheAnswer()
{
    QFETCH(Act, act);
    QFETCH(qint16, expected);
    whenOpen(act);

    QCOMPARE(QtMessageBoxes().show({ QStringLiteral("Gridvane Alert!"), QStringLiteral("Group A1"),
                 BoxButtons::YesNo, BoxIcon::Critical, true }),
        expected);
}

void TestQtMessageBoxes::showsAnOkBoxWithoutIcon()
{
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::Critical;
    bool staysOnTop = true;
    whenOpen([&](QMessageBox* box) {
        buttons = box->standardButtons();
        icon = box->icon();
        staysOnTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QTest::keyClick(box, Qt::Key_Escape);
    });

    QCOMPARE(
        QtMessageBoxes().show({ QStringLiteral("Gridvane"), QStringLiteral("--Timer Event--") }),
        answerOk);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QVERIFY(!staysOnTop);
}

QTEST_MAIN(TestQtMessageBoxes)
#include "test_qt_message_boxes.moc"
