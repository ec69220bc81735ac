#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

namespace gridvane::testing {

// Saves a picture of the widget into the build folder's screenshots/ for a look by eye.
inline bool saveScreenshot(QWidget& widget, const QString& name)
{
    QDir dir(QCoreApplication::applicationDirPath());
    if (dir.dirName() == QLatin1String("tests"))
        dir.cdUp();
    if (!dir.mkpath(QStringLiteral("screenshots")))
        return false;
    return widget.grab().save(dir.filePath(QStringLiteral("screenshots/") + name));
}

} // namespace gridvane::testing
