#include "textloader.h"

#include "manualedit/blockformat.h"

#include <Qsci/qsciscintillabase.h>
#include <QtConcurrent/QtConcurrentRun>

#include <cstddef>

// The text control's interface for filling a document away from the event
// loop's thread, as its library declares it; its headers are not installed.
// SCI_CREATELOADER hands one out, for a new document holding one reference.
class ILoader
{
public:
    virtual int Release() = 0;
    // 0, or the control's SC_STATUS_ code of what went wrong.
    virtual int AddData(const char *data, std::ptrdiff_t length) = 0;
    // The document, to show with SCI_SETDOCPOINTER; still one reference.
    virtual void *ConvertToDocument() = 0;
};

namespace {

// The worker puts the text in a piece of about this many bytes at a time, and
// looks between pieces whether it should stop.
constexpr qsizetype kPiece = 4 * 1024 * 1024;
constexpr qsizetype kRoom = 64 * 1024;

// Where a piece starting at from should end: just past the first line end at
// or after from + kPiece, never between the CR and LF of one line end.
qsizetype pieceEnd(const QByteArray &text, qsizetype from)
{
    const qsizetype n = text.size();
    if (from + kPiece >= n)
        return n;
    return BlockFormat::nextLineStart(text, from + kPiece);
}

} // namespace

struct TextLoader::Job
{
    ILoader *loader = nullptr;
    QByteArray text;
    std::atomic<bool> cancelled{false};
    int status = 0;
};

TextLoader::TextLoader(QsciScintillaBase *control)
    : m_control(control)
{
    m_pool.setMaxThreadCount(1);
}

TextLoader::~TextLoader()
{
    cancel();
    m_future.waitForFinished();
    drop();
}

bool TextLoader::start(const QByteArray &utf8)
{
    cancel();
    m_future.waitForFinished();
    drop();
    // Making a loader also resets the view's record of which lines are
    // folded, as for a new document: the control shows an empty one
    // meanwhile, and its old text is released now rather than after.
    const long eolMode = m_control->SendScintilla(QsciScintillaBase::SCI_GETEOLMODE);
    m_control->SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, static_cast<void *>(nullptr));
    m_control->SendScintilla(QsciScintillaBase::SCI_SETEOLMODE, (unsigned long)eolMode);
    // Sized with room to spare: a buffer filled to the last byte is copied
    // whole, to grow, by the first key typed or the first look at the text.
    auto *loader = reinterpret_cast<ILoader *>(
        m_control->SendScintilla(QsciScintillaBase::SCI_CREATELOADER, (unsigned long)(utf8.size() + kRoom), 0L));
    if (!loader)
        return false;
    m_job = std::make_shared<Job>();
    m_job->loader = loader;
    m_job->text = utf8;
    m_future = QtConcurrent::run(&m_pool, [job = m_job] {
        const QByteArray &text = job->text;
        qsizetype from = 0;
        while (from < text.size() && !job->cancelled.load(std::memory_order_relaxed)) {
            const qsizetype end = pieceEnd(text, from);
            // By length: a NUL byte is text like any other.
            job->status = job->loader->AddData(text.constData() + from, end - from);
            if (job->status != 0)
                break;
            from = end;
        }
        job->text = QByteArray();
    });
    return true;
}

void TextLoader::cancel()
{
    if (m_job)
        m_job->cancelled = true;
}

bool TextLoader::show()
{
    if (!m_job || !m_future.isFinished())
        return false;
    if (m_job->cancelled || m_job->status != 0) {
        drop();
        return false;
    }
    void *document = m_job->loader->ConvertToDocument();
    m_job->loader = nullptr;
    m_job.reset();
    // Showing a document takes a reference of its own; the loader's goes.
    const long eolMode = m_control->SendScintilla(QsciScintillaBase::SCI_GETEOLMODE);
    m_control->SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, document);
    m_control->SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0UL, document);
    m_control->SendScintilla(QsciScintillaBase::SCI_SETEOLMODE, (unsigned long)eolMode);
    return true;
}

void TextLoader::drop()
{
    if (m_job && m_job->loader)
        m_job->loader->Release();
    m_job.reset();
}
