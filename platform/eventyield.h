#pragma once

// Lets queued input and paint events run during a long read. Every line
// handler calls it; it hands control to the event loop at most about every
// 10 ms, so a read stays responsive without paying for a loop turn per line.
// Without an application object, and on any thread but the application's,
// it does nothing: readers may run on a worker thread too.
namespace EventYield {

// Internal: the call counter and the part of yield() that reads the clock.
extern thread_local unsigned g_calls;
void yieldSlow();

// Reading the clock costs more than a line's own work, so only every 32nd
// call looks at it.
inline void yield()
{
    if ((++g_calls & 31u) == 0)
        yieldSlow();
}

// Makes the next yield() run the event loop regardless of the time passed.
void reset();

} // namespace EventYield
