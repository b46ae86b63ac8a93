#include "mainwindow/ui/screen_dpi.h"

#include <QGuiApplication>
#include <QScreen>

namespace nimbra {

double ScreenDpiFactor()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchX() / 96.0 : 1.0;
}

}  // namespace nimbra
