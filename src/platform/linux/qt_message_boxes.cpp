#include "qt_message_boxes.h"

#include "desktop_notification.h"
#include "platform/line_ends.h"
#include "window_activation.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <memory>

namespace gridvane {

QtMessageBoxes::QtMessageBoxes(QIcon windowIcon)
    : m_windowIcon(std::move(windowIcon))
{
}

qint16 QtMessageBoxes::show(const BoxRequest& request)
{
    QMessageBox box;
    box.setObjectName(QStringLiteral("gridvaneMessageBox"));
    box.setWindowTitle(request.title);
    if (!m_windowIcon.isNull())
        box.setWindowIcon(m_windowIcon);
    // The texts carry user input such as group codes; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(withLineFeeds(request.text));
    box.setIcon(request.icon == BoxIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon);

    if (request.buttons == BoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        // Escape and the close box answer No.
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }

    // An urgent box also goes to the desktop's notification list, which keeps it for a user
    // away from the desk or behind a locked screen; choosing it there brings the box forward.
    // Answering the box withdraws it.
    std::unique_ptr<DesktopNotification> notification;
    if (request.urgent) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        // Asking for attention needs a mapped window, so wait until exec() has shown it.
        QTimer::singleShot(0, &box, [&box] { QApplication::alert(&box); });
        notification = std::make_unique<DesktopNotification>(request.title, box.text());
        QObject::connect(notification.get(), &DesktopNotification::activated, &box,
            [&box](const QString& token) { activateWindow(&box, token); });
    }

    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? answerYes : answerNo;
}

} // namespace gridvane
