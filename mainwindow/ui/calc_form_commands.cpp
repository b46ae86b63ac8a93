// The main window's commands that open the other windows or leave the program.
#include "mainwindow/ui/calc_form.h"

#include "app/program_windows.h"
#include "common/guarded.h"
#include "dialogs/viewer.h"
#include "dialogs/web_pages.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <optional>
#include <utility>

namespace nimbra {

void TCalcForm::AttachWindows(ProgramWindows& windows)
{
    windows_ = &windows;
    preView_ = &windows.PreView;
    ConnectCommand(CFGLoad, [this] { CFGLoadClick(); });
    ConnectCommand(CFGSave, [this] { CFGSaveClick(); });
    ConnectCommand(Auflsungermitteln1, [this] { Auflsungermitteln1Click(); });
    ConnectCommand(PrgSet, [this] { PrgSetClick(); });
    ConnectCommand(Farbpalettegenerieren1, [this] { Farbpalettegenerieren1Click(); });
    ConnectConversions();
    ConnectCommand(Inhalt1, [this] { windows_->Help.ShowContents(); });
    ConnectCommand(OnlineManual1, [this] { OpenOnlineManual(system_, dialogs_); });
    ConnectCommand(Updatesuchen1, [this] { CheckForUpdates(system_, dialogs_); });
    ConnectCommand(ber1, [this] { windows_->Copyright.exec(); });
}

// RGBCMY1Click, RGBGRAD1Click, CMYRGB1Click, CMYGRAD1Click, GRADRGB1Click, GRADCMY1Click. A
// conversion may start during a run; the converter ignores a second one while it converts.
void TCalcForm::ConnectConversions()
{
    const std::pair<QAction*, ConversionKind> conversions[] = {
        {RGBCMY1, ConversionKind::ckRgbCmy},   {CMYRGB1, ConversionKind::ckRgbCmy},
        {RGBGRAD1, ConversionKind::ckToGrad},  {CMYGRAD1, ConversionKind::ckToGrad},
        {GRADRGB1, ConversionKind::ckGradRgb}, {GRADCMY1, ConversionKind::ckGradCmy},
    };
    for (const auto& [command, kind] : conversions)
        ConnectCommand(command, [this, kind = kind] { windows_->Convert.StartConversion(kind); });
}

void TCalcForm::Auflsungermitteln1Click()
{
    if (const std::optional<ChosenSize> size = windows_->GetXYSize.AskImageSize()) {
        WidthEdit->setText(size->Width);
        HeightEdit->setText(size->Height);
    }
    // Whichever button closed it: the size is meant for a file.
    SetTestMode->setChecked(false);
}

void TCalcForm::PrgSetClick()
{
    if (const std::optional<std::string> viewer = windows_->Prefs.AskViewerProgram(ViewerProgram))
        ViewerProgram = *viewer;
}

void TCalcForm::Farbpalettegenerieren1Click()
{
    SetGrad->setChecked(true);  // runs SetGradClick when it was not checked
    windows_->LPal.exec();
    SetGradClick();  // the picture shows the edited gradient
}

void TCalcForm::ShowBtnClick()
{
    Guarded(dialogs_, [this] { StartViewer(ViewerProgram, LastImagePath, system_, dialogs_); });
}

}  // namespace nimbra
