#include "main_window.h"

#include "about_window.h"
#include "help_texts.h"
#include "layout.h"
#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"
#include "platform/line_ends.h"
#include "program_icon.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QWhatsThis>

namespace gridvane {

namespace {

// Colours of the layout, 0x00BBGGRR.
constexpr quint32 urlColor = 0x008000;
constexpr quint32 statusColor = 0xFF0000;
constexpr quint32 groupColor = 0xC000C0;
constexpr quint32 netSendColor = 0x0000FF;
constexpr quint32 hideColor = 0x00FFFF;
constexpr quint32 exitColor = 0x0000FF;

QString modelText(const QString& shown)
{
    QString text = shown;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// A caret position in the model's text as a position in the shown text.
int shownPosition(const QString& text, int position)
{
    position = std::clamp(position, 0, int(text.size()));
    int shown = position;
    for (int i = 0; i + 1 < position; ++i) {
        if (text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n'))
            --shown;
    }
    return shown;
}

// A style sheet, because only a styled push button shows its background colour. The focus
// shows as the black frame alone: the style's own focus rectangle, which tints the face with
// the highlight colour, is switched off with the outline.
QString buttonStyle(quint32 color)
{
    return QStringLiteral("QPushButton { background-color: %1; color: black;"
                          " border: 1px solid #404040; border-radius: 2px; outline: none; }"
                          "QPushButton:focus { border: 2px solid black; }"
                          "QPushButton:pressed { border: 2px inset #404040; padding-top: 2px; }"
                          "QPushButton:disabled { color: #808080; }")
        .arg(bgrColor(color).name());
}

// A frame whose caption sits in its top edge, as the layout was drawn.
const QString frameStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
    " left: 5px; padding: 0px 2px; }");

// A control's place in twips: left, top, width and height.
struct Twips
{
    int left, top, width, height;
};

void place(QWidget* widget, Twips at)
{
    widget->setGeometry(twipsRect(at.left, at.top, at.width, at.height, widget->logicalDpiX()));
}

QGroupBox* newFrame(QWidget* client, const char* name, const QString& title, Twips at)
{
    auto* frame = new QGroupBox(title, client);
    frame->setObjectName(QLatin1String(name));
    place(frame, at);
    return frame;
}

} // namespace

MainWindow::MainWindow(frmGridvane& form, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_form(form)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmGridvane"));
    setWindowTitle(texts::windowTitle);
    setWindowIcon(programIcon());
    buildControls();
    buildMenus();
    buildTabOrder();
    attachMirrors();
    mirrorAll();

    // The client area has a fixed size; the window is as large as it and the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    centreOnScreen(this);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &MainWindow::showHelp);
    addAction(QWhatsThis::createAction(this));
}

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(controlFont());
    const qreal dpi = logicalDpiX();
    client->setFixedSize(twipsToPixels(8280, dpi), twipsToPixels(3180, dpi));
    setCentralWidget(client);

    QGroupBox* const frames[] = { buildUrlFrame(client), buildStatusFrame(client),
        buildGroupsFrame(client), buildNetSendFrame(client) };
    buildButtons(client);
    // Styled last: a control created inside a frame that has a style sheet already would not
    // take the window's font.
    for (QGroupBox* frame : frames)
        frame->setStyleSheet(frameStyle);
}

QGroupBox* MainWindow::buildUrlFrame(QWidget* client)
{
    QGroupBox* frame = newFrame(client, "Frame1", texts::frameUrl, { 45, 45, 4965, 600 });
    m_txtURL = new QLineEdit(frame);
    m_txtURL->setObjectName(QStringLiteral("txtURL"));
    place(m_txtURL, { 75, 210, 4800, 285 });
    setTextColor(m_txtURL, urlColor);
    m_txtURL->setWhatsThis(help::url);
    connect(m_txtURL, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle("txtURL_Change", [&] { m_form.txtURL.setText(text); });
    });
    return frame;
}

