#include "app/qt_pump.h"

#include <QCoreApplication>
#include <QEvent>

namespace nimbra {
namespace {

// After the last request, so long a screen reader's next one is expected at once.
constexpr int AnsweringMs = 100;
constexpr std::chrono::microseconds AnsweringWait(200);

}  // namespace

QtPump::QtPump(int intervalMs) : intervalMs_(intervalMs) { QCoreApplication::instance()->installEventFilter(this); }

void QtPump::Poll()
{
    if (!Answering() && sinceLast_.isValid() && sinceLast_.elapsed() < intervalMs_) return;
    const std::uint64_t before = requests_;
    QCoreApplication::processEvents();
    if (requests_ != before) sinceRequest_.start();
    sinceLast_.start();
}

std::chrono::microseconds QtPump::WaitBeforePoll() const
{
    return Answering() ? AnsweringWait : PumpHook::WaitBeforePoll();
}

bool QtPump::Answering() const { return sinceRequest_.isValid() && sinceRequest_.elapsed() < AnsweringMs; }

// A call another thread hands to this one (the accessibility bridge's among them) arrives as a
// meta-call event.
bool QtPump::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MetaCall) ++requests_;
    return QObject::eventFilter(watched, event);
}

}  // namespace nimbra
