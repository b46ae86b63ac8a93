#pragma once
#include "engine/run_calculation.h"

namespace nimbra {

// For runs without windows (the renderer, benchmarks, tests): no preview, nothing to show.
class HeadlessPreview final : public PreviewCanvas {
public:
    PreviewSize ClientSize() const override { return {}; }
    void ClearToWhite() override {}
    void SetPixel(std::int32_t, std::int32_t, Rgb) override {}
    void Show() override {}
    void Close() override {}
};

class HeadlessDisplay final : public RunDisplay {
public:
    void ShowFieldTexts(const ParamFields&) override {}
    void ShowRunning(bool) override {}
    void EnableShowButton() override {}
};

}  // namespace nimbra
