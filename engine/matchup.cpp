#include "matchup.h"

#include "datacheck.h"
#include "sparse.h"
#include "tables.h"
#include "tvitem.h"

#include "platform/eventyield.h"
#include "platform/gamepath.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtNumeric>

#include <algorithm>
#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qint64 kUnit = 10000;         // MatchupNumber's units per 1
constexpr qint64 kLimit = 1000000000000; // numbers from here on are refused

// The files objects, weapons and armours are read from, by their position in
// DataCheck::dataFiles(): the eight object files, then Weapon.ini and Armor.ini,
// the files the main window and the two viewers read them from.
constexpr int kWeaponFile = 8;
constexpr int kArmourFile = 9;

// The line without its comment, split at its first "=" into a trimmed key
// and value; no value for a line without "=".
std::optional<std::pair<QStringView, QStringView>> parameter(QStringView line)
{
    const qsizetype semi = line.indexOf(QLatin1Char(';'));
    if (semi >= 0)
        line = line.left(semi);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return std::make_pair(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
}

QList<QStringView> words(QStringView text)
{
    QList<QStringView> out;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i].isSpace())
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !text[i].isSpace())
            ++i;
        if (i > start)
            out << text.mid(start, i - start);
    }
    return out;
}

int slotRank(QStringView slot)
{
    static const QLatin1StringView ranks[] = {QLatin1StringView("PRIMARY"), QLatin1StringView("SECONDARY"),
                                              QLatin1StringView("TERTIARY")};
    for (int i = 0; i < 3; ++i) {
        if (slot.compare(ranks[i], Qt::CaseInsensitive) == 0)
            return i;
    }
    return 3;
}

// a x b / divisor rounded half away from zero; in floating point when the
// product does not fit.
qint64 mulDivRounded(qint64 a, qint64 b, qint64 divisor)
{
    qint64 product = 0;
    if (qMulOverflow(a, b, &product))
        return qint64(std::llround(double(a) * double(b) / double(divisor)));
    const qint64 half = divisor / 2;
    return product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
}

QString fixed(qint64 scaled, int decimals, bool trimZeros)
{
    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const bool negative = scaled < 0;
    const quint64 magnitude = negative ? quint64(-(scaled + 1)) + 1 : quint64(scaled);
    QString text = QString::number(magnitude / quint64(scale));
    QString fraction = QString::number(magnitude % quint64(scale)).rightJustified(decimals, QLatin1Char('0'));
    if (trimZeros) {
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
    }
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return negative && text != QLatin1String("0") ? QLatin1Char('-') + text : text;
}

QString notNumber(const char *what, const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("no %1").arg(QLatin1String(what));
    QString shown = text;
    shown.replace(kCrLf, QStringLiteral(" | "));
    return QStringLiteral("%1 \"%2\" is no number").arg(QLatin1String(what), shown);
}

} // namespace