QGroupBox* MainWindow::buildStatusFrame(QWidget* client)
{
    QGroupBox* frame = newFrame(client, "Frame2", texts::frameStatus, { 5070, 45, 3165, 2685 });
    m_txtStatus = new QPlainTextEdit(frame);
    m_txtStatus->setObjectName(QStringLiteral("txtStatus"));
    place(m_txtStatus, { 90, 225, 3000, 2385 });
    m_txtStatus->setReadOnly(true);
    // Read-only for the user, but with a caret that the program moves to the newest line.
    m_txtStatus->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_txtStatus->setFocusPolicy(Qt::StrongFocus);
    m_txtStatus->setTabChangesFocus(true);
    m_txtStatus->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtStatus->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtStatus->setUndoRedoEnabled(false);
    setTextColor(m_txtStatus, statusColor);
    m_txtStatus->setWhatsThis(help::status);
    return frame;
}

QGroupBox* MainWindow::buildGroupsFrame(QWidget* client)
{
    QGroupBox* frame = newFrame(client, "Frame3", texts::frameGroups, { 45, 660, 4965, 975 });
    for (int i = 0; i < frmGridvane::groupCount; ++i) {
        auto* box = new QLineEdit(frame);
        box->setObjectName(QStringLiteral("txtGroup%1").arg(i));
        // Two rows of seven, box 7 under box 0.
        place(box, { 90 + 690 * (i % 7), i < 7 ? 255 : 585, 645, 285 });
        box->setAlignment(Qt::AlignHCenter);
        setTextColor(box, groupColor);
        box->setWhatsThis(help::groups);
        connect(box, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            handle("txtGroup_Change", [&] { m_form.txtGroup[i].setText(text); });
        });
        m_txtGroup[i] = box;
    }
    return frame;
}

QGroupBox* MainWindow::buildNetSendFrame(QWidget* client)
{
    QGroupBox* frame = newFrame(client, "Frame4", texts::frameNetSend, { 45, 1665, 4965, 1050 });
    m_txtNetSend = new QPlainTextEdit(frame);
    m_txtNetSend->setObjectName(QStringLiteral("txtNetSend"));
    place(m_txtNetSend, { 75, 225, 4800, 465 });
    m_txtNetSend->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtNetSend->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtNetSend->setTabChangesFocus(true);
    // The box is small; keep the text close to its border.
    m_txtNetSend->document()->setDocumentMargin(1);
    setTextColor(m_txtNetSend, netSendColor);
    m_txtNetSend->setWhatsThis(help::netSendMessage);
    connect(m_txtNetSend, &QPlainTextEdit::textChanged, this, [this] {
        handle("txtNetSend_Change",
            [this] { m_form.txtNetSend.setText(modelText(m_txtNetSend->toPlainText())); });
    });

    m_chkNetSend = new QCheckBox(texts::captionNetSend, frame);
    m_chkNetSend->setObjectName(QStringLiteral("chkNetSend"));
    place(m_chkNetSend, { 210, 720, 4635, 300 });
    m_chkNetSend->setWhatsThis(help::netSendOption);
    connect(m_chkNetSend, &QCheckBox::clicked, this, [this](bool checked) {
        handle("chkNetSend_Click", [&] { m_form.chkNetSend.setValue(checked ? 1 : 0); });
        mirrorCheckBox();
    });
    return frame;
}

