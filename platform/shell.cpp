#include "shell.h"

#include "platform/gamepath.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace Shell {

void RunFile(const QString &Filename, const QString &Dir)
{
    if (Filename.contains(QLatin1String("://"))) {
        QDesktopServices::openUrl(QUrl(Filename));
        return;
    }
    const QString path = GamePaths::nativePath(Filename);
    const QFileInfo info(path);
    if (info.isFile() && info.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0) {
        // Windows programs run through Wine when it is there.
        QProcess::startDetached(QStringLiteral("wine"), {path}, GamePaths::nativePath(Dir));
        return;
    }
    if (info.isFile() && info.isExecutable()) {
        QProcess::startDetached(path, {}, GamePaths::nativePath(Dir));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace Shell

namespace Shell {

QString versionText()
{
    const QStringList parts = QStringLiteral(ZARNITH_VERSION).split(QLatin1Char('.'));
    return QStringLiteral("Version %1.%2").arg(parts.value(0), parts.value(1, QStringLiteral("0")));
}

} // namespace Shell
