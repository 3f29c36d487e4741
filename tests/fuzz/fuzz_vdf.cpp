#include "fuzzinput.h"

#include "platform/gamefinder.h"
#include "platform/vdf.h"

#include <cstdlib>

// Steam's library list and app manifests are read from the user's Steam
// folders: any bytes must parse or be refused, and the finder must read them
// from a library file and a manifest without harm.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<Vdf::Node> root = Vdf::parse(text);
    // Every value was read from the text, so none is longer than it.
    if (root) {
        for (const Vdf::Node &node : root->children) {
            if (node.key.size() > text.size() || node.value.size() > text.size())
                std::abort();
        }
    }
    for (const QString &folder : Vdf::libraryFolders(text)) {
        if (folder.isEmpty())
            std::abort();
    }
    Vdf::appManifest(text);

    const QString home = fuzzScratchFolder() + QStringLiteral("/home");
    const QString steamapps = home + QStringLiteral("/.local/share/Steam/steamapps");
    if (!QDir().mkpath(steamapps + QStringLiteral("/common/Torvane"))
        || !writeScratch(steamapps + QStringLiteral("/libraryfolders.vdf"), text)
        || !writeScratch(steamapps + QStringLiteral("/appmanifest_1.acf"), text))
        return 0;
    GameFinder::Limits limits;
    limits.prefixDepth = 2;
    GameFinder::findGames(home, QProcessEnvironment(), limits);
    GameFinder::steamAppId(steamapps + QStringLiteral("/common/Torvane"));
    return 0;
}
