#include "mainwindow/region_history.h"

namespace nimbra {

RegionTexts RegionOf(const ParamFields& fields)
{
    return {fields.RealFrom, fields.RealTo, fields.ImagFrom, fields.ImagTo};
}

void PutRegion(const RegionTexts& region, ParamFields& fields)
{
    fields.RealFrom = region.RealFrom;
    fields.RealTo = region.RealTo;
    fields.ImagFrom = region.ImagFrom;
    fields.ImagTo = region.ImagTo;
}

void RegionHistory::Step(const RegionTexts& before, const RegionTexts& after)
{
    if (before == after) return;
    if (!regions_.empty()) regions_.erase(regions_.begin() + static_cast<std::ptrdiff_t>(place_) + 1, regions_.end());
    if (regions_.empty() || regions_.back() != before) regions_.push_back(before);
    regions_.push_back(after);
    while (regions_.size() > MaxSteps + 1) regions_.pop_front();
    place_ = regions_.size() - 1;
}

void RegionHistory::Rewritten(const RegionTexts& before, const RegionTexts& after)
{
    if (!regions_.empty() && regions_[place_] == before) regions_[place_] = after;
}

std::optional<RegionTexts> RegionHistory::Back()
{
    if (!CanGoBack()) return std::nullopt;
    return regions_[--place_];
}

std::optional<RegionTexts> RegionHistory::Forward()
{
    if (!CanGoForward()) return std::nullopt;
    return regions_[++place_];
}

}  // namespace nimbra
