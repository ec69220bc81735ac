#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"

namespace gridvane {

namespace {
// Only the blank is trimmed; tabs and other spacing stay in the box.
QString trimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}
} // namespace

void frmGridvane::txtGroup_Change(qint16 index)
{
    auto& box = txtGroup.at(index);
    // When this changes the text, the handler runs again for the same box before going on.
    box.setText(trimBlanks(box.Text()));
    // White space alone is no code, whatever kind it is: every page holds some.
    box.Tag = box.Text().trimmed().isEmpty() ? QString() : codeTag;

    const bool anyCode = std::any_of(txtGroup.begin(), txtGroup.end(), holdsCode);
    if (anyCode) {
        cmdStart.setEnabled(true);
    } else {
        txtURL_Change();
        cmdStart.setEnabled(false);
    }
}

void frmGridvane::txtURL_Change()
{
    if (blnLoading) {
        blnLoading = False;
        return;
    }
    // The caption makes the press a stop, whether or not checking was on.
    cmdStart.setCaption(texts::captionStop);
    cmdStart_Click();
}

void frmGridvane::chkNetSend_Click()
{
    strNetSend = chkNetSend.Value() == 1 ? texts::on : texts::off;
}

} // namespace gridvane
