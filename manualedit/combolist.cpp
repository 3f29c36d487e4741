#include "combolist.h"

#include "manualedit/settingsstore.h"

#include <QComboBox>

#include <algorithm>

namespace {

QString itemNumKey()
{
    return QString::fromLatin1(Settings::SearchItemNum.key);
}

// Changing a combo's list moves its current index, and an editable combo
// then shows that entry's text; the user's search text must stay.
class EditTextKeeper
{
public:
    explicit EditTextKeeper(QComboBox *combo)
        : m_combo(combo)
        , m_text(combo->currentText())
    {
    }
    ~EditTextKeeper()
    {
        if (m_combo->isEditable() && m_combo->currentText() != m_text)
            m_combo->setEditText(m_text);
    }

private:
    QComboBox *m_combo;
    QString m_text;
};

} // namespace

namespace ComboList {

void LoadComboList(const QString &app, const QString &section, QComboBox *combo)
{
    EditTextKeeper keep(combo);
    combo->clear();
    bool ok = false;
    const int n = SettingsStore::read(app, section, itemNumKey(), QString::fromLatin1(Settings::SearchItemNum.defaultValue))
                      .trimmed()
                      .toInt(&ok);
    if (!ok || n <= 0)
        return;
    QStringList items;
    for (int i = 0; i < std::min(n, 32767); ++i)
        items.append(SettingsStore::read(app, section, Settings::searchItemKey(i), QString()));
    combo->addItems(items);
}

void SaveComboList(const QString &app, const QString &section, const QComboBox *combo)
{
    const int count = combo->count();
    if (count == 0)
        return;
    for (int i = 0; i < count; ++i)
        SettingsStore::write(app, section, Settings::searchItemKey(i), combo->itemText(i));
    SettingsStore::write(app, section, itemNumKey(), QString::number(count));
}

void RemoveDuplicateItems(QComboBox *combo)
{
    EditTextKeeper keep(combo);
    for (int i = 0; i < combo->count(); ++i) {
        const QString text = combo->itemText(i);
        for (int j = i + 1; j < combo->count();) {
            if (combo->itemText(j) == text)
                combo->removeItem(j);
            else
                ++j;
        }
    }
}

} // namespace ComboList
