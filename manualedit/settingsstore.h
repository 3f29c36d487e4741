#pragma once

#include <QString>

// The per-user settings: text values addressed by application name, section
// and key, kept in QSettings' INI syntax with the application name as the
// organization ("~/.config/Torvane Zarnith.conf"). Store access never reports
// to the user; a reader gets its default when a key is missing.
class SettingsStore
{
public:
    static QString read(const QString &app, const QString &section, const QString &key, const QString &defaultValue);
    static void write(const QString &app, const QString &section, const QString &key, const QString &value);
    // False when the section held nothing; callers ignore that.
    static bool deleteSection(const QString &app, const QString &section);

    // Sends every later read and write to folder instead of the user's
    // configuration folder; tests use it so they never touch real settings.
    static void redirectTo(const QString &folder);

    // Writes anything pending to disk.
    static void sync();
};

// One stored value with its address and the default its reader uses. Where
// two readers use different defaults, both are declared.
struct Setting
{
    const char *app;
    const char *section;
    const char *key;
    const char *defaultValue;

    QString read() const;
    // Reads with a default that depends on the caller's state (a window's current size).
    QString read(const QString &currentValue) const;
    void write(const QString &value) const;
};

namespace Settings {

inline constexpr char AppName[] = "Torvane Zarnith";
inline constexpr char WizardAppName[] = "Wizards";

inline constexpr char SettingsSection[] = "Settings";
inline constexpr char SearchListSection[] = "Search List";
inline constexpr char EditWHSection[] = "EditWH";
inline constexpr char PathsSection[] = "Paths";

// Page of the main window's information tabs shown once an object is loaded.
// The main window reads "1" when nothing is stored, the options window 5.
inline constexpr Setting InfoTabMain{AppName, SettingsSection, "InfoTab", "1"};
inline constexpr Setting InfoTabOptions{AppName, SettingsSection, "InfoTab", "5"};
// "1" asks before quitting, "0" does not.
inline constexpr Setting ExitMain{AppName, SettingsSection, "Exit", "1"};
inline constexpr Setting ExitOptions{AppName, SettingsSection, "Exit", "1"};
// The object tree's font. Nothing seeds these; with an empty store every one
// reads "1" (a face named "1", size 1, every style on).
inline constexpr Setting MenuiFont{AppName, SettingsSection, "MenuiFont", "1"};
inline constexpr Setting MenuiFontSize{AppName, SettingsSection, "MenuiFontSize", "1"};
inline constexpr Setting MenuiBold{AppName, SettingsSection, "MenuiBold", "1"};
inline constexpr Setting MenuiItalic{AppName, SettingsSection, "MenuiItalic", "1"};
inline constexpr Setting MenuiStrikeout{AppName, SettingsSection, "MenuiStrikeout", "1"};
inline constexpr Setting MenuiUnderline{AppName, SettingsSection, "MenuiUnderline", "1"};
// The manual editor's font; the default is the editor's current value.
inline constexpr Setting ManEditName{AppName, SettingsSection, "ManEditName", nullptr};
inline constexpr Setting ManEditBold{AppName, SettingsSection, "ManEditBold", nullptr};
inline constexpr Setting ManEditItalic{AppName, SettingsSection, "ManEditItalic", nullptr};
inline constexpr Setting ManEditStrikethrough{AppName, SettingsSection, "ManEditStrikethrough", nullptr};
inline constexpr Setting ManEditUnderline{AppName, SettingsSection, "ManEditUnderline", nullptr};
inline constexpr Setting ManEditSize{AppName, SettingsSection, "ManEditSize", nullptr};
// The manual editor's search history: a count, then "0Name", "1Name", ...
inline constexpr Setting SearchItemNum{AppName, SearchListSection, "ItemNum", "-1"};
QString searchItemKey(int index);
QString readSearchItem(int index);
void writeSearchItem(int index, const QString &text);
// The game folder. Start-up reads it with the stored default text; the wizard
// tests whether anything is stored by reading with "-1".
inline constexpr Setting CCPath{AppName, PathsSection, "CCPath", "C:\\Program Files\\Ostrel\\Torvane"};
inline constexpr Setting CCPathProbe{AppName, PathsSection, "CCPath", "-1"};
// Written as "1" at start-up; nothing reads it.
inline constexpr Setting TVPos{AppName, "TVPos", "Pos", ""};
// Compared with "ShowIntro" by the wizard; nothing writes it.
inline constexpr Setting IntroductionScreen{WizardAppName, "WizardTemplate", "IntroductionScreen", ""};

// Window placement, in twips: window name + "_Height", "_Width", "_Top",
// "_Left", and window name + "WindowState" (0 normal, 1 minimised, 2 maximised).
QString windowKey(const QString &windowName, const char *suffix);
QString readWindowValue(const QString &windowName, const char *suffix, const QString &currentValue);
void writeWindowValue(const QString &windowName, const char *suffix, const QString &value);

// Section "Settings" readers and writers as the windows use them.
// The main window's reader: "1" when the key is missing.
QString GetSetMain(const QString &Name);
// The manual editor's and the options window's reader: Default, or "1" when none is given.
QString GetSet(const QString &Name, const QString &Default = QString());
// The options window's writer.
void SaveSet(const QString &Name, const QString &Value);
// The manual editor's writer: the same, then one turn of the event loop.
void SaveSetAndYield(const QString &Name, const QString &Value);

// Stores a readable tree font (face, size, no styles) when none is stored
// yet, so that a first start does not read "1" for every font key.
void seedTreeFont(const QString &face, int pointSize);

// Text forms of stored values.
inline QString boolText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }
// "True", "1" and "-1" (and any non-zero number) read as true, as the stored
// defaults "1" require.
bool textIsTrue(const QString &text);

} // namespace Settings
