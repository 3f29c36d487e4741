#include "tableexport.h"

#include "engine/globals.h"
#include "engine/tables.h"
#include "platform/messages.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QSaveFile>

namespace TableExport {

namespace {
SaveFileHook g_hook;
}

void setSaveFileHook(SaveFileHook hook)
{
    g_hook = std::move(hook);
}

bool exportKind(QWidget *parentWidget, const QString &kind)
{
    // Reading the data gives the event loop turns: the window that asked may
    // close meanwhile, and a second export must wait for the first.
    static bool running = false;
    const std::optional<QString> keyword = Tables::keywordOf(kind);
    if (!keyword || running)
        return false;
    const QPointer<QWidget> parent(parentWidget);
    const QString suggested = QDir::homePath() + QLatin1Char('/') + kind + QStringLiteral(".csv");
    const QString path = askPath(parent, QStringLiteral("Export %1").arg(kind), suggested);
    if (path.isEmpty())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    running = true;
    const QByteArray csv = Tables::csv(Tables::read(GamePath, *keyword, false));
    running = false;
    QApplication::restoreOverrideCursor();
    return writeFile(parent, path, csv, kind);
}

QString askPath(QWidget *parent, const QString &title, const QString &suggested)
{
    return g_hook ? g_hook(suggested)
                  : QFileDialog::getSaveFileName(parent, title, suggested,
                                                 QStringLiteral("CSV files (*.csv);;All files (*)"));
}

bool writeFile(QWidget *parent, const QString &path, const QByteArray &bytes, const QString &what)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Messages::show(parent, {QStringLiteral("The %1 could not be exported to\n%2\n\n%3")
                                    .arg(what, QDir::toNativeSeparators(path), file.errorString()),
                                QStringLiteral("Export"), QMessageBox::Warning});
        return false;
    }
    return true;
}

} // namespace TableExport
