#include "settingsstore.h"

#include "platform/eventyield.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

QSettings store(const QString &app)
{
    // No application part: the file is named after the application name alone
    // ("Torvane Zarnith.conf"); on Linux the native format is the INI syntax.
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, app, QString());
}

} // namespace

QString SettingsStore::read(const QString &app, const QString &section, const QString &key, const QString &defaultValue)
{
    const QVariant value = store(app).value(keyPath(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SettingsStore::write(const QString &app, const QString &section, const QString &key, const QString &value)
{
    store(app).setValue(keyPath(section, key), value);
}

bool SettingsStore::deleteSection(const QString &app, const QString &section)
{
    QSettings s = store(app);
    s.beginGroup(section);
    const bool existed = !s.allKeys().isEmpty();
    s.endGroup();
    s.remove(section);
    return existed;
}

void SettingsStore::redirectTo(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

void SettingsStore::sync()
{
    store(QString::fromLatin1(Settings::AppName)).sync();
    store(QString::fromLatin1(Settings::WizardAppName)).sync();
}

QString Setting::read() const
{
    return SettingsStore::read(QString::fromLatin1(app), QString::fromLatin1(section), QString::fromLatin1(key),
                               defaultValue ? QString::fromLatin1(defaultValue) : QString());
}

QString Setting::read(const QString &currentValue) const
{
    return SettingsStore::read(QString::fromLatin1(app), QString::fromLatin1(section), QString::fromLatin1(key),
                               currentValue);
}

void Setting::write(const QString &value) const
{
    SettingsStore::write(QString::fromLatin1(app), QString::fromLatin1(section), QString::fromLatin1(key), value);
}

namespace Settings {

QString searchItemKey(int index)
{
    return QString::number(index) + QStringLiteral("Name");
}

QString readSearchItem(int index)
{
    return SettingsStore::read(QString::fromLatin1(AppName), QString::fromLatin1(SearchListSection),
                               searchItemKey(index), QString());
}

void writeSearchItem(int index, const QString &text)
{
    SettingsStore::write(QString::fromLatin1(AppName), QString::fromLatin1(SearchListSection), searchItemKey(index),
                         text);
}

QString windowKey(const QString &windowName, const char *suffix)
{
    return windowName + QString::fromLatin1(suffix);
}

QString readWindowValue(const QString &windowName, const char *suffix, const QString &currentValue)
{
    return SettingsStore::read(QString::fromLatin1(AppName), QString::fromLatin1(EditWHSection),
                               windowKey(windowName, suffix), currentValue);
}

void writeWindowValue(const QString &windowName, const char *suffix, const QString &value)
{
    SettingsStore::write(QString::fromLatin1(AppName), QString::fromLatin1(EditWHSection),
                         windowKey(windowName, suffix), value);
}

QString GetSetMain(const QString &Name)
{
    return GetSet(Name);
}

QString GetSet(const QString &Name, const QString &Default)
{
    return SettingsStore::read(QString::fromLatin1(AppName), QString::fromLatin1(SettingsSection), Name,
                               Default.isNull() ? QStringLiteral("1") : Default);
}

void SaveSet(const QString &Name, const QString &Value)
{
    SettingsStore::write(QString::fromLatin1(AppName), QString::fromLatin1(SettingsSection), Name, Value);
}

void SaveSetAndYield(const QString &Name, const QString &Value)
{
    SaveSet(Name, Value);
    EventYield::reset();
    EventYield::yield();
}

void seedTreeFont(const QString &face, int pointSize)
{
    if (SettingsStore::read(QString::fromLatin1(AppName), QString::fromLatin1(SettingsSection),
                            QString::fromLatin1(MenuiFont.key), QString()).isNull()) {
        MenuiFont.write(face);
        MenuiFontSize.write(QString::number(pointSize));
        MenuiBold.write(boolText(false));
        MenuiItalic.write(boolText(false));
        MenuiStrikeout.write(boolText(false));
        MenuiUnderline.write(boolText(false));
    }
}

bool textIsTrue(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const long long n = t.toLongLong(&ok);
    return ok && n != 0;
}

} // namespace Settings
