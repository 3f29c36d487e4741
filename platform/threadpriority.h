#pragma once

// Background work that must never hold up typing (writing a recovery file)
// lowers the priority of the thread it runs on, for as long as that thread
// lives. On Linux threads of one process share the priority that Qt can set,
// so this uses the thread's own nice value; elsewhere Qt's low priority.
namespace ThreadPriority {

void lowerCurrentThread();

} // namespace ThreadPriority
