#include "stop_signals.h"

#include <csignal>

namespace vessane::cli {
namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void NoteStopSignal(int signal) {
    g_stopSignal = signal;
#ifdef _WIN32
    std::signal(signal, SIG_DFL);  // Windows resets nothing by itself
#endif
}

}  // namespace

void CatchStopSignals() {
#ifdef _WIN32
    std::signal(SIGINT, NoteStopSignal);
    std::signal(SIGTERM, NoteStopSignal);
#else
    struct sigaction action = {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting on a pipe returns at once, so the stop is prompt.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

int StopSignal() {
    return g_stopSignal;
}

}  // namespace vessane::cli