void MainWindow::buildButtons(QWidget* client)
{
    auto button = [client](const char* name, const QString& caption, int left, quint32 color,
                      const QString& helpText) {
        auto* b = new QPushButton(caption, client);
        b->setObjectName(QLatin1String(name));
        place(b, { left, 2775, 2670, 375 });
        b->setFont(namedFont(QStringLiteral("MS Sans Serif"), 9.75, QFont::SansSerif, true));
        b->setStyleSheet(buttonStyle(color));
        b->setAutoDefault(false);
        b->setWhatsThis(helpText);
        return b;
    };
    m_cmdStart = button("cmdStart", texts::captionStart, 60, texts::colorGreen, help::start);
    m_cmdHide = button("cmdHide", texts::captionHide, 2805, hideColor, help::hide);
    m_cmdExit = button("cmdExit", texts::captionExit, 5550, exitColor, help::exit);
    connect(m_cmdStart, &QPushButton::clicked, this, [this] {
        m_form.fromEventLoop(texts::labelStartClick, [this] { m_form.cmdStart_Click(); });
    });
    connect(m_cmdHide, &QPushButton::clicked, this,
        [this] { handle("cmdHide_Click", [this] { m_form.cmdHide_Click(); }); });
    connect(m_cmdExit, &QPushButton::clicked, this,
        [this] { handle("cmdExit_Click", [this] { m_form.cmdExit_Click(); }); });
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(texts::captionFile);
    file->setObjectName(QStringLiteral("mnuFile"));
    m_mnuShow = file->addAction(m_form.mnuShow.Caption());
    m_mnuShow->setObjectName(QStringLiteral("mnuShow"));
    connect(m_mnuShow, &QAction::triggered, this,
        [this] { handle("mnuShow_Click", [this] { m_form.mnuShow_Click(); }); });
    file->addSeparator()->setObjectName(QStringLiteral("mnubrk1"));
    QAction* exit = file->addAction(texts::captionExit);
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this,
        [this] { handle("mnuExit_Click", [this] { m_form.mnuExit_Click(); }); });

    QMenu* interval = menuBar()->addMenu(texts::captionInterval);
    interval->setObjectName(QStringLiteral("mnuInterval"));
    for (int i = 0; i < frmGridvane::intervalCount; ++i) {
        QAction* entry = interval->addAction(m_form.mnuInt[i].Caption());
        entry->setObjectName(QStringLiteral("mnuInt%1").arg(i));
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, i] {
            handle("mnuInt_Click", [&] { m_form.mnuInt_Click(qint16(i)); });
            // A click on the checked entry unchecked it; show the model's marks again.
            mirrorMenus();
        });
        m_mnuInt[i] = entry;
    }

    QMenu* help = menuBar()->addMenu(texts::captionHelp);
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* about = help->addAction(texts::captionAbout);
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, [this] { AboutWindow::open(m_desktop); });
}

