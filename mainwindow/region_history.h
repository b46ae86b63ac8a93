#pragma once
#include "engine/read_params.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace nimbra {

// The texts of the four region fields, exactly as they stand.
struct RegionTexts {
    std::string RealFrom;
    std::string RealTo;
    std::string ImagFrom;
    std::string ImagTo;
    bool operator==(const RegionTexts&) const = default;
};

RegionTexts RegionOf(const ParamFields& fields);
void PutRegion(const RegionTexts& region, ParamFields& fields);

// The regions the commands that rewrite the four fields went through (zoom, scroll, rubber
// band, formula defaults, a loaded configuration), for "Ansicht zurück" and "Ansicht vor".
// Typing is no step: a region typed before a command is where going back from it leads.
class RegionHistory {
public:
    static constexpr std::size_t MaxSteps = 100;  // older steps are forgotten

    // A command changed the region; one that left it as it was is no step. Going back and then
    // taking a new step drops the steps that lay ahead.
    void Step(const RegionTexts& before, const RegionTexts& after);
    // The fields were written again with the same region (a run shows the texts it read): the
    // place shown keeps the texts as they now stand.
    void Rewritten(const RegionTexts& before, const RegionTexts& after);
    // The region to restore, or nothing at either end.
    std::optional<RegionTexts> Back();
    std::optional<RegionTexts> Forward();
    bool CanGoBack() const { return place_ > 0; }
    bool CanGoForward() const { return place_ + 1 < regions_.size(); }

private:
    std::deque<RegionTexts> regions_;
    std::size_t place_ = 0;  // the region shown last by a step or by going back and forth
};

}  // namespace nimbra
