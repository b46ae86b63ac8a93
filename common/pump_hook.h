#pragma once
#include <chrono>
#include <cstdint>

namespace nimbra {

// Lets the windows handle their pending events while long work runs on the window thread.
// Loops report the passes they have made; every PassesPerPoll passes the hook polls.
// A counter, not a clock: reading the time every pass would cost more than the pass.
class PumpHook {
public:
    static constexpr std::uint32_t PassesPerPoll = 2048;

    virtual ~PumpHook() = default;

    // How many passes a loop may make before it must report them.
    std::uint32_t PassesBeforePoll() const { return countdown_; }

    void PassesDone(std::uint32_t passes)
    {
        if (passes < countdown_) {
            countdown_ -= passes;
            return;
        }
        countdown_ = PassesPerPoll;
        Poll();
    }

    void operator()() { PassesDone(1); }

    // Handles what is due now; cheap when nothing is.
    virtual void Poll() = 0;

    // How long a loop waiting for other threads may sleep before it polls.
    virtual std::chrono::microseconds WaitBeforePoll() const { return std::chrono::milliseconds(10); }

private:
    std::uint32_t countdown_ = PassesPerPoll;
};

// For work without windows: nothing is ever due.
class NoPump final : public PumpHook {
public:
    void Poll() override {}
};

}  // namespace nimbra
