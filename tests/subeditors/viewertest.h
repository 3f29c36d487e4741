#pragma once

#include "engine/globals.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "platform/messages.h"
#include "subeditors/subeditor.h"
#include "tabulet/controlfactory.h"

#include "../common/testgame.h"

#include <QAbstractItemView>
#include <QDirIterator>
#include <QTableWidget>
#include <QTest>

// What the viewer tests share: a game folder holding the stock data, the
// list control plugin from the build, and readers of what a viewer shows.
namespace ViewerTest {

inline bool prepare(TestGame &game, const QString &settingsFolder)
{
    SettingsStore::redirectTo(settingsFolder);
    ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
    Messages::setHook([](const Messages::Message &) { return QMessageBox::Ok; });
    const QDir stock(QStringLiteral(ZARNITH_STOCK_DIR));
    for (QDirIterator it(stock.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly) || !game.write(stock.relativeFilePath(f.fileName()), f.readAll()))
            return false;
    }
    GamePath = game.path();
    return true;
}

// Lets queued selections and deferred deletions run.
inline void settle()
{
    QTest::qWait(20);
}

inline QStringList entries(const SubEditor *window)
{
    QStringList texts;
    for (int r = 0; r < window->entryList()->rowCount(); ++r)
        texts << window->entryList()->item(r, 0)->text();
    return texts;
}

inline QString currentEntry(const SubEditor *window)
{
    const QTableWidgetItem *item = window->entryList()->currentItem();
    return item ? item->text() : QString();
}

inline QAbstractItemModel *values(const SubEditor *window)
{
    return window->valueList().listView()->model();
}

// "label=value" per row of the value list.
inline QStringList valueRows(const SubEditor *window)
{
    QStringList rows;
    const QAbstractItemModel *model = values(window);
    for (int r = 0; r < model->rowCount(); ++r)
        rows << model->index(r, 0).data().toString() + u'=' + model->index(r, 1).data().toString();
    return rows;
}

inline QString tagOf(const SubEditor *window, int row)
{
    return values(window)->index(row, 1).data(ItemRole::Tag).toString();
}

// Chooses a row the way the user does: a click on it.
inline void clickEntry(SubEditor *window, const QString &text)
{
    QTableWidget *list = window->entryList();
    const QList<QTableWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

} // namespace ViewerTest
