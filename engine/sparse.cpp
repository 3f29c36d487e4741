#include "sparse.h"

#include "busyhook.h"
#include "globals.h"
#include "platform/eventyield.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QStringView trimSpaces(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == QLatin1Char(' '))
        ++b;
    while (e > b && s[e - 1] == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

} // namespace

SParse::SParse(QObject *parent)
    : QObject(parent)
    , m_loader(new TVItem(this))
{
    connect(m_loader, &TVItem::ProcStart, this, &SParse::onProcStart);
    m_loader->setLineHandler([this](const QString &Line) { onNewLine(Line); });
    connect(m_loader, &TVItem::ProcDone, this, &SParse::onProcDone);
}

QString SParse::GetObjectText(const QString &ObjectHeader, const QString &IniFile)
{
    m_loader->BasePath = GamePath;
    m_keyword = ObjectHeader;
    m_name = ObjectName;
    const QChar first = m_keyword.isEmpty() ? QLatin1Char(' ') : m_keyword[0];
    m_headerFirstLower = first.toLower();
    m_headerFirstUpper = first.toUpper();
    m_loader->GetFUnitData(IniFile);
    return m_collected;
}

void SParse::onProcStart()
{
    m_reading = true;
    m_found = false;
    m_collected.clear();
    BusyHook::notify(true);
}

void SParse::onNewLine(const QString &Line)
{
    EventYield::yield();
    if (!m_reading)
        return;
    // A header names the block only when the whole name follows the keyword:
    // the block TankAB must not answer a lookup of TankA.
    if (!m_found && isHeaderLine(Line))
        m_found = true;
    if (!m_found)
        return;
    m_collected += Line;
    m_collected += kCrLf;
    if (Line.startsWith(QLatin1String("end"), Qt::CaseInsensitive))
        m_reading = false;
}

bool SParse::isHeaderLine(const QString &Line) const
{
    // Most lines are indented body text; the first character rules them out
    // without a full case-insensitive comparison.
    if (Line.isEmpty() || (Line[0] != m_headerFirstLower && Line[0] != m_headerFirstUpper))
        return false;
    const std::optional<QStringView> name = HeaderName(Line, m_keyword);
    return name && name->compare(m_name, Qt::CaseInsensitive) == 0;
}

std::optional<QStringView> SParse::HeaderName(QStringView Line, QStringView Keyword)
{
    if (Line.size() <= Keyword.size() || Line[Keyword.size()] != QLatin1Char(' ')
        || !Line.startsWith(Keyword, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView rest = Line.mid(Keyword.size() + 1);
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != QLatin1Char(' ') && rest[end] != QLatin1Char('\t')
           && rest[end] != QLatin1Char(';'))
        ++end;
    return rest.left(end);
}

void SParse::onProcDone()
{
    BusyHook::notify(false);
}

QString SParse::GetParameterValue(const QString &ObjectHeader, const QString &Parameter, const QString &IniFile)
{
    const QString text = GetObjectText(ObjectHeader, IniFile);
    return GetParameterValueNoINI(ObjectHeader, Parameter, text);
}

QString SParse::GetParameterValueNoINI(const QString &, const QString &Parameter, const QString &StrData)
{
    QString result;
    const QStringView data(StrData);
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = data.indexOf(kCrLf, start);
        const QStringView piece = data.mid(start, (end < 0 ? data.size() : end) - start);
        if (TVItem::CheckText(trimSpaces(piece), Parameter)) {
            result += ParseValue(piece);
            result += kCrLf;
        }
        if (end < 0)
            break;
        start = end + 2;
    }
    return result;
}

QString SParse::ParseValue(QStringView Line)
{
    QStringView s = Line;
    if (s.startsWith(QLatin1Char(';')))
        s = s.mid(1);
    const qsizetype semi = s.indexOf(QLatin1Char(';'));
    if (semi >= 0)
        s = s.left(semi);
    s = trimSpaces(s);
    const qsizetype space = s.lastIndexOf(QLatin1Char(' '));
    return (space < 0 ? s : s.mid(space + 1)).toString();
}

std::optional<QString> SParse::blockValue(const QString &keyword, const QString &Parameter, const QString &StrData)
{
    QString values = GetParameterValueNoINI(keyword, Parameter + QLatin1Char(' '), StrData);
    if (values.size() < 2)
        return std::nullopt;
    values.chop(2);
    return values;
}

