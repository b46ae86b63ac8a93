#pragma once
#include <cstdint>

namespace nimbra {

// Lets the windows handle their pending events while long work runs on the window thread.
class PumpHook {
public:
    static constexpr std::uint32_t PassesPerPoll = 2048;

    virtual ~PumpHook() = default;

    // Called after every iteration pass. A counter, not a clock: reading the time every pass
    // would cost more than the pass.
    void operator()()
    {
        if (--countdown_ == 0) {
            countdown_ = PassesPerPoll;
            Poll();
        }
    }

    // Handles what is due now; cheap when nothing is.
    virtual void Poll() = 0;

private:
    std::uint32_t countdown_ = PassesPerPoll;
};

// For work without windows: nothing is ever due.
class NoPump final : public PumpHook {
public:
    void Poll() override {}
};

}  // namespace nimbra
