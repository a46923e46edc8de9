// The little threading the batch needs, on POSIX threads or on Windows' own: MinGW-w64's
// win32 thread model has no std::thread, std::mutex or std::condition_variable.
#pragma once

#include <memory>

namespace vessane::cli {

// A mutex with one condition: enough for a queue of blocks.
class Monitor {
public:
    Monitor();
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void Lock();
    void Unlock();
    // Releases the lock until NotifyAll is called, then takes it again.
    void Wait();
    void NotifyAll();

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

class MonitorLock {
public:
    explicit MonitorLock(Monitor& monitor) : monitor_(monitor) { monitor_.Lock(); }
    ~MonitorLock() { monitor_.Unlock(); }
    MonitorLock(const MonitorLock&) = delete;
    MonitorLock& operator=(const MonitorLock&) = delete;

private:
    Monitor& monitor_;
};

// A thread running body(argument); joined when destroyed. It computes in the floating-
// point environment of the thread that made it: a new Windows thread starts with the x87
// unit at 53-bit precision where the program's first thread has 64, and the runtime's
// exp and log, which use it, would then differ in the last bit.
class Thread {
public:
    Thread(void (*body)(void*), void* argument);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Whether the thread could be started.
    bool started() const;

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

// The processors this process may run on (at least 1).
int AvailableProcessors();

}  // namespace vessane::cli
