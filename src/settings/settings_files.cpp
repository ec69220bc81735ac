#include "file_formats.h"
#include "monitor/frm_gridvane.h"
#include "monitor/texts.h"
#include "platform/system_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

namespace gridvane {

namespace {

// The file's whole contents. It is open only inside this call.
QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw errors::pathAccess(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw errors::pathAccess(file.errorString());
    return bytes;
}

// Writes the file whole or not at all: the bytes go to a temporary file in the same folder,
// which replaces the old file only once it is complete. A crash, a kill or a full disk
// leaves the old file as it was.
void replaceFile(const QString& path, const QByteArray& bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw errors::pathAccess(QStringLiteral("cannot create ") + folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw errors::pathAccess(file.errorString());
    if (file.write(bytes) != bytes.size())
        throw errors::diskFull(file.errorString());
    if (!file.commit())
        throw errors::diskFull(file.errorString());
}

} // namespace

void frmGridvane::LoadSettingsFile()
{
    strSettingsFile = m_system.configDirectory() + texts::settingsFileName;
    blnAutoStart = False;

    if (!QFileInfo(strSettingsFile).isFile()) {
        txtURL.setText(txtURL.Tag);
        strInterval = mnuInt[0].Caption();
        strNetSend = texts::off;
    } else {
        // The whole file is read before any value is applied: an edit handler that saves
        // during loading can then never meet a half-read file.
        RecordReader reader(readWholeFile(strSettingsFile));
        const QString url = reader.next();
        blnLoading = True;
        txtURL.setText(url);
        blnLoading = False;

        strInterval = reader.next();
        const auto interval = texts::intervalCaptions.indexOf(strInterval);
        if (interval >= 0)
            mnuInt_Click(qint16(interval));

        strNetSend = reader.next();

        for (int index = 0; !reader.atEnd() && index <= groupCount - 1; ++index) {
            txtGroup[index].setText(reader.next());
            blnAutoStart = True;
        }
    }

    if (strNetSend == texts::on) {
        chkNetSend.setValue(1);
    } else {
        strNetSend = texts::off;
        chkNetSend.setValue(0);
    }
}

void frmGridvane::LoadNetSendFile()
{
    if (QFileInfo(strNetSendFile).isFile())
        txtNetSend.setText(decodeUtf16Le(readWholeFile(strNetSendFile)));
    else
        txtNetSend.setText(texts::defaultNetSendMessage);
}

void frmGridvane::SaveSettingsFile()
{
    if (m_holdSaves) {
        m_savePending = true;
        return;
    }
    try {
        QStringList records { txtURL.Text(), strInterval, strNetSend };
        for (const auto& box : txtGroup) {
            if (holdsCode(box))
                records << box.Text();
        }
        replaceFile(strSettingsFile, encodeRecords(records));
        replaceFile(strNetSendFile, encodeUtf16Le(txtNetSend.Text()));
    } catch (const std::exception& error) {
        ReportError(texts::labelSaveSettings, error);
    }
}

void frmGridvane::runHeldSave()
{
    m_holdSaves = false;
    if (std::exchange(m_savePending, false))
        SaveSettingsFile();
}

} // namespace gridvane
