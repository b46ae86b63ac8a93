#include "engine/extended_precision.h"
#include "engine/read_params.h"
#include "engine/row_pipeline.h"
#include "engine/row_workers.h"
#include "tests/support/run_fixture.h"

#include <gtest/gtest.h>

#include <fpu_control.h>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// The calling thread computes with the given precision and rounding for the length of a scope.
class ControlWordScope {
public:
    explicit ControlWordScope(fpu_control_t precisionAndRounding)
    {
        _FPU_GETCW(before_);
        fpu_control_t changed =
            static_cast<fpu_control_t>((before_ & ~(_FPU_EXTENDED | _FPU_RC_ZERO)) | precisionAndRounding);
        _FPU_SETCW(changed);
    }
    ~ControlWordScope() { _FPU_SETCW(before_); }
    ControlWordScope(const ControlWordScope&) = delete;
    ControlWordScope& operator=(const ControlWordScope&) = delete;

private:
    fpu_control_t before_;
};

const fpu_control_t OtherSettings[] = {_FPU_DOUBLE | _FPU_RC_NEAREST, _FPU_SINGLE | _FPU_RC_NEAREST,
                                       _FPU_EXTENDED | _FPU_RC_UP, _FPU_EXTENDED | _FPU_RC_ZERO};

// A deep zoom: its counts depend on the last bits of every pass.
const ParamFields DeepZoom = {.Width = "24",
                              .Height = "18",
                              .Iterations = "20000",
                              .RealFrom = "-0,7436438870371",
                              .RealTo = "-0,7436438870370",
                              .ImagFrom = "0,1318259042053",
                              .ImagTo = "0,1318259042054",
                              .Preview = false};

std::vector<std::uint8_t> FileOfRun(const ParamFields& fields, int threads)
{
    RunFixture run;
    run.Context.WorkerThreads = threads;
    EXPECT_EQ(RunCalculation(fields, run.Context), RunOutcome::FileCompleted);
    return ReadBytes(run.Folder / "pix/nimbra000.tga");
}

}  // namespace

TEST(ExtendedPrecision, ARunStartedUnderOtherSettingsWritesTheSameBytes)
{
    const std::vector<std::uint8_t> expected = FileOfRun(DeepZoom, 0);
    for (const fpu_control_t settings : OtherSettings) {
        for (const int threads : {0, 2}) {
            const ControlWordScope changed(settings);
            EXPECT_EQ(FileOfRun(DeepZoom, threads), expected) << std::hex << settings << " " << threads;
            EXPECT_FALSE(KeepExtendedPrecision());  // the run has set this thread back too
        }
    }
}

TEST(ExtendedPrecision, WorkerThreadsStartedUnderOtherSettingsComputeTheSameCounts)
{
    ParamFields fields = DeepZoom;
    FractalParams params;
    ReadParams(fields, params, {}, ',');
    const std::atomic<bool> stop = false;
    RowCounts expected;
    RegionMemory regions;
    ComputeRowCounts(params, 7, stop, NoShortcuts, regions, expected);
    for (const fpu_control_t settings : OtherSettings) {
        const ControlWordScope changed(settings);
        RowWorkers workers(params, 2, NoShortcuts);  // threads start with the settings of this one
        workers.Add(7);
        std::int32_t row = -1;
        RowCounts counts;
        ASSERT_TRUE(workers.TakeDone(row, counts, std::chrono::seconds(60)));
        EXPECT_EQ(counts.Counts, expected.Counts) << std::hex << settings;
    }
}
