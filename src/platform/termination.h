#pragma once

#include <QObject>

namespace gridvane {

// Requests from outside the desktop to end the program (on Linux, SIGTERM and SIGINT),
// delivered from the event loop.
class Termination : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    void requested();
};

} // namespace gridvane
