#include "app/program_windows.h"

#include "dialogs/web_pages.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace nimbra {

ProgramWindows::ProgramWindows(TCalcForm& calcForm, ProgramState& state, PaletteList& palette,
                               UserDialogs& dialogs, Platform& system, PumpHook& pump)
    : GetXYSize(dialogs, &calcForm),
      PreView(calcForm),
      Convert(dialogs, system, pump, &calcForm),
      Copyright(QStringLiteral("Nimbra 2005"), QString::fromUtf8(WebHost), &calcForm),
      LPal(palette, dialogs, &calcForm),
      Prefs(dialogs, &calcForm),
      Help()
{
    for (QWidget* window :
         std::initializer_list<QWidget*>{&GetXYSize, &PreView, &Convert, &Copyright, &LPal, &Prefs, &Help})
        Places.Watch(*window);
    calcForm.UsePreview(PreView);
    ConnectMenu(calcForm, state);
}

void ProgramWindows::ConnectMenu(TCalcForm& calcForm, ProgramState& state)
{
    QObject::connect(&calcForm, &TCalcForm::ImageSizeRequested, &GetXYSize, [this, &calcForm] {
        if (const std::optional<ChosenSize> size = GetXYSize.AskImageSize())
            calcForm.ShowImageSize(size->Width, size->Height);
    });
    QObject::connect(&calcForm, &TCalcForm::ViewerProgramRequested, &Prefs, [this, &state] {
        if (const std::optional<std::string> viewer = Prefs.AskViewerProgram(state.ViewerProgram))
            state.ViewerProgram = *viewer;
    });
    QObject::connect(&calcForm, &TCalcForm::PaletteEditorRequested, &LPal, &QDialog::exec);
    LPal.addActions(calcForm.CommandsForPaletteEditor());
    QObject::connect(&calcForm, &TCalcForm::ConversionRequested, &Convert, &TConvert::StartConversion);
    QObject::connect(&calcForm, &TCalcForm::HelpContentsRequested, &Help, &THelp::ShowContents);
    QObject::connect(&calcForm, &TCalcForm::AboutBoxRequested, &Copyright, &QDialog::exec);
    // The help is a window beside the main window: it does not outlive it.
    QObject::connect(&calcForm, &TCalcForm::Closed, &Help, &QWidget::close);
}

}  // namespace nimbra