std::optional<MatchupNumber> MatchupNumber::parse(QStringView text, bool percentSign)
{
    text = text.trimmed();
    if (percentSign && text.endsWith(QLatin1Char('%')))
        text.chop(1);
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    const auto digit = [&](qsizetype at) { return at < n && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9'); };
    qint64 whole = 0;
    int digits = 0;
    for (; digit(i); ++i, ++digits) {
        whole = whole * 10 + (text[i].unicode() - '0');
        if (whole >= kLimit)
            return std::nullopt;
    }
    qint64 fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    if (i < n && text[i] == QLatin1Char('.')) {
        for (++i; digit(i); ++i, ++digits) {
            const int d = text[i].unicode() - '0';
            if (fractionDigits < 4)
                fraction = fraction * 10 + d;
            else if (fractionDigits == 4)
                roundUp = d >= 5;
            ++fractionDigits;
        }
    }
    if (digits == 0 || i != n)
        return std::nullopt;
    for (; fractionDigits < 4; ++fractionDigits)
        fraction *= 10;
    const qint64 units = whole * kUnit + fraction + (roundUp ? 1 : 0);
    return MatchupNumber{negative ? -units : units};
}

namespace Matchup {

QString formatHundredths(qint64 hundredths)
{
    return fixed(hundredths, 2, true);
}

QString percentFor(const QList<MatchupArmourLine> &lines, QStringView damageType)
{
    const MatchupArmourLine *fallback = nullptr;
    for (const MatchupArmourLine &line : lines) {
        if (line.type.compare(damageType, Qt::CaseInsensitive) == 0)
            return line.percent;
        if (!fallback && line.type.compare(QLatin1String("DEFAULT"), Qt::CaseInsensitive) == 0)
            fallback = &line;
    }
    return fallback ? fallback->percent : QStringLiteral("100%");
}

MatchupResult evaluate(const QString &damage, const QString &percent, const QString &health, const QString &reloadDelay)
{
    MatchupResult r;
    QStringList why;
    const auto d = MatchupNumber::parse(damage);
    const auto p = MatchupNumber::parse(percent, true);
    const auto h = MatchupNumber::parse(health);
    if (!d)
        why << notNumber("PrimaryDamage", damage);
    if (p)
        r.percent = formatHundredths(mulDivRounded(p->units, 1, kUnit / 100));
    else
        why << notNumber("percentage", percent);
    if (!h)
        why << notNumber("MaxHealth", health);
    if (d && p) {
        // damage x percent / 100, both in 1/10000: the product is in 1/10^10.
        r.effective = formatHundredths(mulDivRounded(d->units, p->units, kUnit * kUnit));
    }
    if (d && p && h) {
        const bool harms = (d->units > 0 && p->units > 0) || (d->units < 0 && p->units < 0);
        std::optional<qint64> shots;
        double approximate = 1;
        if (!harms) {
            r.shots = QStringLiteral("never");
        } else if (h->units <= 0) {
            shots = 1;
        } else {
            // health / effective = h x 10^6 / (d x p) in units; whole numbers
            // keep exact multiples exact.
            const qint64 num = qAbs(d->units), den = qAbs(p->units);
            qint64 top = 0, bottom = 0;
            if (!qMulOverflow(h->units, qint64(1000000), &top) && !qMulOverflow(num, den, &bottom))
                shots = std::max<qint64>(1, (top + bottom - 1) / bottom);
            else
                approximate = std::max(1.0, std::ceil(double(h->units) * 1e6 / (double(num) * double(den))));
        }
        if (harms) {
            r.shots = shots ? QString::number(*shots) : QString::number(approximate, 'f', 0);
            if (!reloadDelay.isEmpty()) {
                const auto delay = MatchupNumber::parse(reloadDelay);
                if (!delay) {
                    why << notNumber("ReloadDelay", reloadDelay);
                } else if (delay->units < 0) {
                    why << QStringLiteral("ReloadDelay %1 is below 0").arg(reloadDelay);
                } else if (shots) {
                    // (shots - 1) x delay milliseconds, in tenths of seconds.
                    r.seconds = fixed(mulDivRounded(*shots - 1, delay->units, kUnit * 100), 1, false);
                } else {
                    r.seconds = QString::number((approximate - 1) * double(delay->units) / (kUnit * 1000.0), 'f', 1);
                }
            }
        }
    }
    r.note = why.join(QStringLiteral("; "));
    return r;
}

QList<MatchupArmourLine> armourLines(const QString &blockText)
{
    QList<MatchupArmourLine> lines;
    const QStringList all = blockText.split(kCrLf);
    // The header line itself reads "Armor Name": without an "=" it is no line of the table.
    for (qsizetype i = 1; i < all.size(); ++i) {
        const auto param = parameter(all[i]);
        if (!param || param->first.compare(QLatin1String("Armor"), Qt::CaseInsensitive) != 0)
            continue;
        const QList<QStringView> w = words(param->second);
        if (!w.isEmpty())
            lines.append({w[0].toString(), w.value(1).toString()});
    }
    return lines;
}

QList<MatchupSlot> weaponSlots(const QString &objectText)
{
    QList<MatchupSlot> slotList;
    const QStringList sets = SParse::weaponSetsOf(objectText);
    // The last slot of weaponSetsOf is always empty.
    for (qsizetype s = 0; s + 1 < sets.size(); ++s) {
        // The conditions as the main window lists them.
        QString conditions =
            SParse::GetParameterValueNoINI(QStringLiteral("Weapon"), QStringLiteral("Conditions"), sets[s]);
        conditions.remove(kCrLf);
        QList<MatchupSlot> inSet;
        const QStringList lines = sets[s].split(kCrLf);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const auto param = parameter(lines[i]);
            if (!param || param->first != QLatin1String("Weapon"))
                continue;
            const QList<QStringView> w = words(param->second);
            for (qsizetype j = 0; j < w.size();) {
                const bool slotWord = j + 1 < w.size() && slotRank(w[j]) < 3;
                const QStringView name = slotWord ? w[j + 1] : w[j];
                if (name.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0)
                    inSet.append({int(s), conditions, slotWord ? w[j].toString() : QString(), name.toString()});
                j += slotWord ? 2 : 1;
            }
        }
        std::stable_sort(inSet.begin(), inSet.end(), [](const MatchupSlot &a, const MatchupSlot &b) {
            return slotRank(a.slot) < slotRank(b.slot);
        });
        slotList += inSet;
    }
    return slotList;
}

MatchupTarget target(const QString &objectText)
{
    MatchupTarget t;
    // MaxHealth as ObjectValues::load reads it for the main window.
    t.health = SParse::GetParameterValueNoINI(QStringLiteral("Object"), QStringLiteral("MaxHealth"), objectText);
    t.health.remove(kCrLf);

    bool inSet = false;
    bool chosenIsNone = false;
    QString conditions;
    QString armour;
    const auto closeSet = [&] {
        inSet = false;
        const bool none = conditions.compare(QLatin1String("None"), Qt::CaseInsensitive) == 0;
        if (!t.hasArmourSet || (none && !chosenIsNone)) {
            t.hasArmourSet = true;
            t.armour = armour;
            chosenIsNone = none;
        }
    };
    for (const QStringView line : QStringView(objectText).split(kCrLf)) {
        const qsizetype semi = line.indexOf(QLatin1Char(';'));
        const QStringView text = (semi < 0 ? line : line.left(semi)).trimmed();
        if (!inSet) {
            if (text.compare(QLatin1String("ArmorSet"), Qt::CaseInsensitive) == 0) {
                inSet = true;
                conditions.clear();
                armour.clear();
            }
            continue;
        }
        if (text.startsWith(QLatin1String("End"), Qt::CaseInsensitive) && !text.contains(QLatin1Char('='))) {
            closeSet();
            if (chosenIsNone)
                break;
            continue;
        }
        const auto param = parameter(line);
        if (!param)
            continue;
        if (param->first.compare(QLatin1String("Conditions"), Qt::CaseInsensitive) == 0)
            conditions = param->second.toString();
        else if (param->first.compare(QLatin1String("Armor"), Qt::CaseInsensitive) == 0)
            armour = SParse::ParseValue(line);
    }
    // A set left open by the end of the block still counts.
    if (inSet)
        closeSet();
    return t;
}

} // namespace Matchup

