#include "frm_gridvane.h"
#include "platform/message_boxes.h"
#include "texts.h"

#include <QHash>

namespace gridvane {

void frmGridvane::AddStatus(const QString& message, Flag counted)
{
    txtStatus.setText(txtStatus.Text() + texts::linePrefix + message + texts::crlf);
    if (counted)
        increment(intStatusCount);
}

void frmGridvane::txtStatus_Change()
{
    txtStatus.setSelStart(int(txtStatus.Text().size()));
}

void frmGridvane::mnuInt_Click(qint16 index)
{
    for (auto& entry : mnuInt)
        entry.setChecked(false);
    strInterval = mnuInt.at(index).Caption();
    mnuInt.at(index).setChecked(true);
    intTicks = 0;
    AddStatus(texts::checkIntervalNow + strInterval, True);
}

namespace {
QString errorLine(const TrappedError& error)
{
    return QString::number(error.number) + QStringLiteral(" - ") + error.description;
}
} // namespace

void frmGridvane::ReportError(const QString& label, const TrappedError& error)
{
    blnChecking = False;
    Timer1.setEnabled(false);
    m_boxes.show({ texts::appTitle, label + texts::crlf + errorLine(error) });
}

void frmGridvane::reportEscaped(const char* handler, const TrappedError& error)
{
    // A handler that reports its own failures under a label keeps it for those that escape it.
    static const QHash<QLatin1String, QString> ownLabels { { QLatin1String("Timer1_Timer"),
                                                               texts::labelTimerEvent },
        { QLatin1String("cmdStart_Click"), texts::labelStartClick },
        { QLatin1String("Form_Load"), texts::labelFormLoad } };
    const QLatin1String name(handler);
    try {
        ReportError(
            ownLabels.value(name, QStringLiteral("--") + name + QStringLiteral("--")), error);
    } catch (const TrappedError&) {
        // Not even the box could be shown; the program goes on all the same.
    } catch (const std::exception&) {
    }
}

void frmGridvane::reportErrorWithDetail(
    const QString& label, const QString& detail, const TrappedError& error)
{
    m_boxes.show(
        { texts::appTitle, label + texts::crlf + detail + texts::crlf + errorLine(error) });
}

} // namespace gridvane
