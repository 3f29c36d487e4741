#include "dataassist.h"

#include "manualedit/completion.h"
#include "manualedit/frmmanedit.h"

#include "engine/globals.h"

#include <Qsci/qsciscintilla.h>
#include <QLabel>
#include <QTimer>
#include <QToolTip>
#include <QtConcurrent/QtConcurrentRun>

#include <malloc.h>

namespace {

// The match marks of the search use indicator 8.
constexpr int kProblemIndicator = 9;
constexpr int kProblemMarker = 3;
constexpr int kSymbolMargin = 1;
// How long typing must pause before the check runs.
constexpr int kPauseMs = 250;
constexpr int kDwellMs = 500;

QByteArrayView textOf(const QsciScintilla *text)
{
    const long length = text->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto *data = reinterpret_cast<const char *>(text->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(data, length);
}

// The lines around a position that tell what it can be completed with:
// back to where the block's header may be, and a few after it. The control
// keeps a gap where the last edit was, the caret after typing: reading the
// whole text would have it moved to the end, a copy of all that follows on
// every key. A copy of these lines leaves it in place.
std::pair<QByteArray, long> linesAround(const QsciScintilla *text, long position)
{
    using Base = QsciScintillaBase;
    constexpr long kLinesAfter = 64;
    const long line = text->SendScintilla(Base::SCI_LINEFROMPOSITION, (unsigned long)position);
    const long lines = text->SendScintilla(Base::SCI_GETLINECOUNT);
    const long from = text->SendScintilla(Base::SCI_POSITIONFROMLINE, (unsigned long)std::max(0L, line - Completion::kMaxBlockLines));
    const long to = text->SendScintilla(Base::SCI_GETLINEENDPOSITION, (unsigned long)std::min(lines - 1, line + kLinesAfter));
    QByteArray copy(to - from + 1, Qt::Uninitialized);
    text->SendScintilla(Base::SCI_GETTEXTRANGE, from, to, copy.data());
    copy.chop(1); // the range's closing NUL
    return {copy, from};
}

} // namespace

DataAssist::DataAssist(FrmManEdit *editor, QsciScintilla *text, QLabel *panel)
    : QObject(editor)
    , m_editor(editor)
    , m_text(text)
    , m_panel(panel)
{
    m_pool.setMaxThreadCount(1);
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kPauseMs);
    connect(m_pause, &QTimer::timeout, this, &DataAssist::startCheck);
    connect(&m_watcher, &QFutureWatcher<Job>::finished, this, &DataAssist::onChecked);

    using Base = QsciScintillaBase;
    m_text->SendScintilla(Base::SCI_INDICSETSTYLE, kProblemIndicator, Base::INDIC_SQUIGGLE);
    m_text->SendScintilla(Base::SCI_INDICSETFORE, kProblemIndicator, QColor(0xd0, 0x20, 0x20));
    m_text->SendScintilla(Base::SCI_MARKERDEFINE, kProblemMarker, Base::SC_MARK_CIRCLE);
    m_text->SendScintilla(Base::SCI_MARKERSETFORE, kProblemMarker, QColor(0x80, 0x10, 0x10));
    m_text->SendScintilla(Base::SCI_MARKERSETBACK, kProblemMarker, QColor(0xe0, 0x30, 0x30));
    m_text->SendScintilla(Base::SCI_SETMARGINTYPEN, kSymbolMargin, Base::SC_MARGIN_SYMBOL);
    m_text->SendScintilla(Base::SCI_SETMARGINMASKN, kSymbolMargin, 1L << kProblemMarker);
    m_text->SendScintilla(Base::SCI_SETMARGINWIDTHN, kSymbolMargin, 12L);
    m_text->SendScintilla(Base::SCI_SETMOUSEDWELLTIME, kDwellMs);

