#include "fuzzinput.h"

#include "engine/globals.h"
#include "engine/objectvalues.h"
#include "engine/sparse.h"
#include "engine/summaryrows.h"
#include "engine/viewerrows.h"
#include "platform/codepage.h"

#include <cstdlib>

// The text operations that take apart a block already read: weapon sets,
// blank-line removal, values of one line, the handling boxes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = CodePage::decode(reinterpret_cast<const char *>(data), qsizetype(size));
    SParse::ExtractWeapons(text);
    if (WeaponSets.isEmpty() || !WeaponSets.last().isEmpty())
        std::abort();
    for (const QString &set : WeaponSets)
        ObjectValues::weaponsOfSet(set);
    const QString kept = SParse::RemVBCrLf(text);
    if (kept.size() > text.size())
        std::abort();
    SParse::ParseValue(text);
    SParse::LocomotorValue(text.left(16), text);
    for (const HandlingBox &box : Summary::handlingBoxes())
        box.digitsOf(box.textWith(text.left(12)));
    Summary::costText(text.left(32), QLocale::c());
    // The viewers' rows: weapon and button blocks, armour lines, command set slots.
    ViewerRows::weaponRows(text);
    ViewerRows::commandButtonRows(text);
    QString armourText = text;
    ViewerRows::SParseArmourText(armourText);
    QString firstLine = text.section(QStringLiteral("\r\n"), 0, 0);
    ViewerRows::SParseArmourLine(firstLine);
    ViewerRows::commandSetRows(text, text.split(QStringLiteral("\r\n")).mid(0, 40));
    ViewerRows::commandButtonName(firstLine);
    return 0;
}
