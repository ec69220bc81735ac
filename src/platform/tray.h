#pragma once

#include <QString>
#include <functional>

namespace gridvane {

// The program's icon in the notification area. It is there, with its first tip, from the
// object's construction until removeIcon() or the object's end.
class Tray
{
public:
    virtual ~Tray() = default;

    virtual void setTip(const QString& tip) = 0;
    virtual QString tip() const = 0;
    // False on a desktop without a notification area: a window hidden there could not be
    // brought back.
    virtual bool isAvailable() const = 0;
    // Takes the icon out of the notification area for good.
    virtual void removeIcon() = 0;

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
