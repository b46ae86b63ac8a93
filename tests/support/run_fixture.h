#pragma once
#include "engine/headless_run.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <functional>
#include <string>
#include <vector>

namespace nimbra::testing {

// Records what a run does with the preview: the calls, and the pixels in the order drawn.
class RecordingPreview final : public PreviewCanvas {
public:
    PreviewSize ClientSize() const override { return Size; }
    void ClearToWhite() override;
    void SetPixel(std::int32_t x, std::int32_t y, Rgb colour) override;
    void Show() override { Log.push_back("show"); }
    void Close() override { Log.push_back("close"); }

    PreviewSize Size{4, 3};
    std::vector<std::string> Log;
    std::vector<Rgb> Pixels;
};

// Records what a run shows in the main window.
class RecordingDisplay final : public RunDisplay {
public:
    void ShowFieldTexts(const ParamFields& fields) override { Fields.push_back(fields); }
    void ShowRunning(bool running) override { Log.push_back(running ? "running" : "idle"); }
    void EnableShowButton() override { Log.push_back("show button"); }

    std::vector<ParamFields> Fields;
    std::vector<std::string> Log;
};

// Runs OnPoll, when set, at every poll: a test's way into a run under way.
class ScriptedPump final : public PumpHook {
public:
    void Poll() override
    {
        if (OnPoll) OnPoll();
    }
    std::function<void()> OnPoll;
};

// A run without windows in a temporary folder of its own, images going to its "pix", with
// everything it says and shows recorded. Tests change Context (threads, an output path,
// shortcuts) between runs.
struct RunFixture {
    RunFixture();

    TempFolder Folder;
    ScriptedDialogs Dialogs;
    FakePlatform Platform;
    ScriptedPump Pump;
    RecordingPreview Preview;
    RecordingDisplay Display;
    HeadlessRun Headless;
    RunContext Context;
};

}  // namespace nimbra::testing
