#include "threads.h"

#include <cfenv>

#include "windows_api.h"

#ifndef _WIN32
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace vessane::cli {

#ifdef _WIN32

struct Monitor::Native {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};
Monitor::Monitor() : native_(new Native) {}
Monitor::~Monitor() = default;
void Monitor::Lock() {
    AcquireSRWLockExclusive(&native_->lock);
}
void Monitor::Unlock() {
    ReleaseSRWLockExclusive(&native_->lock);
}
void Monitor::Wait() {
    SleepConditionVariableSRW(&native_->condition, &native_->lock, INFINITE, 0);
}
void Monitor::NotifyAll() {
    WakeAllConditionVariable(&native_->condition);
}

struct Thread::Native {
    void (*body)(void*);
    void* argument;
    std::fenv_t environment;
    HANDLE handle = nullptr;
    static DWORD WINAPI Start(void* native) {
        auto* self = static_cast<Native*>(native);
        std::fesetenv(&self->environment);
        self->body(self->argument);
        return 0;
    }
};
Thread::Thread(void (*body)(void*), void* argument) : native_(new Native{body, argument, {}}) {
    std::fegetenv(&native_->environment);
    native_->handle = CreateThread(nullptr, 0, &Native::Start, native_.get(), 0, nullptr);
}
Thread::~Thread() {
    if (native_->handle == nullptr) return;
    WaitForSingleObject(native_->handle, INFINITE);
    CloseHandle(native_->handle);
}
bool Thread::started() const {
    return native_->handle != nullptr;
}

int AvailableProcessors() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
    int count = 0;
    for (; process != 0; process &= process - 1) ++count;
    return count;
}

#else

struct Monitor::Native {
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t condition = PTHREAD_COND_INITIALIZER;
};
Monitor::Monitor() : native_(new Native) {}
Monitor::~Monitor() {
    pthread_cond_destroy(&native_->condition);
    pthread_mutex_destroy(&native_->lock);
}
void Monitor::Lock() {
    pthread_mutex_lock(&native_->lock);
}
void Monitor::Unlock() {
    pthread_mutex_unlock(&native_->lock);
}
void Monitor::Wait() {
    pthread_cond_wait(&native_->condition, &native_->lock);
}
void Monitor::NotifyAll() {
    pthread_cond_broadcast(&native_->condition);
}

struct Thread::Native {
    void (*body)(void*);
    void* argument;
    std::fenv_t environment;
    pthread_t thread{};
    bool started = false;
    static void* Start(void* native) {
        auto* self = static_cast<Native*>(native);
        std::fesetenv(&self->environment);
        self->body(self->argument);
        return nullptr;
    }
};
Thread::Thread(void (*body)(void*), void* argument) : native_(new Native{body, argument, {}}) {
    std::fegetenv(&native_->environment);
    // The thread takes no signal: a stop signal then reaches the first thread, and
    // interrupts a read it waits on.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &previous);
    native_->started =
        pthread_create(&native_->thread, nullptr, &Native::Start, native_.get()) == 0;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}
Thread::~Thread() {
    if (native_->started) pthread_join(native_->thread, nullptr);
}
bool Thread::started() const {
    return native_->started;
}

int AvailableProcessors() {
#ifdef __linux__
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
#endif
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}

#endif

}  // namespace vessane::cli
