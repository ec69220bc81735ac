#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace gridvane {

// Flags hold -1 for true and 0 for false; any non-zero value tests true.
using Flag = qint16;
constexpr Flag True = -1;
constexpr Flag False = 0;

// Adds one to a 16-bit counter; past 32767 the increment fails with an overflow.
void increment(qint16& counter);

class Control;

// What the model tells the widgets that show it. A widget connects to these signals for as
// long as it lives; the connections end with it, so the model never calls a widget that has
// gone.
class ModelEvents : public QObject
{
    Q_OBJECT

Q_SIGNALS:
    // A control's value changed.
    void controlChanged(const gridvane::Control* control);
    // The window is to be shown, hidden or minimised as the model now says.
    void windowStateChanged();
    // The shown window is to come to the front and take the focus.
    void frontRequested();
    // The window has been unloaded: the widgets go, and the program ends once no window is
    // left.
    void unloaded();
};

// The values held by the window's controls. Each control tells the widgets after any change,
// and raises its own event the way the window toolkit does: a text box's change event only
// when its text really changes, a check box's click event only when its value changes.
class Control
{
public:
    // Set once by the model that owns the control.
    void setEvents(ModelEvents* events) { m_events = events; }

protected:
    void changed()
    {
        if (m_events)
            Q_EMIT m_events->controlChanged(this);
    }

private:
    ModelEvents* m_events = nullptr;
};

class TextBox : public Control
{
public:
    std::function<void()> Change;

    const QString& Text() const { return m_text; }
    void setText(const QString& text)
    {
        if (text == m_text)
            return;
        m_text = text;
        changed();
        if (Change)
            Change();
    }

    QString Tag;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled)
    {
        m_enabled = enabled;
        changed();
    }

    int SelStart() const { return m_selStart; }
    void setSelStart(int position)
    {
        m_selStart = position;
        changed();
    }

private:
    QString m_text;
    bool m_enabled = true;
    int m_selStart = 0;
};

class CheckBox : public Control
{
public:
    std::function<void()> Click;

    int Value() const { return m_value; }
    void setValue(int value)
    {
        if (value == m_value)
            return;
        m_value = value;
        changed();
        if (Click)
            Click();
    }

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled)
    {
        m_enabled = enabled;
        changed();
    }

private:
    int m_value = 0;
    bool m_enabled = true;
};

class CommandButton : public Control
{
public:
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption)
    {
        m_caption = caption;
        changed();
    }

    // 0x00BBGGRR
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 color)
    {
        m_backColor = color;
        changed();
    }

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled)
    {
        m_enabled = enabled;
        changed();
    }

private:
    QString m_caption;
    quint32 m_backColor = 0;
    bool m_enabled = true;
};

class MenuItem : public Control
{
public:
    const QString& Caption() const { return m_caption; }
    void setCaption(const QString& caption)
    {
        m_caption = caption;
        changed();
    }

    bool Checked() const { return m_checked; }
    void setChecked(bool checked)
    {
        m_checked = checked;
        changed();
    }

private:
    QString m_caption;
    bool m_checked = false;
};

// The schedule's clock. The window host runs a real timer while Enabled is set and
// calls the tick handler; tests call the handler themselves.
class Timer : public Control
{
public:
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled)
    {
        m_enabled = enabled;
        changed();
    }

    int Interval = 30000;

private:
    bool m_enabled = false;
};

} // namespace gridvane
