#include "fuzzinput.h"

#include "manualedit/recoveryfile.h"

#include <cstdlib>

// Recovery files are read from the user's state folder at every start, where
// anything may have been left: a file cut short by a crash, a disk error, an
// older or foreign file. Any bytes must be read or refused without harm, and
// whatever is read must write back to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<RecoveryFile> file = RecoveryFile::fromBytes(bytes);
    if (file) {
        if (file->text.size() > bytes.size() || file->loadedSha256.size() != 32 || file->fileName.isEmpty())
            std::abort();
        if (file->toBytes() != bytes)
            std::abort();
    }
    const QString path = fuzzScratchFolder() + QStringLiteral("/input.recovery");
    if (writeScratch(path, bytes)) {
        const std::optional<RecoveryFile> loaded = RecoveryFile::load(path);
        if (loaded.has_value() != file.has_value())
            std::abort();
    }
    return 0;
}