void MainWindow::buildTabOrder()
{
    QList<QWidget*> order { m_txtURL, m_txtStatus };
    for (int i = 0; i < 10; ++i)
        order << m_txtGroup[i];
    order << m_cmdStart << m_cmdHide << m_cmdExit << m_txtNetSend;
    for (int i = 10; i < frmGridvane::groupCount; ++i)
        order << m_txtGroup[i];
    order << m_chkNetSend;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::attachMirrors()
{
    // The connections end with the window, so the model never reaches a window that is gone.
    connect(&m_form.events, &ModelEvents::controlChanged, this, &MainWindow::mirrorControl);
    connect(&m_form.events, &ModelEvents::windowStateChanged, this, &MainWindow::mirrorWindowState);
    connect(&m_form.events, &ModelEvents::frontRequested, this, &MainWindow::bringToFront);
}

void MainWindow::mirrorControl(const Control* control)
{
    if (control == &m_form.txtURL)
        mirrorLineEdit(m_form.txtURL, m_txtURL);
    else if (control == &m_form.txtStatus)
        mirrorStatus();
    else if (control == &m_form.txtNetSend)
        mirrorNetSend();
    else if (control == &m_form.chkNetSend)
        mirrorCheckBox();
    else if (control == &m_form.cmdStart)
        mirrorStartButton();
    for (int i = 0; i < frmGridvane::groupCount; ++i) {
        if (control == &m_form.txtGroup[i])
            mirrorLineEdit(m_form.txtGroup[i], m_txtGroup[i]);
    }
    if (control == &m_form.mnuShow
        || std::any_of(m_form.mnuInt.begin(), m_form.mnuInt.end(),
            [control](const MenuItem& entry) { return control == &entry; }))
        mirrorMenus();
}

void MainWindow::mirrorAll()
{
    mirrorLineEdit(m_form.txtURL, m_txtURL);
    for (int i = 0; i < frmGridvane::groupCount; ++i)
        mirrorLineEdit(m_form.txtGroup[i], m_txtGroup[i]);
    mirrorStatus();
    mirrorNetSend();
    mirrorCheckBox();
    mirrorStartButton();
    mirrorMenus();
}

void MainWindow::mirrorLineEdit(const TextBox& box, QLineEdit* edit)
{
    // setText() does not raise textEdited, so the model's handler does not run again.
    if (edit->text() != box.Text()) {
        const int cursor = edit->cursorPosition();
        edit->setText(box.Text());
        edit->setCursorPosition(std::min(cursor, int(box.Text().size())));
    }
    edit->setEnabled(box.Enabled());
}

void MainWindow::mirrorStatus()
{
    const QString& text = m_form.txtStatus.Text();
    if (text != m_statusShown) {
        // Lines are only ever appended; redraw the whole log only when it was emptied.
        if (!m_statusShown.isEmpty() && text.startsWith(m_statusShown)
            && !m_statusShown.endsWith(QLatin1Char('\r'))) {
            QTextCursor end(m_txtStatus->document());
            end.movePosition(QTextCursor::End);
            end.insertText(withLineFeeds(text.mid(m_statusShown.size())));
        } else {
            m_txtStatus->setPlainText(withLineFeeds(text));
        }
        m_statusShown = text;
    }
    QTextCursor caret = m_txtStatus->textCursor();
    caret.setPosition(std::min(shownPosition(text, m_form.txtStatus.SelStart()),
        m_txtStatus->document()->characterCount() - 1));
    m_txtStatus->setTextCursor(caret);
    m_txtStatus->ensureCursorVisible();
    // Behind the last line ends the log: show it to its end, the empty line included.
    if (caret.atEnd())
        m_txtStatus->verticalScrollBar()->setValue(m_txtStatus->verticalScrollBar()->maximum());
    m_txtStatus->setEnabled(m_form.txtStatus.Enabled());
}

void MainWindow::mirrorNetSend()
{
    const QString shown = withLineFeeds(m_form.txtNetSend.Text());
    if (m_txtNetSend->toPlainText() != shown) {
        const QSignalBlocker blocker(m_txtNetSend);
        const int cursor = m_txtNetSend->textCursor().position();
        m_txtNetSend->setPlainText(shown);
        QTextCursor caret = m_txtNetSend->textCursor();
        caret.setPosition(std::min(cursor, int(shown.size())));
        m_txtNetSend->setTextCursor(caret);
    }
    m_txtNetSend->setEnabled(m_form.txtNetSend.Enabled());
}

void MainWindow::mirrorCheckBox()
{
    const QSignalBlocker blocker(m_chkNetSend);
    m_chkNetSend->setChecked(m_form.chkNetSend.Value() == 1);
    m_chkNetSend->setEnabled(m_form.chkNetSend.Enabled());
}

void MainWindow::mirrorStartButton()
{
    const CommandButton& button = m_form.cmdStart;
    m_cmdStart->setText(button.Caption());
    m_cmdStart->setEnabled(button.Enabled());
    const QString style = buttonStyle(button.BackColor());
    if (m_cmdStart->styleSheet() != style)
        m_cmdStart->setStyleSheet(style);
}

void MainWindow::mirrorMenus()
{
    m_mnuShow->setText(m_form.mnuShow.Caption());
    for (int i = 0; i < frmGridvane::intervalCount; ++i) {
        m_mnuInt[i]->setText(m_form.mnuInt[i].Caption());
        m_mnuInt[i]->setChecked(m_form.mnuInt[i].Checked());
    }
}

void MainWindow::mirrorWindowState()
{
    if (!m_form.visible())
        hide();
    else if (m_form.minimized())
        showMinimized();
    else if (isMinimized())
        showNormal();
    else
        show();
}

void MainWindow::bringToFront()
{
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The model refuses every close but Exit's; it has then saved and hidden the window.
    bool closes = false;
    handle("Form_Unload", [&] { closes = m_form.requestClose(); });
    event->setAccepted(closes);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isVisible() || !m_form.loaded())
        return;
    // The desktop minimised or restored the window; the model's own changes are known to it.
    handle("windowStateChange", [this] {
        if (isMinimized() && !m_form.minimized())
            m_form.windowMinimized();
        else if (!isMinimized() && m_form.minimized())
            m_form.windowRestored();
    });
}

void MainWindow::showHelp()
{
    for (QWidget* widget = focusWidget(); widget; widget = widget->parentWidget()) {
        if (!widget->whatsThis().isEmpty()) {
            QWhatsThis::showText(
                widget->mapToGlobal(widget->rect().center()), widget->whatsThis(), widget);
            return;
        }
    }
}

} // namespace gridvane
