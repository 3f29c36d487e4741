#include "fuzzinput.h"

#include "engine/datacheck.h"
#include "engine/globals.h"
#include "engine/objectvalues.h"
#include "engine/sparse.h"
#include "platform/codepage.h"

#include <cstdlib>

// Block and parameter lookups with a fuzzed name, parameter and file text,
// and the data check over that file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = splitFields(data, size, 3);
    if (!writeScratch(fuzzScratchFolder() + QStringLiteral("/Data/INI/Object/FactionUnit.ini"), fields[3]))
        return 0;
    GamePath = fuzzScratchFolder();
    SParse parser;
    parser.ObjectName = CodePage::decode(fields[0]);
    const QString keyword = CodePage::decode(fields[1]);
    const QString parameter = CodePage::decode(fields[2]);
    const QString block = parser.GetObjectText(keyword);
    // What a lookup returns was read from the file: never longer than it once
    // line ends are counted as CR LF.
    if (block.size() > 2 * qsizetype(fields[3].size()) + 2)
        std::abort();
    const QString values = parser.GetParameterValue(keyword, parameter);
    if (!values.isEmpty() && !values.endsWith(QStringLiteral("\r\n")))
        std::abort();
    SParse::GetParameterValueNoINI(keyword, parameter, CodePage::decode(fields[3]));
    ObjectValues::load(parser, parser.ObjectName, QStringLiteral("FactionUnit.ini"));
    DataCheck::check(GamePath);
    return 0;
}
