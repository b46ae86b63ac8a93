#include "engine/run_calculation.h"

#include "common/error.h"
#include "common/time_of_day.h"
#include "engine/kernels.h"
#include "engine/pixel_colour.h"
#include "engine/row_pipeline.h"
#include "engine/tga_output.h"

#include <memory>
#include <optional>
#include <vector>

namespace nimbra {
namespace {

// Sets a flag for the length of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// Prepares the output file and writes its header; nothing when the start is refused.
std::optional<TgaFile> OpenOutput(RunContext& context)
{
    const FractalParams& params = context.Params;
    FlagScope preparing(context.State.Preparing);
    std::optional<TgaFile> file =
        context.OutputPathOverride.empty()
            ? PrepareOutputFile(params.Width, params.Height, context.StartFolder, context.LastImagePath,
                                context.Dialogs, context.System, context.Pump)
            : CreateNamedOutputFile(params.Width, params.Height, context.OutputPathOverride, context.Dialogs,
                                    context.System);
    if (file) file->WriteTgaHeader(params.Width, params.Height);
    return file;
}

// Colours the pixels as they come and hands them to the preview or to the file row by row.
class PixelOutput {
public:
    PixelOutput(RunContext& context, std::optional<TgaFile>& file)
        : context_(context),
          file_(file),
          colours_(context.Params, context.Palette),
          rowBuffer_(file ? static_cast<std::size_t>(MaxImageWidth) * 3 : 0)
    {
    }

    void Pixel(std::int32_t column, std::int32_t row, std::int32_t count)
    {
        const FractalParams& params = context_.Params;
        if (params.Inverted) count = params.MaxIterations - count;
        context_.State.IterationCount = count;
        const Rgb colour = colours_(count);
        if (!file_) {
            context_.Preview.SetPixel(column, row, colour);
            return;
        }
        std::uint8_t* pixel = &rowBuffer_[static_cast<std::size_t>(column) * 3];
        pixel[0] = colour.Blue;
        pixel[1] = colour.Green;
        pixel[2] = colour.Red;
    }

    // The whole row is written, also after a stop: the file is removed then anyway.
    void EndRow()
    {
        if (file_) file_->Write(rowBuffer_.data(), static_cast<std::size_t>(context_.Params.Width) * 3);
    }

private:
    RunContext& context_;
    std::optional<TgaFile>& file_;
    ColourTable colours_;
    std::vector<std::uint8_t> rowBuffer_;
};

// The counts on the calling thread, pixel by pixel, pumping after every pass.
void ComputeOnThisThread(RunContext& context, PixelOutput& output)
{
    const FractalParams& params = context.Params;
    RunState& state = context.State;
    for (std::int32_t row = 0; row < params.Height; ++row) {
        state.CurrentRow = static_cast<std::uint16_t>(row);
        const long double ci = PointImag(params, row);
        for (std::int32_t column = 0; column < params.Width; ++column) {
            const PointResult result =
                IteratePoint(LoadFormula(params), params, PointReal(params, column), ci, state.IterationCount,
                             state.StopRequested, context.Pump, context.Shortcuts.SkipRepeatingOrbits);
            state.IterationCount = result.Count;
            if (state.StopRequested) break;
            if (result.OutOfRange) throw Error::PointOutOfRange(row, column);
            output.Pixel(column, row, result.Count);
        }
        output.EndRow();
        if (state.StopRequested) return;
    }
}

// The counts on worker threads; this thread colours, draws and writes in row order.
void ComputeOnWorkers(RunContext& context, PixelOutput& output)
{
    const FractalParams& params = context.Params;
    RunState& state = context.State;
    RowPipeline pipeline(params, state.StopRequested, context.WorkerThreads, context.Shortcuts);
    for (std::int32_t row = 0; row < params.Height; ++row) {
        state.CurrentRow = static_cast<std::uint16_t>(row);
        const RowCounts& counts = pipeline.Row(row, context.Pump);
        if (counts.OutOfRangeColumn >= 0) throw Error::PointOutOfRange(row, counts.OutOfRangeColumn);
        for (std::int32_t column = 0; column < counts.Columns && !state.StopRequested; ++column)
            output.Pixel(column, row, counts.Counts[static_cast<std::size_t>(column)]);
        output.EndRow();
        if (state.StopRequested) return;
        context.Pump.Poll();  // rows may always be ready: the windows still get their turn
    }
}

// Whatever ends the run, the program is idle again afterwards.
class RunningScope {
public:
    explicit RunningScope(RunContext& context) : context_(context)
    {
        RunState& state = context_.State;
        state.StartTime = context_.TimeOfDay ? context_.TimeOfDay() : CurrentTimeOfDay();
        state.StopRequested = false;
        state.Running = true;
        context_.Display.ShowRunning(true);
    }
    ~RunningScope()
    {
        context_.Display.ShowRunning(false);
        context_.State.Running = false;
    }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    RunContext& context_;
};

}  // namespace

void ReadAndShowParams(ParamFields& fields, FractalParams& params, const PreviewCanvas& preview,
                       RunDisplay& display, char decimalSeparator)
{
    try {
        ReadParams(fields, params, preview.ClientSize(), decimalSeparator);
    } catch (const Error&) {
        display.ShowFieldTexts(fields);
        throw;
    }
    display.ShowFieldTexts(fields);
}

RunOutcome RunCalculation(ParamFields fields, RunContext& context)
{
    RunState& state = context.State;
    if (state.Running) {
        state.StopRequested = true;
        context.Preview.Close();
        return RunOutcome::StopRequested;
    }
    if (state.Preparing) return RunOutcome::Ignored;

    context.Preview.ClearToWhite();
    ReadAndShowParams(fields, context.Params, context.Preview, context.Display, context.DecimalSeparator);

    const bool preview = context.Params.Preview;
    std::optional<TgaFile> file;
    if (!preview) {
        file = OpenOutput(context);
        if (!file) return RunOutcome::Refused;
    }

    {
        RunningScope running(context);
        if (preview) context.Preview.Show();
        PixelOutput output(context, file);
        if (context.WorkerThreads > 0)
            ComputeOnWorkers(context, output);
        else
            ComputeOnThisThread(context, output);
        if (file) {
            if (state.StopRequested)
                file->Abandon();
            else
                context.LastImagePath = file->Finish();
        }
    }

    if (state.StopRequested) return RunOutcome::Stopped;
    if (preview) return RunOutcome::PreviewCompleted;
    context.Display.EnableShowButton();
    return RunOutcome::FileCompleted;
}

}  // namespace nimbra
