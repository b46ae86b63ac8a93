#include "engine/run_calculation.h"

#include "common/error.h"
#include "common/time_of_day.h"
#include "engine/block_average.h"
#include "engine/early_escape.h"
#include "engine/extended_precision.h"
#include "engine/kernels.h"
#include "engine/pixel_colour.h"
#include "engine/proven_run.h"
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
std::unique_ptr<ImageOutput> OpenOutput(RunContext& context)
{
    const FractalParams& params = context.Params;
    FlagScope preparing(context.State.Preparing);
    if (context.MakeImageOutput) return context.MakeImageOutput(params);
    std::optional<TgaFile> file =
        context.OutputPathOverride.empty()
            ? PrepareOutputFile(params.Width, params.Height, context.StartFolder, context.LastImagePath,
                                context.Dialogs, context.System, context.Pump)
            : CreateNamedOutputFile(params.Width, params.Height, context.OutputPathOverride, context.Dialogs,
                                    context.System);
    if (!file) return nullptr;
    file->WriteTgaHeader(params.Width, params.Height);
    return std::make_unique<TgaFile>(std::move(*file));
}

// The image whose counts a run computes: the file's, or for a supersampled file one Factor
// times as wide and high, from FirstRow on (the rows before are on disk from an earlier run).
struct ComputedImage {
    const FractalParams& Params;
    int Factor = 1;
    std::int32_t FirstRow = 0;

    // The row of the file a computed row belongs to, which the status line, the progress and
    // the messages show.
    std::uint16_t FileRow(std::int32_t row) const { return static_cast<std::uint16_t>(row / Factor); }
};

// Colours the pixels of the computed image as they come and hands them to the preview, or to
// the file row by row, reduced by blocks when the run is supersampled.
class PixelOutput {
public:
    PixelOutput(RunContext& context, const FractalParams& computed, ImageOutput* file)
        : context_(context),
          computed_(computed),
          file_(file),
          colours_(context.Params, context.Palette),
          rowBuffer_(file ? static_cast<std::size_t>(computed.Width) * 3 : 0)
    {
        if (file && context.Supersample > 1) blocks_.emplace(context.Params.Width, context.Supersample);
    }

    void Pixel(std::int32_t column, std::int32_t row, std::int32_t count) { Pixels(column, row, &count, 1); }

    // Pixels of a row from first on. A pixel where no kernel ran takes the count the previous
    // pixel in image order was coloured with, so the image is the same on any number of threads.
    // The loop keeps its state in locals: a store into the row may alias any member, which would
    // otherwise be read again for every pixel.
    void Pixels(std::int32_t first, std::int32_t row, const std::int32_t* counts, std::int32_t pixels)
    {
        const FractalParams& params = context_.Params;
        const bool inverted = params.Inverted, gradient = params.Model == ColorModel::Grad;
        const std::int32_t maximum = params.MaxIterations;
        std::int32_t last = lastCount_;
        std::uint32_t colour = lastColour_;
        std::uint8_t* const bytes = file_ ? rowBuffer_.data() : nullptr;
        for (std::int32_t column = first; column < first + pixels; ++column) {
            std::int32_t count = counts[column - first];
            if (count == PreviousPixelCount) count = last;
            if (inverted) count = maximum - count;
            // Neighbours often share a count; the gradient's colours may change during the run.
            if (count != last || colour == 0 || gradient) colour = colours_.Packed(count);
            last = count;
            if (!bytes) {
                context_.Preview.SetPixel(column, row, UnpackedRgb(colour));
                continue;
            }
            std::uint8_t* pixel = bytes + static_cast<std::size_t>(column) * 3;
            pixel[0] = static_cast<std::uint8_t>(colour);
            pixel[1] = static_cast<std::uint8_t>(colour >> 8);
            pixel[2] = static_cast<std::uint8_t>(colour >> 16);
        }
        lastCount_ = last;
        lastColour_ = colour;
        columnsDone_ = first + pixels;
    }

    // Only a whole row goes to the file: a file kept to be continued holds whole rows. The run
    // state learns the last count only here: it shares a cache line with the stop flag that
    // the worker threads read.
    void EndRow()
    {
        context_.State.IterationCount = lastCount_;
        const bool whole = columnsDone_ == computed_.Width;
        columnsDone_ = 0;
        if (!file_ || !whole) return;
        const std::uint8_t* row = blocks_ ? blocks_->Add(rowBuffer_.data()) : rowBuffer_.data();
        if (row != nullptr) file_->WriteRow(row);
    }

private:
    RunContext& context_;
    const FractalParams& computed_;
    ImageOutput* file_;
    ColourTable colours_;
    std::vector<std::uint8_t> rowBuffer_;
    std::optional<BlockAverage> blocks_;
    std::int32_t columnsDone_ = 0;
    std::int32_t lastCount_ = 0;  // what a first pixel without a kernel takes
    // Of lastCount_, packed; 0 before the first pixel, as a packed colour never is.
    std::uint32_t lastColour_ = 0;
};

