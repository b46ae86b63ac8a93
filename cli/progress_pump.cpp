#include "cli/progress_pump.h"

#include <algorithm>
#include <string>

namespace nimbra {

void ProgressPump::Poll()
{
    // Asked again at every poll: the start of a run clears a stop that came before it.
    if (interrupts_.Interrupted()) state_.StopRequested = true;
    const auto now = std::chrono::steady_clock::now();
    if (!visible_ || !state_.Running || now - lastDrawn_ < std::chrono::milliseconds(100)) return;
    lastDrawn_ = now;
    const int percent = params_.Height > 0 ? std::clamp(state_.CurrentRow * 100 / params_.Height, 0, 100) : 0;
    err_ << "\r[" << std::string(static_cast<std::size_t>(percent / 5), '#')
         << std::string(static_cast<std::size_t>(20 - percent / 5), ' ') << "] " << percent << "% " << std::flush;
}

void ProgressPump::Clear()
{
    if (visible_) err_ << "\r" << std::string(30, ' ') << "\r" << std::flush;
}

}  // namespace nimbra
