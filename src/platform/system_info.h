#pragma once

#include <QString>

namespace gridvane {

// What the program asks of the system it runs on.
class SystemInfo
{
public:
    virtual ~SystemInfo() = default;
    // The folder for the user's settings files; it may not exist yet.
    virtual QString configDirectory() const = 0;
    // Whether a message can be broadcast to every logged-in user.
    virtual bool canBroadcast() const = 0;
};

} // namespace gridvane
