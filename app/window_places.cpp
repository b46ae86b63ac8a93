#include "app/window_places.h"

#include <QEvent>
#include <QWidget>

namespace nimbra {

void WindowPlaces::Watch(QWidget& window) { window.installEventFilter(this); }

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = static_cast<QWidget*>(watched);
    // The show event comes before the window is mapped, after a dialog has centred itself.
    if (event->type() == QEvent::Show && !event->spontaneous() && places_.contains(watched))
        window->move(places_.value(watched));
    if (event->type() == QEvent::Hide && !event->spontaneous()) places_.insert(watched, window->pos());
    return QObject::eventFilter(watched, event);
}

}  // namespace nimbra
