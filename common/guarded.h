#pragma once
#include "common/error.h"
#include "common/user_dialogs.h"

#include <utility>

namespace nimbra {

// Runs the work of one window handler. A command that cannot go on is shown to the user and
// the windows stay as they were; nothing is thrown into the window system's event loop.
template <class Work>
void Guarded(UserDialogs& dialogs, Work&& work)
{
    try {
        std::forward<Work>(work)();
    } catch (const Error& error) {
        dialogs.ShowError(error.what());
    }
}

}  // namespace nimbra