    // Every change of the text, typed or not, is told before it happens;
    // the control is asked for nothing more (see FrmManEdit).
    connect(m_text, &QsciScintillaBase::SCN_MODIFIED, this, [this](int, int type) {
        if (type & (QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE)) {
            ++m_edits;
            if (m_ready)
                m_pause->start();
        }
    });
    connect(m_text, &QsciScintillaBase::SCN_CHARADDED, this, [this] {
        if (m_ready)
            complete(false);
    });
    connect(m_text, &QsciScintillaBase::SCN_DWELLSTART, this, &DataAssist::onDwellStart);
    connect(m_text, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
}

DataAssist::~DataAssist()
{
    // A check under way stops reading the data files.
    m_loadsNow->fetch_add(1);
}

void DataAssist::textLoading()
{
    m_ready = false;
    ++m_loads;
    m_loadsNow->store(m_loads);
    m_pause->stop();
    m_marks.clear();
    m_parameters.clear();
    m_names.clear();
    m_panel->clear();
}

void DataAssist::textLoaded(int fileIndex)
{
    m_fileIndex = fileIndex;
    m_ready = true;
    // The other files may have been saved since the last index was built.
    m_needBase = true;
    m_panel->setText(fileIndex >= 0 ? QStringLiteral("Checking...") : QString());
    // Once the window has settled with the new text, as after typing.
    m_pause->start();
}

bool DataAssist::checking() const
{
    return m_pause->isActive() || m_running;
}

void DataAssist::startCheck()
{
    if (!m_ready)
        return;
    if (m_running) {
        m_rerun = true;
        return;
    }
    m_running = true;
    const QByteArrayView view = textOf(m_text);
    const QByteArray utf8(view.data(), view.size());
    const QString gamePath = GamePath;
    const bool needBase = m_needBase;
    const DataIndex base = m_index;
    const int fileIndex = m_fileIndex;
    const unsigned loads = m_loads;
    const unsigned edits = m_edits;
    const std::shared_ptr<std::atomic<unsigned>> loadsNow = m_loadsNow;
    // On a pool of its own: Qt's painting splits image work over the global
    // pool and waits for it, so a check there would hold up the next paint.
    m_watcher.setFuture(QtConcurrent::run(&m_pool, [=] {
        Job job;
        job.loads = loads;
        job.edits = edits;
        {
            DataIndex index = base;
            if (needBase) {
                // Reading every data file is the long part: it stops when
                // another text comes in.
                index = DataIndex();
                if (!index.build(gamePath, [loadsNow, loads] { return loadsNow->load() != loads; }))
                    return job;
            }
            if (fileIndex >= 0)
                job.result = TextCheck::run(index, fileIndex, utf8);
            else
                job.result.index = std::move(index);
            // What is kept between checks is what they and the completion
            // read: the definitions of the names a block can refer to, and
            // every block of the text's own file. Objects are never referred
            // to, and the check of one file reads no other file's references.
            const QString object = DataIndex::keywords().first();
            for (int i = 0; i < job.result.index.fileCount(); ++i) {
                FileIndex file = job.result.index.file(i);
                const qsizetype blocks = file.blocks.size();
                if (i != fileIndex)
                    file.blocks.removeIf([&](const IndexBlock &block) { return block.kind == object; });
                if (!file.references.isEmpty() || file.blocks.size() != blocks) {
                    file.references = {};
                    file.blocks.squeeze();
                    job.result.index.setFile(i, std::move(file));
                }
            }
            job.parameters = Completion::parameterNames(utf8);
        }
        return job;
    }));
}

void DataAssist::onChecked()
{
    m_running = false;
    const Job job = m_watcher.result();
    const bool rerun = m_rerun;
    m_rerun = false;
    if (job.loads != m_loads) {
        // Done for a text that has gone since.
        if (m_ready)
            startCheck();
        return;
    }
    m_index = job.result.index;
    m_needBase = false;
    m_names.clear();
    m_parameters = job.parameters;
    if (job.edits == m_edits) {
        m_marks = job.result.marks;
        showMarks();
    }
    if (rerun)
        startCheck();
    // The many small pieces of the indexes the check read and dropped would
    // otherwise stay with the heap of its thread, and with the program.
    malloc_trim(0);
}

void DataAssist::showMarks()
{
    using Base = QsciScintillaBase;
    const long length = m_text->SendScintilla(Base::SCI_GETLENGTH);
    m_text->SendScintilla(Base::SCI_SETINDICATORCURRENT, kProblemIndicator);
    m_text->SendScintilla(Base::SCI_INDICATORCLEARRANGE, 0UL, length);
    m_text->SendScintilla(Base::SCI_MARKERDELETEALL, kProblemMarker);
    for (const TextCheck::Mark &mark : std::as_const(m_marks)) {
        // A name is never empty; a mark of nothing still shows a character.
        const long to = std::min<long>(length, std::max<long>(mark.to, mark.from + 1));
        m_text->SendScintilla(Base::SCI_INDICATORFILLRANGE, (unsigned long)mark.from, to - long(mark.from));
        m_text->SendScintilla(Base::SCI_MARKERADD, m_text->SendScintilla(Base::SCI_LINEFROMPOSITION, (unsigned long)mark.from),
                              long(kProblemMarker));
    }
    if (m_fileIndex < 0)
        m_panel->clear();
    else
        m_panel->setText(m_marks.isEmpty() ? QStringLiteral("No problems") : QStringLiteral("Problems: %1").arg(m_marks.size()));
}

QList<QByteArray> DataAssist::namesFor(const QByteArray &keyword)
{
    auto it = m_names.find(keyword);
    if (it == m_names.end())
        it = m_names.insert(keyword, TextCheck::definedNames(m_index, QString::fromLatin1(keyword)));
    return *it;
}

bool DataAssist::complete(bool onDemand)
{
    using Base = QsciScintillaBase;
    const long caret = m_text->SendScintilla(Base::SCI_GETCURRENTPOS);
    const auto [lines, from] = linesAround(m_text, caret);
    Completion::Context context = Completion::contextAt(lines, caret - from);
    context.start += from;
    QList<QByteArray> offered;
    if (context.what != Completion::Context::Nothing && (onDemand || !context.prefix.isEmpty())) {
        offered = Completion::narrowed(context.what == Completion::Context::Name ? namesFor(context.kind)
                                                                                  : m_parameters.value(context.kind),
                                       context.prefix);
    }
    // Nothing to offer while typing once the word is whole.
    if (!onDemand && offered.size() == 1 && offered.first().compare(context.prefix, Qt::CaseInsensitive) == 0)
        offered.clear();
    if (offered.isEmpty()) {
        if (m_text->SendScintilla(Base::SCI_AUTOCACTIVE))
            m_text->SendScintilla(Base::SCI_AUTOCCANCEL);
        if (onDemand)
            emit note(context.what == Completion::Context::Nothing ? QStringLiteral("Nothing to complete here")
                                                                   : QStringLiteral("No names to offer"));
        return false;
    }
    const QByteArray list = offered.join('\n');
    // Setting a lexer resets how the list compares, so the list's options
    // are given each time it is shown.
    m_text->SendScintilla(Base::SCI_AUTOCSETSEPARATOR, '\n');
    m_text->SendScintilla(Base::SCI_AUTOCSETIGNORECASE, 1L);
    m_text->SendScintilla(Base::SCI_AUTOCSETCASEINSENSITIVEBEHAVIOUR, Base::SC_CASEINSENSITIVEBEHAVIOUR_IGNORECASE);
    m_text->SendScintilla(Base::SCI_AUTOCSETAUTOHIDE, 1L);
    m_text->SendScintilla(Base::SCI_AUTOCSETMAXHEIGHT, 12L);
    m_text->SendScintilla(Base::SCI_AUTOCSHOW, (unsigned long)context.prefix.size(), list.constData());
    return true;
}

bool DataAssist::nextProblem()
{
    if (m_marks.isEmpty()) {
        emit note(QStringLiteral("No problems"));
        return false;
    }
    using Base = QsciScintillaBase;
    const long caret = m_text->SendScintilla(Base::SCI_GETCURRENTPOS);
    const auto next = std::find_if(m_marks.cbegin(), m_marks.cend(),
                                   [caret](const TextCheck::Mark &mark) { return mark.from > caret; });
    const TextCheck::Mark &mark = next == m_marks.cend() ? m_marks.first() : *next;
    const long line = m_text->SendScintilla(Base::SCI_LINEFROMPOSITION, (unsigned long)mark.from);
    m_text->SendScintilla(Base::SCI_ENSUREVISIBLEENFORCEPOLICY, (unsigned long)line);
    m_text->SendScintilla(Base::SCI_GOTOPOS, (unsigned long)mark.from);
    emit note(mark.message);
    return true;
}

QStringList DataAssist::cardRowsAt(int position) const
{
    const QString name = m_editor->nameAt(position);
    if (name.isEmpty())
        return {};
    return TextCheck::cardRows(m_index, GamePath, name, m_fileIndex, textOf(m_text));
}

void DataAssist::onDwellStart(int position, int x, int y)
{
    if (position < 0 || !m_ready)
        return;
    QString html;
    for (const TextCheck::Mark &mark : std::as_const(m_marks)) {
        if (mark.from <= position && position < std::max(mark.to, mark.from + 1))
            html += QStringLiteral("<p><b>%1</b></p>").arg(mark.message.toHtmlEscaped());
    }
    const QStringList rows = cardRowsAt(position);
    if (!rows.isEmpty()) {
        html += QStringLiteral("<p><b>%1</b><br><i>%2</i></p>").arg(rows[0].toHtmlEscaped(), rows[1].toHtmlEscaped());
        if (rows.size() > 2)
            html += QStringLiteral("<pre>%1</pre>").arg(rows.mid(2).join(u'\n').toHtmlEscaped());
    }
    if (!html.isEmpty())
        QToolTip::showText(m_text->viewport()->mapToGlobal(QPoint(x, y)), html, m_text->viewport());
}
