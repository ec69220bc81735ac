#include "platform/linux/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace gridvane;

namespace {

// Once the box is open, hands it to act, which looks at it and answers it.
void whenOpen(std::function<void(QMessageBox*)> act)
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
    void showsBoxAndReportsAnswer_data()
    {
        QTest::addColumn<bool>("urgentYesNo");
        QTest::addColumn<QMessageBox::StandardButton>("button"); // NoButton: press Escape
        QTest::addColumn<qint16>("expected");
        QTest::newRow("Yes") << true << QMessageBox::Yes << answerYes;
        QTest::newRow("No") << true << QMessageBox::No << answerNo;
        QTest::newRow("Escape") << true << QMessageBox::NoButton << answerNo;
        QTest::newRow("Ok box") << false << QMessageBox::NoButton << answerOk;
    }
    void showsBoxAndReportsAnswer()
    {
        QFETCH(bool, urgentYesNo);
        QFETCH(QMessageBox::StandardButton, button);
        QFETCH(qint16, expected);
        bool looked = false;
        whenOpen([&](QMessageBox* box) {
            button ? box->button(button)->click() : QTest::keyClick(box, Qt::Key_Escape);
            // Answered, but still there to look at.
            QCOMPARE(box->windowTitle(), QStringLiteral("Gridvane Alert!"));
            QCOMPARE(box->text(), QStringLiteral("Attention!\nGroup <b>A1</b> is listed"));
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->icon(), urgentYesNo ? QMessageBox::Critical : QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(),
                urgentYesNo ? QMessageBox::Yes | QMessageBox::No
                            : QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(box->defaultButton() == box->button(QMessageBox::Yes), urgentYesNo);
            QCOMPARE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), urgentYesNo);
            QVERIFY(!box->parentWidget());
            looked = true;
        });

        QCOMPARE(QtMessageBoxes().show({ QStringLiteral("Gridvane Alert!"),
                     QStringLiteral("Attention!\r\nGroup <b>A1</b> is listed"),
                     urgentYesNo ? BoxButtons::YesNo : BoxButtons::Ok,
                     urgentYesNo ? BoxIcon::Critical : BoxIcon::None, urgentYesNo }),
            expected);
        QVERIFY(looked);
    }
};

QTEST_MAIN(TestQtMessageBoxes)
#include "test_qt_message_boxes.moc"