bool MatchupData::read(int fileIndex, const std::function<void(TVItem &)> &start, const std::function<bool()> &cancelled)
{
    const bool objects = fileIndex < kWeaponFile;
    const QString wanted = objects ? QStringLiteral("Object")
                         : fileIndex == kWeaponFile ? QStringLiteral("Weapon")
                         : fileIndex == kArmourFile ? QStringLiteral("Armor")
                                                    : QString();
    if (wanted.isEmpty())
        return true;
    QList<Block> &blocks = fileIndex == kWeaponFile ? m_weapons : m_armours;
    QHash<QString, int> &names = fileIndex == kWeaponFile ? m_weaponNames : m_armourNames;
    FileIndex index;
    FileIndexBuilder builder(index, false);
    QString *text = nullptr;
    bool stopped = false;
    TVItem loader;
    loader.setViewHandler([&](QStringView line) {
        EventYield::yield();
        if (stopped || (cancelled && (stopped = cancelled())))
            return;
        switch (builder.addLine(line)) {
        case FileIndexBuilder::Header: {
            text = nullptr;
            // Only the open block is needed; the rest of the index would only grow.
            if (index.blocks.size() > 1)
                index.blocks.removeFirst();
            const IndexBlock &found = index.blocks.last();
            if (found.kind != wanted)
                break;
            const QString key = found.name.toLower();
            if (objects) {
                if (!m_objectNames.contains(key))
                    m_objectNames.insert(key, int(m_objects.size()));
                m_objects.append({found.name, fileIndex, QString(), {}, {}});
                text = !m_keep || m_keep(found.name) ? &m_objects.last().text : nullptr;
                if (!text)
                    break;
            } else {
                if (!names.contains(key))
                    names.insert(key, int(blocks.size()));
                blocks.append({QString(), {}, {}});
                text = &blocks.last().text;
            }
            text->append(line);
            text->append(kCrLf);
            break;
        }
        case FileIndexBuilder::Body:
            if (text) {
                text->append(line);
                text->append(kCrLf);
            }
            break;
        case FileIndexBuilder::End:
            if (text) {
                text->append(line);
                text->append(kCrLf);
            }
            text = nullptr;
            break;
        case FileIndexBuilder::Outside:
            break;
        }
    });
    start(loader);
    return !stopped;
}

