// Worker threads behind nonzero handles, with a priority set as the thread's nice value.
#pragma once

#include <cstdint>

using ThreadHandle = std::uintptr_t;

using ThreadFunction = void (*)(void* argument);

// Starts `function(argument)` on a new detached thread. Returns a nonzero handle, or 0 when no
// thread could be started.
ThreadHandle BeginThread(ThreadFunction function, void* argument);

// Win32 priorities -2 (lowest) to 2 (highest) become nice values +10, +5, 0, -5, -10 of the
// thread. A refused raise is not an error; FALSE only for a handle of no running thread.
int SetThreadPriority(ThreadHandle thread, int priority);

// Sleeps on the calling thread without handling any window message.
void SleepEx(unsigned int milliseconds, int alertable);
