#include "fuzzinput.h"

#include "engine/matchup.h"

#include <cstdlib>

namespace {

bool wholeNumber(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

// What every result must look like, whatever the values were: shots a whole
// number of at least 1, "never" or empty, and then a reason; shots only
// with an effective damage, a time only with a number of shots.
void checkResult(const MatchupResult &r)
{
    const bool counted = wholeNumber(r.shots);
    if (counted && r.shots.toDouble() < 1)
        std::abort();
    if (!counted && r.shots != QLatin1String("never") && !r.shots.isEmpty())
        std::abort();
    if (r.shots.isEmpty() && r.note.isEmpty())
        std::abort();
    if (!r.seconds.isEmpty() && !counted)
        std::abort();
    if (r.effective.isEmpty() && !r.shots.isEmpty())
        std::abort();
}

} // namespace

// Three data files from one input, split at its first two newlines' worth of
// fields: object text, Weapon.ini and Armor.ini. Every weapon of the first
// objects meets every one of them, and the rule runs on the input's own
// words as values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> fields = splitFields(data, size, 3);
    const QString values = QString::fromLatin1(fields[0]);
    const QStringList words = values.split(QLatin1Char(' '));
    checkResult(Matchup::evaluate(words.value(0), words.value(1), words.value(2), words.value(3)));

    MatchupData game;
    game.addText(0, fields[3]);
    game.addText(8, fields[1]);
    game.addText(9, fields[2]);
    const int count = std::min(game.objectCount(), 12);
    for (int a = 0; a < count; ++a) {
        for (int t = 0; t < count; ++t) {
            for (const MatchupRow &row : game.rows(a, t)) {
                if (row.slot.weapon.isEmpty())
                    std::abort();
                checkResult(row.result);
            }
        }
    }
    if (count > 0) {
        const QList<int> all = game.objectsContaining(QString());
        const MatchupMatrix matrix = game.matrix(all.mid(0, count), all.mid(0, count));
        if (matrix.cells.size() != qsizetype(count) * count)
            std::abort();
        (void)Matchup::writeMatrix(game, matrix, Matchup::Csv);
    }
    return 0;
}
