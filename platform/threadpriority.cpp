#include "threadpriority.h"

#include <QThread>

#if defined(Q_OS_LINUX)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace ThreadPriority {

void lowerCurrentThread()
{
#if defined(Q_OS_LINUX)
    // A nice value of 10 gives the thread about a tenth of the weight of the
    // event loop's thread when both want the processor. Failure changes nothing.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
#else
    QThread::currentThread()->setPriority(QThread::LowPriority);
#endif
}

} // namespace ThreadPriority
