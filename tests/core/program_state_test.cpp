#include "mainwindow/program_state.h"

#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

using namespace nimbra;
using namespace nimbra::testing;

TEST(ProgramState, CloseAsksOnlyWhileARunIsActiveOrPrepared)
{
    const struct {
        bool running, preparing, answer;
        CloseDecision decision;
        bool asked, stopRequested;
    } cases[] = {
        {false, false, false, CloseDecision::SaveAndClose, false, false},
        {true, false, false, CloseDecision::KeepOpen, true, false},
        {true, false, true, CloseDecision::KeepOpen, true, true},
        {false, true, true, CloseDecision::KeepOpen, true, true},
    };
    for (const auto& c : cases) {
        ProgramState state;
        ScriptedDialogs dialogs;
        dialogs.YesNoAnswers = {c.answer};
        state.Run.Running = c.running;
        state.Run.Preparing = c.preparing;
        EXPECT_EQ(state.QueryClose(dialogs), c.decision);
        EXPECT_EQ(dialogs.Questions.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(state.Run.StopRequested, c.stopRequested);
        EXPECT_FALSE(state.CloseIsDue());
    }
}

TEST(ProgramState, AConfirmedCloseWaitsForTheRunAndThenSaves)
{
    ProgramState state;
    ScriptedDialogs dialogs;
    dialogs.YesNoAnswers = {true};
    state.Run.Running = true;
    EXPECT_EQ(state.QueryClose(dialogs), CloseDecision::KeepOpen);
    EXPECT_EQ(state.QueryClose(dialogs), CloseDecision::KeepOpen);  // asked once only
    EXPECT_FALSE(state.CloseIsDue());
    state.Run.Running = false;
    EXPECT_TRUE(state.CloseIsDue());
    EXPECT_EQ(state.QueryClose(dialogs), CloseDecision::SaveAndClose);
    EXPECT_EQ(dialogs.Questions, std::vector<std::string>{"Berechnung läuft ! Soll das Programm beendet werden ?"});
    EXPECT_EQ(dialogs.QuestionCaptions, std::vector<std::string>{"Bestätigung"});
}

TEST(ProgramState, ARunStartedAfterAConfirmedCloseStopsAtOnce)
{
    ProgramState state;
    ScriptedDialogs dialogs;
    state.RunStarted();
    EXPECT_EQ(state.StatusCode, Status::Running);
    EXPECT_FALSE(state.Run.StopRequested);
    state.RunEnded();
    EXPECT_EQ(state.StatusCode, Status::Ready);

    dialogs.YesNoAnswers = {true};
    state.Run.Preparing = true;
    state.QueryClose(dialogs);
    state.Run.StopRequested = false;  // as the run's start resets it
    state.RunStarted();
    EXPECT_TRUE(state.Run.StopRequested);
}
