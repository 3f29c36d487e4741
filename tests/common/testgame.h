#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

// A throw-away game folder for tests: files are written byte for byte under
// it, with paths given relative to the folder ("Data/INI/Weapon.ini").
class TestGame
{
public:
    TestGame() { m_dir.setAutoRemove(true); }

    QString path() const { return m_dir.path(); }

    bool write(const QString &relative, const QByteArray &bytes) const
    {
        const QString file = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    bool writeIni(const QString &iniRelative, const QByteArray &bytes) const
    {
        return write(QStringLiteral("Data/INI/") + iniRelative, bytes);
    }

    QByteArray read(const QString &relative) const
    {
        QFile f(m_dir.filePath(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

// Joins lines with CR LF and ends the last one too, as the game files are written.
inline QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out += QByteArray(line) + "\r\n";
    return out;
}