// The counts on the calling thread, pixel by pixel, pumping after every pass.
void ComputeOnThisThread(RunContext& context, const ComputedImage& image, PixelOutput& output)
{
    const FractalParams& params = image.Params;
    RunState& state = context.State;
    PlainPassesChoice plainPasses(params.MaxIterations);
    RegionMemory regions;
    for (std::int32_t row = image.FirstRow; row < params.Height; ++row) {
        state.CurrentRow = image.FileRow(row);
        const long double ci = PointImag(params, row);
        ProvenRuns runs;
        EarlyEscapes early;
        std::int32_t previousCount = 0;
        for (std::int32_t column = 0; column < params.Width; ++column) {
            const std::uint8_t formula = LoadFormula(params);
            if (const ProvenRun run =
                    runs.From(formula, params, column, ci, previousCount, context.Shortcuts, regions.LastCycle());
                run.Pixels > 0) {
                for (std::int32_t i = 0; i < run.Pixels; ++i) output.Pixel(column + i, row, params.MaxIterations);
                column += run.Pixels - 1;
                context.Pump.PassesDone(run.Passes);  // long stretches of runs let the windows in too
                if (state.StopRequested) break;
                continue;
            }
            if (const std::int32_t count =
                    EarlyCount(early, formula, params, column, ci, previousCount, context.Shortcuts);
                count != Undecided) {
                plainPasses.Counted(count);
                previousCount = count;
                output.Pixel(column, row, count);
                context.Pump.PassesDone(static_cast<std::uint32_t>(count + 1));
                if (state.StopRequested) break;
                continue;
            }
            const PointResult result = IteratePoint(formula, params, PointReal(params, column), ci, state.StopRequested,
                                                    context.Pump, context.Shortcuts, {plainPasses.Next(), &regions});
            if (state.StopRequested) break;
            plainPasses.Counted(result.Count);
            previousCount = result.Count;
            if (result.OutOfRange) throw Error::PointOutOfRange(image.FileRow(row), column / image.Factor);
            output.Pixel(column, row, result.Count);
        }
        output.EndRow();
        if (state.StopRequested) return;
    }
}

// The counts from worker threads or other machines; this thread colours, draws and writes in
// row order.
void ComputeFromSource(RunContext& context, const ComputedImage& image, PixelOutput& output, RowSource& source)
{
    const FractalParams& params = image.Params;
    RunState& state = context.State;
    for (std::int32_t row = image.FirstRow; row < params.Height; ++row) {
        state.CurrentRow = image.FileRow(row);
        const RowCounts& counts = source.Row(row, context.Pump);
        if (counts.OutOfRangeColumn >= 0)
            throw Error::PointOutOfRange(image.FileRow(row), counts.OutOfRangeColumn / image.Factor);
        if (!state.StopRequested) output.Pixels(0, row, counts.Counts.data(), counts.Columns);
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
        state.CurrentRow = 0;
        state.StopRequested = false;
        state.Running = true;
        context_.Display.ShowRunning(true);
    }
    // The display learns of the end once the run counts as ended, so what it shows is the idle state.
    ~RunningScope()
    {
        context_.State.Running = false;
        context_.Display.ShowRunning(false);
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

    KeepExtendedPrecision();  // also for the steps ReadParams computes
    context.Preview.ClearToWhite();
    ReadAndShowParams(fields, context.Params, context.Preview, context.Display, context.DecimalSeparator);

    const bool preview = context.Params.Preview;
    std::unique_ptr<ImageOutput> file;
    if (!preview) {
        file = OpenOutput(context);
        if (!file) return RunOutcome::Refused;
    }
    // The window's runs compute the params themselves: a formula chosen meanwhile applies.
    const int factor = file ? context.Supersample : 1;
    std::optional<FractalParams> sampled;
    if (factor > 1) sampled = Supersampled(context.Params, factor);
    const ComputedImage image{sampled ? *sampled : context.Params, factor, file ? file->RowsDone() * factor : 0};
    const FractalParams& computed = image.Params;

    {
        RunningScope running(context);
        if (preview) context.Preview.Show();
        PixelOutput output(context, computed, file.get());
        if (context.MakeRowSource) {
            const std::unique_ptr<RowSource> source =
                context.MakeRowSource(computed, state.StopRequested, image.FirstRow);
            ComputeFromSource(context, image, output, *source);
        } else if (context.WorkerThreads > 0) {
            RowPipeline pipeline(computed, state.StopRequested, context.WorkerThreads, context.Shortcuts,
                                 image.FirstRow);
            ComputeFromSource(context, image, output, pipeline);
        } else {
            ComputeOnThisThread(context, image, output);
        }
        if (file) {
            if (state.StopRequested)
                file->Stop();
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
