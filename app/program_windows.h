#pragma once
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/user_dialogs.h"
#include "convert/ui/convert_window.h"
#include "dialogs/ui/about_window.h"
#include "dialogs/ui/help_window.h"
#include "dialogs/ui/prefs_window.h"
#include "dialogs/ui/resolution_window.h"
#include "mainwindow/ui/preview_window.h"
#include "palette/palette_list.h"
#include "palette/ui/palette_window.h"

namespace nimbra {

class TCalcForm;

// The windows besides the main window, created hidden right after it in the start-up order
// (the members' order) and attached to it. They live as long as the main window.
class ProgramWindows {
public:
    ProgramWindows(TCalcForm& calcForm, PaletteList& palette, UserDialogs& dialogs, Platform& system,
                   PumpHook& pump);
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TGetXYSize GetXYSize;
    TPreView PreView;
    TConvert Convert;
    TCopyright Copyright;
    TLPal LPal;
    TPrefs Prefs;
    THelp Help;
};

}  // namespace nimbra
