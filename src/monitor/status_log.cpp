#include "frm_gridvane.h"
#include "platform/message_boxes.h"
#include "texts.h"

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
QString errorLine(const std::exception& error)
{
    const TrappedError failure = errors::trapped(error);
    return QString::number(failure.number) + QStringLiteral(" - ") + failure.description;
}
} // namespace

void frmGridvane::ReportError(const QString& label, const std::exception& error)
{
    blnChecking = False;
    Timer1.setEnabled(false);
    m_boxes.show({ texts::appTitle, label + texts::crlf + errorLine(error) });
}

void frmGridvane::reportEscaped(const QString& label, const std::exception& error)
{
    try {
        ReportError(label, error);
    } catch (const std::exception&) {
        // Not even the box could be shown; the program goes on all the same.
    }
}

void frmGridvane::reportErrorWithDetail(
    const QString& label, const QString& detail, const std::exception& error)
{
    m_boxes.show(
        { texts::appTitle, label + texts::crlf + detail + texts::crlf + errorLine(error) });
}

} // namespace gridvane
