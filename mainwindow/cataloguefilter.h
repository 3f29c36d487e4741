#pragma once

#include <QSortFilterProxyModel>

// Narrows the catalogue to the objects whose names contain the typed text,
// in any letter case; their category, side and group nodes stay so each
// object is still found where it belongs. An empty text shows everything.
class CatalogueFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CatalogueFilter(QObject *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return m_text; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QString m_text;
};
