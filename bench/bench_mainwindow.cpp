#include "datagen.h"

#include "engine/globals.h"
#include "mainwindow/cataloguemodel.h"
#include "mainwindow/frmedit.h"
#include "manualedit/settingsstore.h"
#include "platform/controlhost.h"
#include "platform/messages.h"
#include "startup/catalogue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <fstream>
#include <string>

// On a generated game of about 20 MB of object files: building the catalogue
// (tree included) against reading the eight files once with std::getline, and
// choosing the last object of the largest file against one read of that file.
//   targets: catalogue <= 2x; choosing an object <= 15x one read, and never
//   more than 50 ms between two turns of the event loop.

namespace {

constexpr int KeyRole = CatalogueModel::KeyRole;

double getlineMs(const QStringList &paths)
{
    double best = 1e100;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        long lines = 0;
        for (const QString &path : paths) {
            std::ifstream in(path.toStdString(), std::ios::binary);
            std::string line;
            while (std::getline(in, line))
                ++lines;
        }
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTemporaryDir settings;
    SettingsStore::redirectTo(settings.path());
    Messages::setHook([](const Messages::Message &) { return QMessageBox::Ok; });
    ControlHost::setPluginPath(QStringLiteral(ZARNITH_PLUGIN));
    DataGen::writeGame(dir.path(), 20LL * 1024 * 1024);
    GamePath = dir.path();

    QStringList objectFiles;
    for (const QString &file : Catalogue::objectFiles())
        objectFiles << dir.filePath(QStringLiteral("Data/INI/Object/") + file);
    const double base = getlineMs(objectFiles);

    // As at start-up: the catalogue is read while the main window is still
    // hidden (the start-up window shows the progress), then the window shows.
    FrmEdit window;
    // Best of three, as for the baseline.
    QElapsedTimer t;
    double readOnly = 1e100;
    double build = 1e100;
    for (int run = 0; run < 3; ++run) {
        t.restart();
        Catalogue catalogue;
        const QList<CatalogueNode> nodes = catalogue.BuildCatalogue(GamePath);
        const double read = t.nsecsElapsed() / 1e6;
        window.fillCatalogue(nodes);
        const double total = t.nsecsElapsed() / 1e6;
        if (total < build) {
            build = total;
            readOnly = read;
        }
    }
    std::printf("(reading the catalogue %.1f ms, filling the tree %.1f ms)\n", readOnly, build - readOnly);
    const int objects = int(window.catalogue()->rowCount()) ? Catalogue::objectCounter() / 3 : 0;
    window.show();
    window.prepareAfterStartup();
    std::printf("catalogue of %d objects: getline over the object files %.1f ms, catalogue with tree %.1f ms: ratio %.2f (target <= 2)\n",
                objects, base, build, build / base);

    // The last object of FactionUnit.ini, the file it lives in.
    const QAbstractItemModel *model = window.catalogue();
    QModelIndex last;
    const QModelIndex units = window.nodeByKey(QStringLiteral("FactionUnit.ini"));
    for (int i = model->rowCount(units) - 1; i >= 0 && !last.isValid(); --i) {
        const QModelIndex side = model->index(i, 0, units);
        if (model->rowCount(side) > 0)
            last = model->index(model->rowCount(side) - 1, 0, side);
    }
    const double fileBase = getlineMs({objectFiles.first()});

    // A zero timer fires on every turn of the event loop; the longest gap
    // between two firings is the longest stretch without a yield.
    QElapsedTimer gap;
    qint64 longestGap = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, gap.nsecsElapsed());
        gap.restart();
    });
    watch.start();
    double bestLoad = 1e100;
    for (int run = 0; run < 3; ++run) {
        const QAbstractItemModel *shown = window.tree()->model();
        window.tree()->setCurrentIndex(
            shown->match(shown->index(0, 0), KeyRole, last.data(KeyRole), 1, Qt::MatchExactly | Qt::MatchRecursive).value(0));
        gap.start();
        t.restart();
        window.loadNode(last);
        bestLoad = std::min(bestLoad, t.nsecsElapsed() / 1e6);
        longestGap = std::max(longestGap, gap.nsecsElapsed());
    }
    std::printf("choosing %s: one getline read of its file %.1f ms, the whole load %.1f ms: ratio %.2f (target <= 15)\n",
                qPrintable(last.data().toString()), fileBase, bestLoad, bestLoad / fileBase);
    std::printf("longest stretch without a turn of the event loop: %.1f ms (target <= 50)\n", longestGap / 1e6);
    // The catalogue filter, one keystroke at a time.
    double slowest = 0;
    QString typed;
    for (const QChar c : QStringLiteral("OtherUnit39")) {
        typed += c;
        t.restart();
        window.setFilterText(typed);
        slowest = std::max(slowest, t.nsecsElapsed() / 1e6);
    }
    t.restart();
    window.setFilterText(QString());
    const double clearing = t.nsecsElapsed() / 1e6;
    std::printf("filtering %d objects: slowest keystroke %.1f ms, clearing %.1f ms (target < 50)\n", objects, slowest,
                clearing);
    window.AskOnClose = false;
    return 0;
}
