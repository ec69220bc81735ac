#pragma once

#include <QLabel>
#include <QWidget>

namespace gridvane {

class Desktop;

// A label whose caption is a link target; a click with the primary button raises clicked().
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    LinkLabel(const QString& target, QWidget* parent);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// The About window: what the program is, who made it, and three links. The program keeps
// one at a time, modeless and without an owner; closing it discards it.
class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    // Opens the About window, or brings the open one to the front.
    static AboutWindow* open(Desktop& desktop);
    // The open About window, or null.
    static AboutWindow* instance();

    // Hands the target to the desktop's open action; true when the desktop took it.
    bool HyperJump(const QString& target);

    void cmdOkay_Click();
    void lblSCE_Click();
    void lblDorren_Click();
    void lblDorrenEmail_Click();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit AboutWindow(Desktop& desktop);

    Desktop& m_desktop;
    LinkLabel* m_lblSCE = nullptr;
    LinkLabel* m_lblDorren = nullptr;
    LinkLabel* m_lblDorrenEmail = nullptr;
};

} // namespace gridvane
