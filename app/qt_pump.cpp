#include "app/qt_pump.h"

#include <QCoreApplication>

namespace nimbra {

void QtPump::Poll()
{
    if (sinceLast_.isValid() && sinceLast_.elapsed() < intervalMs_) return;
    QCoreApplication::processEvents();
    sinceLast_.start();
}

}  // namespace nimbra
