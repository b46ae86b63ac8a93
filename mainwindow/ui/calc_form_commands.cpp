// The main window's menu commands besides the formulas, the reset and the end: the configuration
// files, those the other windows carry out, and the web pages; and the viewer button.
#include "mainwindow/ui/calc_form.h"

#include "common/guarded.h"
#include "dialogs/viewer.h"
#include "dialogs/web_pages.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

#include <utility>

namespace nimbra {

void TCalcForm::ConnectCommand(QAction* command, std::function<void()> handler)
{
    connect(command, &QAction::triggered, this, [this, handler = std::move(handler)] { Guarded(dialogs_, handler); });
}

void TCalcForm::ConnectMenuCommands()
{
    ConnectCommand(CFGLoad, [this] { CFGLoadClick(); });
    ConnectCommand(CFGSave, [this] { CFGSaveClick(); });
    ConnectCommand(Auflsungermitteln1, [this] { Auflsungermitteln1Click(); });
    ConnectCommand(PrgSet, [this] { emit ViewerProgramRequested(); });
    ConnectCommand(Farbpalettegenerieren1, [this] { Farbpalettegenerieren1Click(); });
    // RGBCMY1Click, RGBGRAD1Click, CMYRGB1Click, CMYGRAD1Click, GRADRGB1Click, GRADCMY1Click. A
    // conversion may start during a run; the converter ignores a second one while it converts.
    const std::pair<QAction*, ConversionKind> conversions[] = {
        {RGBCMY1, ConversionKind::RgbCmy},   {CMYRGB1, ConversionKind::RgbCmy},
        {RGBGRAD1, ConversionKind::ToGrad},  {CMYGRAD1, ConversionKind::ToGrad},
        {GRADRGB1, ConversionKind::GradRgb}, {GRADCMY1, ConversionKind::GradCmy},
    };
    for (const auto& [command, kind] : conversions)
        ConnectCommand(command, [this, kind = kind] { emit ConversionRequested(kind); });
    ConnectCommand(Inhalt1, [this] { emit HelpContentsRequested(); });
    ConnectCommand(OnlineManual1, [this] { OpenOnlineManual(system_, dialogs_); });
    ConnectCommand(Updatesuchen1, [this] { CheckForUpdates(system_, dialogs_); });
    ConnectCommand(ber1, [this] { emit AboutBoxRequested(); });
}

QList<QAction*> TCalcForm::CommandsForPaletteEditor() const
{
    QList<QAction*> commands;
    for (const QMenu* menu : findChildren<QMenu*>())
        for (QAction* command : menu->actions())
            if (!command->shortcut().isEmpty() && command != Farbpalettegenerieren1 && command != Beenden1)
                commands << command;
    return commands;
}

void TCalcForm::Auflsungermitteln1Click()
{
    emit ImageSizeRequested();
    // Whichever button closed it: the size is meant for a file.
    SetTestMode->setChecked(false);
}

void TCalcForm::ShowImageSize(const QString& width, const QString& height)
{
    WidthEdit->setText(width);
    HeightEdit->setText(height);
}

void TCalcForm::Farbpalettegenerieren1Click()
{
    SetGrad->setChecked(true);  // runs SetGradClick when it was not checked
    emit PaletteEditorRequested();
    // The picture shows the edited gradient, unless a configuration loaded from the editor
    // (its F2) chose another model meanwhile.
    if (SetGrad->isChecked()) SetGradClick();
}

void TCalcForm::ShowBtnClick()
{
    Guarded(dialogs_, [this] { StartViewer(state_.ViewerProgram, state_.LastImagePath, system_, dialogs_); });
}

}  // namespace nimbra
