#pragma once

#include <QLabel>
#include <QWidget>

namespace gridvane {

class Desktop;

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
};

} // namespace gridvane
