#pragma once
#include "app/window_places.h"
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/user_dialogs.h"
#include "convert/ui/convert_window.h"
#include "dialogs/ui/about_window.h"
#include "dialogs/ui/help_window.h"
#include "dialogs/ui/prefs_window.h"
#include "dialogs/ui/resolution_window.h"
#include "mainwindow/program_state.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/preview_window.h"
#include "palette/palette_list.h"
#include "palette/ui/palette_window.h"

namespace nimbra {

// The windows besides the main window, created hidden right after it in the start-up order
// (the members' order), and the composition: the main window's menu signals reach them, the
// preview and the main window are lent to each other. They live as long as the main window.
// The dialogs and the progress window belong to the main window, so that they stay in front
// of it; the preview and the help are windows of their own.
class ProgramWindows {
public:
    ProgramWindows(TCalcForm& calcForm, ProgramState& state, PaletteList& palette, UserDialogs& dialogs,
                   Platform& system, PumpHook& pump);
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    WindowPlaces Places;  // first: it watches the windows below as long as they live
    TGetXYSize GetXYSize;
    TPreView PreView;
    TConvert Convert;
    TCopyright Copyright;
    TLPal LPal;
    TPrefs Prefs;
    THelp Help;

private:
    void ConnectMenu(TCalcForm& calcForm, ProgramState& state);
};

}  // namespace nimbra
