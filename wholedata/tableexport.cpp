#include "tableexport.h"

#include "engine/globals.h"
#include "engine/tables.h"
#include "platform/messages.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

namespace TableExport {

namespace {
SaveFileHook g_hook;
}

void setSaveFileHook(SaveFileHook hook)
{
    g_hook = std::move(hook);
}

bool exportKind(QWidget *parent, const QString &kind)
{
    const std::optional<QString> keyword = Tables::keywordOf(kind);
    if (!keyword)
        return false;
    const QString suggested = QDir::homePath() + QLatin1Char('/') + kind + QStringLiteral(".csv");
    const QString path = g_hook ? g_hook(suggested)
                                : QFileDialog::getSaveFileName(parent, QStringLiteral("Export %1").arg(kind), suggested,
                                                               QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray csv = Tables::csv(Tables::read(GamePath, *keyword, false));
    QApplication::restoreOverrideCursor();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit()) {
        Messages::show(parent, {QStringLiteral("The %1 could not be exported to\n%2\n\n%3")
                                    .arg(kind, QDir::toNativeSeparators(path), file.errorString()),
                                QStringLiteral("Export"), QMessageBox::Warning});
        return false;
    }
    return true;
}

} // namespace TableExport
