#include "cli/InterruptCleanup.h"

#include "core/io/TemporaryFiles.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace korvex {

void InterruptCleanup::install()
{
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGINT);
    sigaddset(&stopping, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopping, nullptr);

    std::thread([stopping] {
        int signal = 0;
        while (sigwait(&stopping, &signal) != 0) {
        }
        TemporaryFiles::removeAll();
        // End as the signal would have ended us, so a shell or scheduler sees it.
        std::signal(signal, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal);
        pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        std::raise(signal);
    }).detach();
}

}  // namespace korvex
