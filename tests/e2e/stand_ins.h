#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace gridvane::testing {

// Stand-ins for wall and xdg-open, put first on PATH, that record what they received: wall
// its standard input and its argument count, xdg-open its arguments.
class StandIns
{
public:
    StandIns()
    {
        write(QStringLiteral("wall"),
            "#!/bin/sh\necho \"$#\" > \"$0.args\"\ncat > \"$0.part\"\nmv \"$0.part\" "
            "\"$0.stdin\"\n");
        write(QStringLiteral("xdg-open"),
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\"\nmv \"$0.part\" \"$0.args\"\n");
    }

    QString path() const { return m_dir.path(); }
    // PATH with the stand-ins first.
    QByteArray searchPath() const { return m_dir.path().toLocal8Bit() + ':' + qgetenv("PATH"); }

    QByteArray wallInput() const { return read(QStringLiteral("wall.stdin")); }
    QByteArray wallArgumentCount() const { return read(QStringLiteral("wall.args")).trimmed(); }
    QByteArray openedUrls() const { return read(QStringLiteral("xdg-open.args")); }

private:
    void write(const QString& name, const QByteArray& script)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(script);
        file.setPermissions(
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QByteArray read(const QString& name) const
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

} // namespace gridvane::testing
