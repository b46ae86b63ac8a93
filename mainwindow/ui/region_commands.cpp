// The main window's region commands: the zoom and scroll buttons, and what the preview's
// rubber band, closing and resizing ask of it.
#include "mainwindow/ui/calc_form.h"

#include <QCheckBox>

namespace nimbra {

// ZOOClick, ZOIClick, SCLClick, SCRClick, SCUClick, SCDClick.
void TCalcForm::RegionButtonClick(RegionButton button)
{
    ParamFields fields = GatherFields();
    WriteRegion(ButtonRegion(button, fields), fields, DecimalSeparator());
    ShowFieldTexts(fields);
    if (preview_ != nullptr && preview_->EverShown()) MakeButtonClick();
}

void TCalcForm::WriteSelection(const SelectionCorners& corners)
{
    ParamFields fields = GatherFields();
    WriteRegion(SelectionRegion(corners, state_.Params), fields, DecimalSeparator());
    ShowFieldTexts(fields);
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
