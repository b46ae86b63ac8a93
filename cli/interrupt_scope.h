#pragma once
#include <csignal>

namespace nimbra {

// While it lives, SIGINT (Ctrl+C), SIGTERM and SIGHUP (a closed terminal) are only noted, so
// that the command can stop in order and leave no partial file; the handlers found before are
// put back at the end.
class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    bool Interrupted() const;
    // What shells expect of a command ended by the signal: 128 + its number (130 for Ctrl+C).
    int ExitCode() const;

private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
    struct sigaction previousHangUp_ {};
};

}  // namespace nimbra
