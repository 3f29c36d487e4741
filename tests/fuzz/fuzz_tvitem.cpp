#include "fuzzinput.h"

#include "engine/tvitem.h"

#include <cstdlib>

// The line reader: every byte of the file comes back in some line, and no
// line holds a CR; lines handed out as views over whole chunks are the same
// lines as those handed out one string at a time. Large inputs are repeated
// so that lines cross the reader's chunks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzScratchFolder() + QStringLiteral("/lines.ini");
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (size > 0 && size < 4096 && data[0] == 'R')
        bytes = bytes.repeated(int(70000 / size) + 1);
    if (!writeScratch(path, bytes))
        return 0;
    TVItem loader;
    qsizetype delivered = 0;
    QStringList lines;
    loader.setLineHandler([&](const QString &line) {
        if (line.contains(QLatin1Char('\r')))
            std::abort();
        delivered += line.size();
        lines.append(line);
    });
    loader.OpenFile(path);
    if (delivered != bytes.size() - bytes.count('\r') - bytes.count("\r\n"))
        std::abort();

    TVItem viewer;
    qsizetype at = 0;
    viewer.setViewHandler([&](QStringView line) {
        if (at >= lines.size() || line != lines[at])
            std::abort();
        ++at;
    });
    viewer.OpenFile(path);
    if (at != lines.size())
        std::abort();
    return 0;
}