bool MatchupData::build(const QString &gamePath, const std::function<bool()> &cancelled,
                        const std::function<void(int, int)> &progress)
{
    auto keep = std::move(m_keep);
    *this = MatchupData();
    m_keep = std::move(keep);
    const QStringList &files = DataCheck::dataFiles();
    for (int i = 0; i < files.size(); ++i) {
        if (cancelled && cancelled())
            return false;
        const QString path = gamePath + QStringLiteral("\\Data\\INI\\") + files[i];
        if (GamePaths::FileExists(path) && !read(i, [&](TVItem &loader) { loader.OpenFile(path); }, cancelled))
            return false;
        if (progress)
            progress(i + 1, int(files.size()));
    }
    return true;
}

void MatchupData::addText(int fileIndex, const QByteArray &bytes)
{
    read(fileIndex, [&](TVItem &loader) { loader.ReadText(bytes); }, {});
}

QString MatchupData::objectFile(int object) const
{
    return DataCheck::dataFiles().value(m_objects[object].file);
}

int MatchupData::findObject(QStringView name) const
{
    return m_objectNames.value(name.toString().toLower(), -1);
}

const QList<MatchupSlot> &MatchupData::weaponSlots(int object) const
{
    const Object &o = m_objects[object];
    if (!o.slotList)
        o.slotList = Matchup::weaponSlots(o.text);
    return *o.slotList;
}

std::optional<MatchupSlot> MatchupData::primaryWeapon(int object) const
{
    for (const MatchupSlot &slot : weaponSlots(object)) {
        if (slot.set > 0)
            break;
        if (slotRank(slot.slot) == 0)
            return slot;
    }
    return std::nullopt;
}

const MatchupTarget &MatchupData::target(int object) const
{
    const Object &o = m_objects[object];
    if (!o.target)
        o.target = Matchup::target(o.text);
    return *o.target;
}

const MatchupData::Block *MatchupData::block(const QHash<QString, int> &names, const QList<Block> &blocks,
                                             QStringView name) const
{
    const auto it = names.constFind(name.toString().toLower());
    return it == names.cend() ? nullptr : &blocks[*it];
}

MatchupWeapon MatchupData::weapon(QStringView name) const
{
    const Block *b = block(m_weaponNames, m_weapons, name);
    if (!b)
        return {};
    if (!b->weapon) {
        MatchupWeapon w;
        w.found = true;
        w.damage = SParse::WeaponValue(QStringLiteral("PrimaryDamage"), b->text).value_or(QString());
        w.damageType = SParse::WeaponValue(QStringLiteral("DamageType"), b->text).value_or(QString());
        w.reloadDelay = SParse::WeaponValue(QStringLiteral("ReloadDelay"), b->text).value_or(QString());
        b->weapon = w;
    }
    return *b->weapon;
}

std::optional<QList<MatchupArmourLine>> MatchupData::armour(QStringView name) const
{
    const Block *b = block(m_armourNames, m_armours, name);
    if (!b)
        return std::nullopt;
    if (!b->armour)
        b->armour = Matchup::armourLines(b->text);
    return *b->armour;
}

MatchupRow MatchupData::row(const MatchupSlot &slot, int targetObject) const
{
    MatchupRow r;
    r.slot = slot;
    const MatchupTarget &t = target(targetObject);
    r.armour = t.armour;
    r.health = t.health;
    const MatchupWeapon w = weapon(slot.weapon);
    if (!w.found) {
        r.result.note = QStringLiteral("no weapon named %1").arg(slot.weapon);
        return r;
    }
    r.damage = w.damage;
    r.damageType = w.damageType;
    QString percent = QStringLiteral("100%");
    QString armourNote;
    if (t.hasArmourSet) {
        if (const auto lines = armour(t.armour))
            percent = Matchup::percentFor(*lines, w.damageType);
        else
            armourNote = t.armour.isEmpty() ? QStringLiteral("the ArmorSet names no armour; counted at 100%")
                                            : QStringLiteral("no armour named %1; counted at 100%").arg(t.armour);
    }
    r.result = Matchup::evaluate(w.damage, percent, t.health, w.reloadDelay);
    if (!armourNote.isEmpty())
        r.result.note = r.result.note.isEmpty() ? armourNote : armourNote + QStringLiteral("; ") + r.result.note;
    return r;
}

