#include "app/program_windows.h"

#include "dialogs/web_pages.h"
#include "mainwindow/ui/calc_form.h"

namespace nimbra {

ProgramWindows::ProgramWindows(TCalcForm& calcForm, PaletteList& palette, UserDialogs& dialogs, Platform& system,
                               PumpHook& pump)
    : GetXYSize(dialogs),
      PreView(calcForm),
      Convert(dialogs, system, pump),
      Copyright(QStringLiteral("Nimbra 2005"), QString::fromUtf8(WebHost)),
      LPal(palette, dialogs),
      Prefs(dialogs),
      Help()
{
    calcForm.AttachWindows(*this);
}

}  // namespace nimbra
