#pragma once

#include <QObject>
#include <QString>

namespace gridvane {

// The program's icon in the notification area. It is there, with its first tip, from the
// object's construction until removeIcon() or the object's end.
class Tray : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void setTip(const QString& tip) = 0;
    // False on a desktop without a notification area: a window hidden there could not be
    // brought back.
    virtual bool isAvailable() const = 0;
    // Takes the icon out of the notification area for good.
    virtual void removeIcon() = 0;

Q_SIGNALS:
    // Once per user action on the icon.
    void MouseEvent();
};

} // namespace gridvane
