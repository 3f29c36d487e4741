#pragma once

// Lets queued input and paint events run during a long read. Every line
// handler calls it; it hands control to the event loop at most about every
// 10 ms, so a read stays responsive without paying for a loop turn per line.
// Without an application object it does nothing.
namespace EventYield {

void yield();

// Makes the next yield() run the event loop regardless of the time passed.
void reset();

} // namespace EventYield
