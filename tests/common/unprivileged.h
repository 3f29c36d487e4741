#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// Permissions do not bind root. Called first in a test function that needs
// them: as an ordinary user it returns true; as root it runs the same function
// and data row again as user nobody (from a copy of the program every user can
// read), reports that run, and returns false. A child that cannot start is a
// skip, or a failure when ZARNITH_REQUIRE_UNPRIVILEGED is set (as in CI).
inline bool runsUnprivileged()
{
    if (geteuid() != 0)
        return true;
    const auto giveUp = [](const QString &why) {
        if (qEnvironmentVariableIsSet("ZARNITH_REQUIRE_UNPRIVILEGED"))
            QTest::qFail(qPrintable(why), __FILE__, __LINE__);
        else
            QTest::qSkip(qPrintable(why), __FILE__, __LINE__);
        return false;
    };
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("test"));
    if (!QFile::copy(QCoreApplication::applicationFilePath(), copy))
        return giveUp(QStringLiteral("cannot copy the test program"));
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                             | QFile::ExeOther);
    QString function = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        function += QLatin1Char(':') + QString::fromLatin1(QTest::currentDataTag());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups", copy, function});
    child.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (!output.contains(QLatin1String("Start testing")))
        return giveUp(QStringLiteral("cannot run as an unprivileged user here: ") + output.left(300));
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        QTest::qFail(qPrintable(QStringLiteral("as user nobody:\n") + output), __FILE__, __LINE__);
    return false;
}