QList<MatchupRow> MatchupData::rows(int attacker, int targetObject) const
{
    QList<MatchupRow> out;
    for (const MatchupSlot &slot : weaponSlots(attacker))
        out.append(row(slot, targetObject));
    return out;
}

QList<int> MatchupData::objectsContaining(QStringView text) const
{
    QList<int> out;
    for (int i = 0; i < objectCount(); ++i) {
        if (m_objects[i].name.contains(text, Qt::CaseInsensitive))
            out.append(i);
    }
    return out;
}

MatchupMatrix MatchupData::matrix(const QList<int> &attackers, const QList<int> &targets,
                                  const std::function<bool()> &cancelled) const
{
    // A cell depends only on the weapon and on the target's armour and
    // health: each weapon meets each such kind of target once, however many
    // objects share them.
    QHash<QString, int> kinds;
    QList<int> kindOf;
    QList<int> exampleOf; // a target of each kind
    for (int t : targets) {
        const MatchupTarget &v = target(t);
        const QString key = (v.hasArmourSet ? v.armour.toLower() : QStringLiteral("\n")) + QLatin1Char('\n') + v.health;
        const auto it = kinds.constFind(key);
        if (it == kinds.cend()) {
            kinds.insert(key, int(exampleOf.size()));
            kindOf.append(int(exampleOf.size()));
            exampleOf.append(t);
        } else {
            kindOf.append(*it);
        }
    }
    QHash<QString, QStringList> byWeapon; // lower-case weapon name to the shots against each kind
    MatchupMatrix m{attackers, targets, {}};
    m.cells.reserve(attackers.size() * targets.size());
    for (int attacker : attackers) {
        if (cancelled && cancelled())
            return {};
        const std::optional<MatchupSlot> weapon = primaryWeapon(attacker);
        if (!weapon) {
            for (qsizetype t = 0; t < targets.size(); ++t)
                m.cells.append(QString());
            continue;
        }
        QStringList &shots = byWeapon[weapon->weapon.toLower()];
        if (shots.isEmpty()) {
            for (int example : exampleOf) {
                EventYield::yield();
                shots.append(row(*weapon, example).result.shots);
            }
        }
        for (int kind : kindOf)
            m.cells.append(shots[kind]);
    }
    return m;
}

namespace Matchup {

QByteArray writeMatrix(const MatchupData &data, const MatchupMatrix &matrix, Format format)
{
    if (format == Json) {
        QJsonArray targets;
        for (int t : matrix.targets)
            targets.append(data.objectName(t));
        QJsonArray rows;
        for (qsizetype a = 0; a < matrix.attackers.size(); ++a) {
            QJsonArray shots;
            for (qsizetype t = 0; t < matrix.targets.size(); ++t) {
                const QString cell = matrix.cell(a, t);
                bool whole = false;
                const qint64 n = cell.toLongLong(&whole);
                shots.append(whole ? QJsonValue(n) : cell.isEmpty() ? QJsonValue() : QJsonValue(cell));
            }
            const std::optional<MatchupSlot> weapon = data.primaryWeapon(matrix.attackers[a]);
            rows.append(QJsonObject{{"attacker", data.objectName(matrix.attackers[a])},
                                    {"weapon", weapon ? QJsonValue(weapon->weapon) : QJsonValue()},
                                    {"shots", shots}});
        }
        return QJsonDocument(QJsonObject{{"targets", targets}, {"rows", rows}}).toJson(QJsonDocument::Compact) + '\n';
    }
    const bool csv = format == Csv;
    const auto field = csv ? &Tables::csvField : &Tables::tsvField;
    const char separator = csv ? ',' : '\t';
    const char *lineEnd = csv ? "\r\n" : "\n";
    QByteArray out;
    out += "attacker";
    for (int t : matrix.targets) {
        out += separator;
        field(out, data.objectName(t));
    }
    out += lineEnd;
    for (qsizetype a = 0; a < matrix.attackers.size(); ++a) {
        field(out, data.objectName(matrix.attackers[a]));
        for (qsizetype t = 0; t < matrix.targets.size(); ++t) {
            out += separator;
            out += matrix.cell(a, t).toLatin1();
        }
        out += lineEnd;
    }
    return out;
}

} // namespace Matchup
