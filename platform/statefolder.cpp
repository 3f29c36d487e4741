#include "statefolder.h"

#include <QDir>
#include <QStandardPaths>

namespace StateFolder {

QString userStateFolder()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // A relative value is invalid by the rules and ignored, like an empty one.
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.local/state");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
}

} // namespace StateFolder
