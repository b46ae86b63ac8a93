// The main window's region commands: the zoom and scroll buttons, the way back and forth
// through the regions, and what the preview's rubber band, closing and resizing ask of it.
#include "mainwindow/ui/calc_form.h"

#include <QAction>
#include <QCheckBox>

namespace nimbra {

// ZOOClick, ZOIClick, SCLClick, SCRClick, SCUClick, SCDClick.
void TCalcForm::RegionButtonClick(RegionButton button)
{
    ParamFields fields = GatherFields();
    WriteRegion(ButtonRegion(button, fields), fields, DecimalSeparator());
    ShowRegionStep(fields);
    RunOnceThePreviewWasShown();
}

void TCalcForm::ViewBackClick() { RestoreRegion(state_.Regions.Back()); }

void TCalcForm::ViewForwardClick() { RestoreRegion(state_.Regions.Forward()); }

void TCalcForm::RestoreRegion(const std::optional<RegionTexts>& region)
{
    if (!region) return;
    const bool running = state_.Run.Running;
    if (running) {
        // The command stops the run, as the zoom buttons do. Closing the preview then writes a
        // pending selection into the fields: no step of its own, the restored region replaces it.
        const RegionHistory regions = state_.Regions;
        RunOnceThePreviewWasShown();
        state_.Regions = regions;
    }
    ParamFields fields = GatherFields();
    PutRegion(*region, fields);
    PutFieldTexts(fields);
    EnableViewCommands();
    if (!running) RunOnceThePreviewWasShown();
}

void TCalcForm::RunOnceThePreviewWasShown()
{
    if (preview_ != nullptr && preview_->EverShown()) MakeButtonClick();
}

void TCalcForm::ShowRegionStep(const ParamFields& fields)
{
    const RegionTexts before = RegionOf(GatherFields());
    PutFieldTexts(fields);
    state_.Regions.Step(before, RegionOf(fields));
    EnableViewCommands();
}

void TCalcForm::EnableViewCommands()
{
    ViewBack->setEnabled(state_.Regions.CanGoBack());
    ViewForward->setEnabled(state_.Regions.CanGoForward());
}

void TCalcForm::WriteSelection(const SelectionCorners& corners)
{
    ParamFields fields = GatherFields();
    WriteRegion(SelectionRegion(corners, state_.Params), fields, DecimalSeparator());
    ShowRegionStep(fields);
}

void TCalcForm::PreviewClosing() { state_.Run.StopRequested = true; }

void TCalcForm::SelectionReleased(const SelectionCorners& corners)
{
    WriteSelection(corners);
    MakeButtonClick();
}

void TCalcForm::SelectionKeptForFile(const SelectionCorners& corners)
{
    WriteSelection(corners);
    SetTestMode->setChecked(false);
}

void TCalcForm::PreviewResized()
{
    if (!state_.Run.Running) MakeButtonClick();
}

}  // namespace nimbra
