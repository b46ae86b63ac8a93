#include "mainwindow/progress_texts.h"

#include <gtest/gtest.h>

using namespace nimbra;

namespace {

constexpr double Second = 1.0 / 86400;

double Clock(int hours, int minutes, int seconds) { return ((hours * 60 + minutes) * 60 + seconds) * Second; }

}  // namespace

TEST(ProgressTexts, TimesAreHoursMinutesSecondsOfTheDay)
{
    EXPECT_EQ(FormatTimeOfDay(Clock(14, 3, 7)), "14:03:07");
    EXPECT_EQ(FormatTimeOfDay(0), "00:00:00");
    EXPECT_EQ(FormatTimeOfDay(30.3 * Second), "00:00:30");
    EXPECT_EQ(FormatTimeOfDay(1 + Clock(0, 5, 12)), "00:05:12");
    EXPECT_EQ(FormatTimeOfDay(1 - 0.0001 * Second), "00:00:00");
}

TEST(ProgressTexts, IdleShowsTheClockAndTheLineOfTheStatus)
{
    const struct { Status status; const char* line; } cases[] = {
        {Status::Ready, "Bereit ..."},
        {Status::WidthField, "X-Auflösung des Bildes eingeben..."},
        {Status::HeightField, "Y-Auflösung des Bildes eingeben..."},
        {Status::RealFromField, "Startkoordinate  - real..."},
        {Status::RealToField, "Endkoordinate - real..."},
        {Status::ImagFromField, "Startkoordinate  - imaginär..."},
        {Status::ImagToField, "Endkoordinate - imaginär..."},
        {Status::IterationsField, "Farbtiefe des Bildes..."},
        {Status::JuliaRealField, "Realteil Startwert für Julia Menge..."},
        {Status::JuliaImagField, "Imaginärteil Startwert für Julia Menge..."},
        {Status::Running, "Berechnung läuft ..."},
    };
    for (const auto& c : cases) {
        const TimerTexts texts = TimerTick(RunState(), c.status, 480, Clock(9, 15, 0), 0);
        EXPECT_EQ(texts.StatusLine, c.line);
        EXPECT_EQ(texts.NormTime, "09:15:00");
        EXPECT_EQ(texts.CalcTime, "");
    }
}

TEST(ProgressTexts, ARunShowsElapsedRemainingAndTheRow)
{
    RunState run;
    run.Running = true;
    run.StartTime = Clock(10, 0, 0);
    run.CurrentRow = 99;
    const TimerTexts texts = TimerTick(run, Status::Running, 200, Clock(10, 0, 30), 0);
    EXPECT_EQ(texts.StatusLine, "berechne Zeile 99 von 200 ...");
    EXPECT_EQ(texts.NormTime, "seit  00:00:30");
    EXPECT_EQ(texts.CalcTime, "noch  00:00:30");  // 30 / 100 x 101 = 30.3 s
}

TEST(ProgressTexts, ARunAcrossMidnightCountsOn)
{
    RunState run;
    run.Running = true;
    run.StartTime = Clock(23, 59, 30);
    run.CurrentRow = 0;
    const TimerTexts texts = TimerTick(run, Status::Running, 3, Clock(0, 0, 30), 0);
    EXPECT_EQ(texts.NormTime, "seit  00:01:00");
    EXPECT_EQ(texts.CalcTime, "noch  00:03:00");
    EXPECT_EQ(texts.StatusLine, "berechne Zeile 0 von 3 ...");
}

TEST(ProgressTexts, TheEstimateLeavesOutTheTimeAModalWindowHeldTheRun)
{
    RunState run;
    run.Running = true;
    run.StartTime = Clock(23, 59, 50);
    run.CurrentRow = 9;
    RunPauses pauses;
    pauses.Start(run.StartTime);
    pauses.Tick(Clock(23, 59, 55), false);
    pauses.Tick(Clock(0, 2, 0), true);  // a question open across midnight
    pauses.Tick(Clock(0, 4, 35), true);
    pauses.Tick(Clock(0, 4, 40), false);
    EXPECT_EQ(FormatTimeOfDay(pauses.Waited()), "00:04:40");
    const TimerTexts texts = TimerTick(run, Status::Running, 20, Clock(0, 4, 40), pauses.Waited());
    EXPECT_EQ(texts.NormTime, "seit  00:04:50");
    EXPECT_EQ(texts.CalcTime, "noch  00:00:11");  // 10 s of work for 10 rows, 11 rows to go
}
