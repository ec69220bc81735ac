#pragma once

#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"

#include <QMainWindow>
#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace gridvane {

class CommandButton;
class Control;
class Desktop;
class TextBox;
class frmGridvane;

// The main window. It shows what the model holds and hands the user's actions to the model's
// handlers; it keeps no state of its own. Every widget is named after its control
// (txtURL, txtGroup0 .. txtGroup13, cmdStart, mnuInt0 .. mnuInt4, ...).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(frmGridvane& form, Desktop& desktop, QWidget* parent = nullptr);

    // Shows, hides or minimises the window as the model says.
    void mirrorWindowState();
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildUrlFrame(QWidget* client);
    QGroupBox* buildStatusFrame(QWidget* client);
    QGroupBox* buildGroupsFrame(QWidget* client);
    QGroupBox* buildNetSendFrame(QWidget* client);
    void buildButtons(QWidget* client);
    void buildMenus();
    void buildTabOrder();
    void attachMirrors();
    void mirrorAll();
    void mirrorControl(const Control* control);
    void mirrorLineEdit(const TextBox& box, QLineEdit* edit);
    void mirrorStatus();
    void mirrorNetSend();
    void mirrorCheckBox();
    void mirrorStartButton();
    void mirrorMenus();
    void showHelp();
    // Runs a model handler for a user action; a failure that escapes it is reported under the
    // handler's name.
    template <typename Handler> void handle(const char* name, Handler handler)
    {
        m_form.fromEventLoop(texts::escapedLabel(name), handler);
    }

    frmGridvane& m_form;
    Desktop& m_desktop;
    // The log as last shown, so new lines can be appended instead of redrawing it all.
    QString m_statusShown;

    QLineEdit* m_txtURL = nullptr;
    QPlainTextEdit* m_txtStatus = nullptr;
    std::array<QLineEdit*, 14> m_txtGroup {};
    QPlainTextEdit* m_txtNetSend = nullptr;
    QCheckBox* m_chkNetSend = nullptr;
    QPushButton* m_cmdStart = nullptr;
    QPushButton* m_cmdHide = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QAction* m_mnuShow = nullptr;
    std::array<QAction*, 5> m_mnuInt {};
};

} // namespace gridvane
