#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

// Every top-level block of one kind as a record, for spreadsheets and
// scripts: its name, file, header line and parameters, with its nested
// blocks. Blocks are found by the engine index's rules (dataindex.h), in
// DataCheck::dataFiles() order and then file order.
//
// Inside a block, a parameter line is "Key = Value ; comment": the key is the
// text before the first "=", the value the text after it without its comment,
// both trimmed; a line without "=" is a key with an empty value. Comment lines
// and blank lines are left out. A nested block is a line that the next
// line (blank and comment lines passed over) is indented deeper than, or
// followed by an End line at its own indentation (a tab reaches the next
// multiple of 8 columns); it runs to its own End line: "WeaponSet",
// "Pose DEFAULT", "Visual = MeshVisual Vis01".
using TableParam = std::pair<QString, QString>;

struct TableBlock
{
    QString header; // the line trimmed, without its comment
    QList<TableParam> params;
    QList<TableBlock> blocks;
};

struct TableRecord
{
    QString name;
    QString file; // as check writes it
    int line = 0; // the header line
    QList<TableParam> params;
    QList<TableBlock> blocks;
};

Q_DECLARE_TYPEINFO(TableBlock, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(TableRecord, Q_RELOCATABLE_TYPE);

namespace Tables {

// The kinds `table` takes, with their header keywords:
// objects, weapons, armours, locomotors, commandbuttons, commandsets.
const QStringList &kinds();
std::optional<QString> keywordOf(const QString &kind);

// Every block of the keyword in the game's data files; without nested, the
// records hold only their top-level parameters (all that CSV and TSV show).
// Empty when cancelled returns true (asked between lines).
QList<TableRecord> read(const QString &gamePath, const QString &keyword, bool nested = true,
                        const std::function<bool()> &cancelled = {});

// The parameters and nested blocks of a block's lines between its header and
// End line (without nested, the top-level parameters only).
TableBlock parseBody(const QStringList &lines, bool nested = true);

// An array of {"name", "file", "line", "params": [[key, value], ...],
// "blocks": [{"header", "params", "blocks"}, ...]} as UTF-8.
QByteArray json(const QList<TableRecord> &records);
// A header row "name, file, line" and every top-level key in the order first
// seen, then one row per record; the values of a key repeated in one block are
// joined by " | "; nested blocks are left out.
// RFC 4180 (fields quoted where needed, CR LF line ends), UTF-8.
QByteArray csv(const QList<TableRecord> &records);
// The same rows tab-separated, UTF-8, each ended by LF; a tab, CR or LF
// inside a field is written as \t, \r or \n.
QByteArray tsv(const QList<TableRecord> &records);

// One field as csv() and tsv() write it, appended to out.
void csvField(QByteArray &out, QStringView text);
void tsvField(QByteArray &out, QStringView text);

// csv(read(gamePath, keyword, false)) or tsv(...) alike, read straight into
// rows without making the records.
enum Format { Csv, Tsv };
QByteArray rows(const QString &gamePath, const QString &keyword, Format format);

} // namespace Tables
