#include "datagen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {

const char *const kSides[] = {"America", "China", "GLA", "CINE", "Other"};

QByteArray objectBlock(int n)
{
    const QByteArray name = QByteArray(kSides[n % 5]) + "Unit" + QByteArray::number(n);
    QByteArray b;
    b += "Object " + name + "\r\n";
    b += "  ; generated unit " + QByteArray::number(n) + "\r\n";
    b += "  DisplayName = OBJECT:" + name + "\r\n";
    b += "  Side = " + QByteArray(kSides[n % 5]) + "\r\n";
    b += "  BuildCost = " + QByteArray::number(100 + n % 900) + "\r\n";
    b += "  BuildTime = " + QByteArray::number(5 + n % 20) + ".0\r\n";
    b += "  VisionRange = 150.0\r\n  ShroudClearingRange = 200.0\r\n";
    b += "  CommandSet = GenSet" + QByteArray::number(n % 15) + "\r\n";
    for (int s = 0; s < 2; ++s) {
        b += "  WeaponSet\r\n";
        if (s)
            b += "    Conditions = PLAYER_UPGRADE\r\n";
        b += "    Weapon = PRIMARY GenWeapon" + QByteArray::number((n + s) % 30) + "\r\n";
        b += "  End\r\n";
    }
    b += "  ArmorSet\r\n    Conditions = None\r\n    Armor = GenArmor" + QByteArray::number(n % 10) + "\r\n  End\r\n";
    b += "  Locomotor = SET_NORMAL GenLoco" + QByteArray::number(n % 15) + "\r\n";
    b += "  Body = ActiveBody ModuleTag_02\r\n    MaxHealth = 300.0\r\n    InitialHealth = 300.0\r\n  End\r\n";
    b += "  Draw = W3DModelDraw ModuleTag_01\r\n    DefaultConditionState\r\n      Model = GEN_" + name + "\r\n"
         "    End\r\n  End\r\n";
    b += "End\r\n\r\n";
    return b;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

namespace DataGen {

double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e100;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

QString writeObjectFile(const QString &path, qint64 targetBytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    qint64 written = 0;
    int n = 0;
    QByteArray last;
    while (written < targetBytes) {
        const QByteArray block = objectBlock(n);
        f.write(block);
        written += block.size();
        last = QByteArray(kSides[n % 5]) + "Unit" + QByteArray::number(n);
        ++n;
    }
    return QString::fromLatin1(last);
}

bool writeGame(const QString &folder, qint64 targetBytes)
{
    const QString ini = folder + QStringLiteral("/Data/INI/");
    const char *const objectFiles[] = {"FactionUnit.ini", "FactionBuilding.ini", "FactionProp.ini",
                                       "CivilianBuilding.ini", "CivilianUnit.ini", "CivilianProp.ini",
                                       "NatureProp.ini", "NatureUnit.ini"};
    const qint64 perFile = targetBytes / 8;
    for (const char *file : objectFiles) {
        if (writeObjectFile(ini + QStringLiteral("Object/") + QLatin1String(file), perFile).isEmpty())
            return false;
    }
    QByteArray weapons, armour, locos, buttons, sets;
    // Half the weapons deal a damage type that the armours name, half one
    // that only their DEFAULT line covers.
    for (int i = 0; i < 30; ++i)
        weapons += "Weapon GenWeapon" + QByteArray::number(i) + "\r\n  PrimaryDamage = " + QByteArray::number(10 + i)
                   + ".0\r\n  AttackRange = 100.0\r\n  DamageType = " + (i % 2 ? "SMALL_ARMS" : "ARMOR_PIERCING")
                   + "\r\n  DelayBetweenShots = 500\r\n  ReloadDelay = " + QByteArray::number(500 + 100 * (i % 5))
                   + "\r\nEnd\r\n\r\n";
    for (int i = 0; i < 10; ++i)
        armour += "Armor GenArmor" + QByteArray::number(i) + "\r\n  Armor = DEFAULT 100%\r\n  Armor = SMALL_ARMS 50%\r\nEnd\r\n\r\n";
    for (int i = 0; i < 15; ++i)
        locos += "Locomotor GenLoco" + QByteArray::number(i) + "\r\n  Surfaces = GROUND\r\n  Speed = 30\r\n"
                 "  SpeedDamaged = 20\r\n  TurnRate = 180\r\n  TurnRateDamaged = 120\r\n  Acceleration = 60\r\n"
                 "  AccelerationDamaged = 40\r\n  Braking = 80\r\n  MinTurnSpeed = 0\r\nEnd\r\n\r\n";
    for (int i = 0; i < 40; ++i)
        buttons += "CommandButton Command_Gen" + QByteArray::number(i) + "\r\n  Command = UNIT_BUILD\r\n"
                   "  ButtonBorderType = BUILD\r\nEnd\r\n\r\n";
    for (int i = 0; i < 15; ++i) {
        sets += "CommandSet GenSet" + QByteArray::number(i) + "\r\n";
        for (int s = 1; s <= 12; ++s)
            sets += "  " + QByteArray::number(s) + " = Command_Gen" + QByteArray::number((i + s) % 40) + "\r\n";
        sets += "End\r\n\r\n";
    }
    return writeFile(ini + QStringLiteral("Weapon.ini"), weapons) && writeFile(ini + QStringLiteral("Armor.ini"), armour)
        && writeFile(ini + QStringLiteral("Locomotor.ini"), locos)
        && writeFile(ini + QStringLiteral("CommandButton.ini"), buttons)
        && writeFile(ini + QStringLiteral("CommandSet.ini"), sets);
}

} // namespace DataGen
