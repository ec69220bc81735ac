#include "about_window.h"

#include "layout.h"
#include "monitor/texts.h"
#include "platform/desktop.h"
#include "program_icon.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace gridvane {

namespace {

constexpr quint32 introColor = 0xC0FFFF;
constexpr quint32 noticeColor = 0xFFFF00;
constexpr quint32 linkColor = 0xFF0000;
constexpr quint32 shadowColor = 0x808080;
constexpr quint32 lightColor = 0xFFFFFF;

QPointer<AboutWindow> openWindow;

void setBackground(QWidget* widget, quint32 color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, bgrColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

AboutWindow* AboutWindow::open(Desktop& desktop)
{
    if (!openWindow) {
        openWindow = new AboutWindow(desktop);
        openWindow->show();
    } else {
        if (openWindow->isMinimized())
            openWindow->showNormal();
        openWindow->raise();
        openWindow->activateWindow();
    }
    return openWindow;
}

AboutWindow* AboutWindow::instance()
{
    return openWindow;
}

AboutWindow::AboutWindow(Desktop& desktop)
    : QWidget(nullptr,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(texts::aboutTitle);
    setWindowIcon(programIcon());
    setFont(controlFont());
    const qreal dpi = logicalDpiX();
    setFixedSize(twipsToPixels(6615, dpi), twipsToPixels(3555, dpi));

    auto place = [dpi](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(twipsRect(left, top, width, height, dpi));
    };
    auto label = [&](const char* name, const QString& text, int l, int t, int w, int h) {
        auto* lbl = new QLabel(text, this);
        lbl->setObjectName(QLatin1String(name));
        lbl->setTextFormat(Qt::PlainText);
        lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        place(lbl, l, t, w, h);
        return lbl;
    };
    // A link's caption is its target, in the link colour and not underlined.
    auto link = [&](const char* name, const QString& target, int l, int t, int w, int h,
                    void (AboutWindow::*handler)()) {
        auto* lbl = label(name,
            QStringLiteral("<a href=\"%1\" style=\"color: %2; text-decoration: none\">%1</a>")
                .arg(target.toHtmlEscaped(), bgrColor(linkColor).name()),
            l, t, w, h);
        lbl->setTextFormat(Qt::RichText);
        lbl->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lbl->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        lbl->setFont(namedFont(QStringLiteral("Times New Roman"), 8.25, QFont::Serif));
        lbl->setCursor(Qt::PointingHandCursor);
        connect(lbl, &QLabel::linkActivated, this, handler);
    };

    QLabel* intro = label("Label1", texts::aboutIntro, 1425, 45, 5145, 1575);
    intro->setWordWrap(true);
    intro->setMargin(2);
    setBackground(intro, introColor);

    auto* ok = new QPushButton(texts::aboutOk, this);
    ok->setObjectName(QStringLiteral("cmdOkay"));
    place(ok, 4605, 2400, 1965, 555);
    ok->setAutoDefault(false);
    ok->setDefault(false);
    connect(ok, &QPushButton::clicked, this, &AboutWindow::cmdOkay_Click);

    QLabel* notice = label("Label2", texts::aboutNotice, 60, 3060, 6495, 450);
    notice->setWordWrap(true);
    notice->setMargin(2);
    setBackground(notice, noticeColor);

    label("Label3", texts::aboutDate, 60, 2490, 1740, 225);
    link("lblDorren", texts::webSite, 1860, 1725, 2955, 225, &AboutWindow::lblDorren_Click);
    label("Label5", texts::aboutSiteCaption, 60, 1725, 1770, 225);
    label("Label6", texts::aboutProgramming, 60, 2715, 4500, 225);
    label("Label7", texts::aboutConcept, 1785, 2490, 2775, 225);
    link("lblDorrenEmail", texts::emailLink, 1320, 2190, 2760, 225,
        &AboutWindow::lblDorrenEmail_Click);
    label("Label11", texts::aboutBugs, 60, 2190, 1215, 225);
    label("Label4", texts::aboutOutages, 60, 1965, 1155, 225);
    link("lblSCE", texts::defaultUrl, 1200, 1965, 5280, 225, &AboutWindow::lblSCE_Click);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    place(image, 90, 60, 1290, 1575);
    image->setPixmap(programIcon().pixmap(32, 32));
    image->setScaledContents(true);

    centreOnScreen(this);
}

bool AboutWindow::HyperJump(const QString& target)
{
    return m_desktop.openUrl(target);
}

void AboutWindow::cmdOkay_Click()
{
    close();
}

void AboutWindow::lblSCE_Click()
{
    // The default page, not the URL the user may have set in the main window.
    HyperJump(texts::defaultUrl);
}

void AboutWindow::lblDorren_Click()
{
    HyperJump(texts::webSite);
}

void AboutWindow::lblDorrenEmail_Click()
{
    HyperJump(texts::emailLink + texts::emailSubject);
}

void AboutWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // Two etched separators: a grey line with a white one a twip-pixel above it.
    const qreal dpi = logicalDpiX();
    auto line = [&](QPainter& painter, quint32 color, int x1, int y1, int x2, int y2) {
        painter.setPen(QPen(bgrColor(color), 1));
        painter.drawLine(twipsToPixels(x1, dpi), twipsToPixels(y1, dpi), twipsToPixels(x2, dpi),
            twipsToPixels(y2, dpi));
    };
    QPainter painter(this);
    line(painter, shadowColor, 90, 1680, 6555, 1680);
    line(painter, lightColor, 75, 1665, 6555, 1665);
    line(painter, shadowColor, 90, 3000, 6540, 3000);
    line(painter, lightColor, 90, 2985, 6585, 2985);
}

} // namespace gridvane
