// nimbra_access_report: what a screen reader costs a run in the window, and what a run costs
// the screen reader. A thread asks for the accessible name, role and state of every control of
// the main window one after the other, each question waiting for its answer on the window
// thread, as the accessibility bus delivers a screen reader's requests. It walks the window
// every 500 ms during a file run of the seahorse valley (400 x 566, 20000 iterations, all cores)
// and as often while the program is idle. Printed: the best of a few rounds of the run alone
// and of the run being read, in wall time and in the processor time of the program's threads
// (the reader's own left out: a screen reader is a program of its own), which other programs
// running meanwhile change less; and the median walk idle and during the run, with the ratios.
#include "app/program_windows.h"
#include "app/qt_dialogs.h"
#include "app/qt_pump.h"
#include "common/posix_platform.h"
#include "mainwindow/program_state.h"
#include "mainwindow/ui/calc_form.h"
#include "palette/palette_list.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

using namespace nimbra;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Rounds = 5;
constexpr auto WalkEvery = std::chrono::milliseconds(500);

double Seconds(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

double CpuSeconds(clockid_t clock)
{
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// The wall and processor time of something done.
struct Cost {
    double Wall = 0;
    double Processor = 0;
};

// Reads every control of the window as a screen reader walks it, from another thread.
class Reader {
public:
    explicit Reader(QWidget& window) : window_(window), controls_(window.findChildren<QWidget*>()) {}

    // Walks every WalkEvery until stopped; the walks' durations in seconds.
    void Start()
    {
        stop_ = false;
        done_ = false;
        walks_.clear();
        thread_ = std::thread([this] {
            const double startCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            while (!stop_) {
                const Clock::time_point start = Clock::now();
                for (QWidget* control : controls_) Ask(control);
                walks_.push_back(Seconds(Clock::now() - start));
                std::this_thread::sleep_until(start + WalkEvery);
            }
            cpu_ = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - startCpu;
            done_ = true;
        });
    }
    std::vector<double> Stop()
    {
        stop_ = true;
        while (!done_) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);  // its last question
        thread_.join();
        return walks_;
    }
    double ProcessorSeconds() const { return cpu_; }  // of the last walks, once stopped

private:
    void Ask(QWidget* control)
    {
        QMetaObject::invokeMethod(
            &window_,
            [control] {
                if (QAccessibleInterface* read = QAccessible::queryAccessibleInterface(control)) {
                    read->text(QAccessible::Name);
                    read->role();
                    read->state();
                }
            },
            Qt::BlockingQueuedConnection);
    }

    QWidget& window_;
    const QList<QWidget*> controls_;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> done_ = false;
    std::thread thread_;
    std::vector<double> walks_;
    double cpu_ = 0;
};

void SetField(TCalcForm& form, const char* name, const char* text)
{
    form.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
}

// One file run from the button, as a click starts it.
Cost FileRun(TCalcForm& form)
{
    std::filesystem::remove_all("pix");
    std::filesystem::create_directory("pix");
    const Clock::time_point start = Clock::now();
    const double startCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    form.findChild<QPushButton*>(QStringLiteral("MakeButton"))->click();
    return {Seconds(Clock::now() - start), CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - startCpu};
}

Cost Best(const std::vector<Cost>& costs)
{
    Cost best = costs.front();
    for (const Cost& cost : costs) {
        best.Wall = std::min(best.Wall, cost.Wall);
        best.Processor = std::min(best.Processor, cost.Processor);
    }
    return best;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QAccessible::setActive(true);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "nimbra-access-report";
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);

    PaletteList palette;
    QtDialogs dialogs;
    PosixPlatform platform;
    QtPump pump;
    ProgramState state;
    TCalcForm form(state, palette, dialogs, platform, pump);
    ProgramWindows windows(form, state, palette, dialogs, platform, pump);
    form.show();
    form.findChild<QCheckBox*>(QStringLiteral("SetTestMode"))->setChecked(false);
    SetField(form, "WidthEdit", "400");
    SetField(form, "HeightEdit", "566");
    SetField(form, "IterationEdit", "20000");
    SetField(form, "RealFEdit", "-0.7463");
    SetField(form, "RealTEdit", "-0.7413");
    SetField(form, "ImagFEdit", "0.0935");
    SetField(form, "ImagTEdit", "0.10057");

    Reader reader(form);
    std::vector<Cost> alone, read;
    std::vector<double> idleWalks, runWalks;
    for (int round = 0; round < Rounds; ++round) {
        alone.push_back(FileRun(form));
        reader.Start();
        Cost whileRead = FileRun(form);
        const std::vector<double> walks = reader.Stop();
        whileRead.Processor -= reader.ProcessorSeconds();
        read.push_back(whileRead);
        runWalks.insert(runWalks.end(), walks.begin(), walks.end());

        reader.Start();
        QEventLoop idle;
        QTimer::singleShot(static_cast<int>(whileRead.Wall * 1000), &idle, &QEventLoop::quit);
        idle.exec();
        const std::vector<double> idleRound = reader.Stop();
        idleWalks.insert(idleWalks.end(), idleRound.begin(), idleRound.end());
    }
    form.close();
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);

    const Cost bestAlone = Best(alone);
    const Cost bestRead = Best(read);
    const double questions = static_cast<double>(form.findChildren<QWidget*>().size());
    std::printf("run alone (best of %d)                 %8.3f s, processor %6.3f s\n", Rounds, bestAlone.Wall,
                bestAlone.Processor);
    std::printf("run read every %lld ms (best of %d)    %8.3f s, processor %6.3f s\n",
                static_cast<long long>(WalkEvery.count()), Rounds, bestRead.Wall, bestRead.Processor);
    std::printf("answer idle (median walk / %.0f)       %8.3f ms\n", questions, Median(idleWalks) / questions * 1000);
    std::printf("answer during the run                 %8.3f ms  (goal <= 2; once per pump interval would be %d)\n",
                Median(runWalks) / questions * 1000, QtPump::DefaultIntervalMs);
    std::printf("run processor time alone / read       %8.3f     (goal >= 0.95)\n",
                bestAlone.Processor / bestRead.Processor);
    std::printf("run wall time alone / read            %8.3f     (other programs running change it most)\n",
                bestAlone.Wall / bestRead.Wall);
    return 0;
}
