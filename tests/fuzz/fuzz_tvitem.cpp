#include "fuzzinput.h"

#include "engine/tvitem.h"

#include <cstdlib>

// The line reader: every byte of the file comes back in some line, and no
// line holds a CR.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzScratchFolder() + QStringLiteral("/lines.ini");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!writeScratch(path, bytes))
        return 0;
    TVItem loader;
    qsizetype delivered = 0;
    loader.setLineHandler([&](const QString &line) {
        if (line.contains(QLatin1Char('\r')))
            std::abort();
        delivered += line.size();
    });
    loader.OpenFile(path);
    if (delivered != qsizetype(size) - bytes.count('\r') - bytes.count("\r\n"))
        std::abort();
    return 0;
}
