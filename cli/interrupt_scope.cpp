#include "cli/interrupt_scope.h"

#include <atomic>

namespace nimbra {
namespace {

std::atomic<int> CaughtSignal = 0;
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void OnInterrupt(int signal) { CaughtSignal.store(signal); }

}  // namespace

InterruptScope::InterruptScope()
{
    CaughtSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, &previousInterrupt_);
    sigaction(SIGTERM, &action, &previousTerminate_);
    sigaction(SIGHUP, &action, &previousHangUp_);
}

InterruptScope::~InterruptScope()
{
    sigaction(SIGINT, &previousInterrupt_, nullptr);
    sigaction(SIGTERM, &previousTerminate_, nullptr);
    sigaction(SIGHUP, &previousHangUp_, nullptr);
}

bool InterruptScope::Interrupted() const { return CaughtSignal.load() != 0; }

int InterruptScope::ExitCode() const { return 128 + CaughtSignal.load(); }

}  // namespace nimbra
