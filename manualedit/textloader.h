#pragma once

#include <QByteArray>
#include <QFuture>
#include <QThreadPool>

#include <atomic>
#include <memory>

class QsciScintillaBase;

// Puts a text into a new document of the text control on a worker thread,
// through the loader the control offers for loading in the background. A
// document that no view shows yet keeps no view's line data up to date and
// undoes nothing, so it fills faster than the shown one, and the window keeps
// answering meanwhile. The text is UTF-8, the new document's code page.
class TextLoader
{
public:
    explicit TextLoader(QsciScintillaBase *control);
    // Stops a load still running and drops its document.
    ~TextLoader();
    TextLoader(const TextLoader &) = delete;
    TextLoader &operator=(const TextLoader &) = delete;

    // Starts filling a new document with the text; false when the control
    // could make none, and show() then fails. The control shows an empty
    // document until show().
    bool start(const QByteArray &utf8);
    // Finishes once the worker has put the text in, or stopped.
    QFuture<void> future() const { return m_future; }
    // Asks the worker to stop at the next piece; the document is dropped.
    void cancel();
    // Once the future has finished: makes the control show the filled
    // document (its previous one is released). False, with nothing changed,
    // when the load was cancelled or ran out of memory.
    bool show();

private:
    struct Job;
    void drop();

    QsciScintillaBase *m_control;
    QThreadPool m_pool;
    std::shared_ptr<Job> m_job;
    QFuture<void> m_future;
};
