#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QIODevice;

// Reads game files line by line and raises one NewLine per line; every reader
// of game data in the program is a handler of these events.
//
// Only CR LF or a lone CR ends a line; a stray LF stays in the text, as the
// game's own line input reads it. A last line without a line end is still
// delivered. A file is read in chunks and never held whole in memory. A file
// that cannot be opened (missing, unreadable, a folder) reads as one without
// lines; the operations that raise ProcStart and ProcDone still raise both.
class TVItem : public QObject
{
    Q_OBJECT

public:
    explicit TVItem(QObject *parent = nullptr);

    // The game folder that relative paths start from; callers set it to GamePath.
    QString BasePath;
    // Owned by the caller; the loader never reads or changes it.
    int Pass = 0;

    // The number announced for an object file name (exact comparison), 0 for any other name.
    static int fileNumber(const QString &key);

    // Case-sensitive prefix test used by every line handler: true when StrString
    // begins with StringToFind; an empty StringToFind always matches.
    static bool CheckText(QStringView StrString, QStringView StringToFind);

    // Raises LoadingItem, then reads BasePath\Data\INI\Object\Key.
    void AddTVItem(const QString &Key);
    // The owner of a loader may take its lines through a direct call instead
    // of the NewLine signal: a signal costs about as much as reading the line,
    // and lookups read whole files for every value they show. The handler is
    // called for each line before NewLine is emitted; an empty one removes it.
    using LineHandler = std::function<void(const QString &Line)>;
    void setLineHandler(LineHandler handler) { m_lineHandler = std::move(handler); }
    // For a reader that looks at each line only while it is called: the line
    // as a view into the loader's own buffer, valid until the handler
    // returns. With neither a line handler nor a NewLine receiver, a read
    // then decodes each chunk once instead of a string per line. Called
    // before the line handler; an empty one removes it.
    using ViewHandler = std::function<void(QStringView Line)>;
    void setViewHandler(ViewHandler handler) { m_viewHandler = std::move(handler); }

    // Reads a file given by its full path (Windows or native form).
    void OpenFile(const QString &strFileName);
    // Reads bytes held in memory (a stock copy, an editor's text) exactly as
    // OpenFile reads a file with those bytes.
    void ReadText(const QByteArray &bytes);
    // ProcStart, the lines of BasePath\Data\INI\IniName (Object\FactionUnit.ini
    // when IniName is null), ProcDone.
    void GetFUnitData(const QString &IniName = QString());
    // As GetFUnitData on Locomotor.ini.
    void GetLocomotorData();

signals:
    void NewLine(const QString &Line);
    void ProcStart();
    void ProcDone();
    void LoadingItem(const QString &Key, int Index);

private:
    void readDevice(QIODevice &file);

    LineHandler m_lineHandler;
    ViewHandler m_viewHandler;
};
