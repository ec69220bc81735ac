#pragma once

#include <QString>

namespace gridvane {

// What the program asks of the user's desktop beyond its own windows.
class Desktop
{
public:
    virtual ~Desktop() = default;
    // Opens a web page or a mailto: link with the user's default program; true when the
    // desktop took the request.
    virtual bool openUrl(const QString& url) = 0;
    // Sends the message, whose lines end in CR LF, to every user logged in to this machine.
    // Nothing is reported back.
    virtual void broadcast(const QString& message) = 0;
};

} // namespace gridvane