std::optional<QString> SParse::WeaponValue(const QString &Parameter, const QString &StrData)
{
    auto value = blockValue(QStringLiteral("Weapon"), Parameter, StrData);
    EventYield::yield();
    return value;
}

std::optional<QString> SParse::LocomotorValue(const QString &Parameter, const QString &StrData)
{
    return blockValue(QStringLiteral("Locomotor"), Parameter, StrData);
}

std::optional<QString> SParse::CommandButtonValue(const QString &Parameter, const QString &StrData)
{
    return blockValue(QStringLiteral("CommandButton"), Parameter, StrData);
}

std::optional<QString> SParse::CommandSetValue(const QString &Parameter, const QString &StrData)
{
    return blockValue(QStringLiteral("CommandSet"), Parameter, StrData);
}

QStringList SParse::weaponSetsOf(const QString &StrData)
{
    static const QString setMark = QStringLiteral("  WeaponSet");
    static const QString endMark = QStringLiteral("  End");
    const QStringList lines = StrData.split(kCrLf);

    qsizetype count = 0;
    for (const QString &line : lines) {
        if (TVItem::CheckText(line, setMark))
            ++count;
    }

    QStringList sets;
    sets.resize(count + 1);
    qsizetype index = 0;
    bool inSets = false;
    for (const QString &line : lines) {
        EventYield::yield();
        if (TVItem::CheckText(line, setMark))
            inSets = true;
        if (!inSets)
            continue;
        // Whatever follows the first set goes into the current slot, so a
        // sub-block between two sets lands in the next one; the last slot is
        // never filled.
        if (index == count)
            break;
        sets[index] += line;
        sets[index] += kCrLf;
        if (TVItem::CheckText(line, endMark))
            ++index;
    }
    return sets;
}

void SParse::ExtractWeapons(const QString &StrData)
{
    WeaponSets = weaponSetsOf(StrData);
}

QString SParse::RemVBCrLf(const QString &Text)
{
    QString result;
    bool first = true;
    for (QStringView piece : QStringView(Text).split(kCrLf)) {
        if (trimSpaces(piece).isEmpty())
            continue;
        if (!first)
            result += kCrLf;
        result += piece;
        first = false;
    }
    return result;
}

const std::array<QString, SParse::HandlingCount> &SParse::handlingParameters()
{
    static const std::array<QString, HandlingCount> names = {
        QStringLiteral("Surfaces"), QStringLiteral("Speed"), QStringLiteral("SpeedDamaged"),
        QStringLiteral("TurnRate"), QStringLiteral("TurnRateDamaged"), QStringLiteral("Acceleration"),
        QStringLiteral("AccelerationDamaged"), QStringLiteral("Braking"), QStringLiteral("MinTurnSpeed"),
    };
    return names;
}

QStringList SParse::locomotorList(const QString &objectName, const QString &objectFile)
{
    ObjectName = objectName;
    QStringList names = GetParameterValue(QStringLiteral("Object"), QStringLiteral("Locomotor"),
                                          QStringLiteral("Object\\") + objectFile)
                            .split(kCrLf);
    names.removeLast(); // the empty piece after the final line end
    return names;
}

QString SParse::GetLocomotorNames(const QString &objectName, const QString &objectFile)
{
    return locomotorList(objectName, objectFile).join(kCrLf);
}

QString SParse::GetLocomotors(const QString &objectName, const QString &objectFile)
{
    QString result;
    for (const QString &name : locomotorList(objectName, objectFile)) {
        ObjectName = name;
        result += GetObjectText(QStringLiteral("Locomotor"), QStringLiteral("Locomotor.ini"));
        result += kCrLf;
    }
    return result;
}

SParse::LocomotorHandling SParse::GetLocomotorData(const QString &objectName, const QString &objectFile, int position)
{
    LocomotorHandling handling;
    const QStringList names = locomotorList(objectName, objectFile);
    if (position >= 0 && position < names.size()) {
        ObjectName = names[position];
        handling.name = ObjectName;
    }
    // Past the list ObjectName stays the object's own name and finds nothing.
    handling.blockText = GetObjectText(QStringLiteral("Locomotor"), QStringLiteral("Locomotor.ini")) + kCrLf;
    const auto &params = handlingParameters();
    for (int i = 0; i < HandlingCount; ++i)
        handling.values[i] = LocomotorValue(params[i], handling.blockText);
    return handling;
}
