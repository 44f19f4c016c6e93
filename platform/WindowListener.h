// The receiving side of a window socket: a thread that accepts the connections of other copies,
// checks that each comes from this user, and hands every well-formed message to the sink.
#pragma once

#include "Window.h"

#include <thread>

class WindowListener {
public:
    // Takes over `listeningSocket` (bound and listening) and `stopEvent` (an eventfd that
    // ends the thread when signalled) and starts the thread.
    WindowListener(int listeningSocket, int stopEvent, WindowMessageSink& sink);
    // Stops the thread and closes every socket; the sink gets nothing afterwards.
    ~WindowListener();
    WindowListener(const WindowListener&) = delete;
    WindowListener& operator=(const WindowListener&) = delete;

private:
    void Run();

    int m_listeningSocket;
    int m_stopEvent;
    WindowMessageSink& m_sink;
    std::thread m_thread;
};
