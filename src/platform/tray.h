#pragma once

#include <QString>
#include <functional>

namespace gridvane {

// The program's icon in the notification area. It exists, with the tip "Gridvane", for as
// long as the object does.
class Tray
{
public:
    virtual ~Tray() = default;

    virtual void setTip(const QString& tip) = 0;
    virtual QString tip() const = 0;
    // False on a desktop without a notification area: a window hidden there could not be
    // brought back.
    virtual bool isAvailable() const = 0;

    // One call per user action on the icon.
    void setMouseEventHandler(std::function<void()> handler) { m_mouseEvent = std::move(handler); }

protected:
    void raiseMouseEvent()
    {
        if (m_mouseEvent)
            m_mouseEvent();
    }

private:
    std::function<void()> m_mouseEvent;
};

} // namespace gridvane
