// nimbra_window_bench: the main window's start with a Julia constant history of 20 and of 20000
// lines, as starts per second, and their ratio: a long history must not slow the start.
#include "app/qt_dialogs.h"
#include "app/qt_pump.h"
#include "bench/ratio_report.h"
#include "common/posix_platform.h"
#include "mainwindow/program_state.h"
#include "mainwindow/ui/calc_form.h"
#include "palette/palette_list.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// A start folder whose history has lines lines of constants of different lengths.
std::filesystem::path FolderWithHistory(int lines)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("nimbra-bench-history-" + std::to_string(lines));
    std::filesystem::create_directories(folder / "param");
    std::ofstream history(folder / "param" / "nimbra.par", std::ios::binary);
    for (int line = 0; line < lines; ++line)
        history << "-0," << 1000 + line * 7919 % 100000 << std::string(static_cast<std::size_t>(line % 9), '3')
                << "-!!-0," << line << "\r\n";
    return folder;
}

void WindowStart(benchmark::State& state)
{
    const std::filesystem::path folder = FolderWithHistory(static_cast<int>(state.range(0)));
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    nimbra::PaletteList palette;
    nimbra::QtDialogs dialogs;
    nimbra::PosixPlatform platform;
    nimbra::QtPump pump;
    for (auto _ : state) {
        nimbra::ProgramState programState;
        auto form = std::make_unique<nimbra::TCalcForm>(programState, palette, dialogs, platform, pump,
                                                        [] { return 0.5; });
        form->show();
        QApplication::processEvents();
        state.PauseTiming();  // the start is timed, not the end
        form.reset();
        state.ResumeTiming();
    }
    state.counters["rate"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::current_path(old);
    std::filesystem::remove_all(folder);
}

void WindowStartWith20Lines(benchmark::State& state) { WindowStart(state); }
void WindowStartWith20000Lines(benchmark::State& state) { WindowStart(state); }

}  // namespace

BENCHMARK(WindowStartWith20Lines)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowStartWith20000Lines)->Arg(20000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    nimbra::bench::RatioReporter reporter({{"window start, 20000 history lines / 20 lines", "WindowStartWith20000Lines",
                                            "WindowStartWith20Lines", 0.2}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
