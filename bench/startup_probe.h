// Ends the process as soon as the first window has been shown and painted, so that the
// process's whole run time is its start-up. Shared by the window's probe and the bare
// dialog's, so that both are measured the same way.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <unistd.h>

namespace vessane::bench {

class ExitWhenShown : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !armed_) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                armed_ = true;
                // The expose event paints the window; end right after it, without the
                // tear-down, which is not part of the start-up.
                QTimer::singleShot(0, [] {
                    std::fflush(stdout);
                    _exit(0);
                });
            }
        }
        return false;
    }

private:
    bool armed_ = false;
};

}  // namespace vessane::bench
