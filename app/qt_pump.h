#pragma once
#include "common/pump_hook.h"

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>

namespace nimbra {

// Lets the windows handle their events while a run holds the window thread: all pending
// events are processed, at most once per interval. Requests another thread delivers to this
// one (a screen reader's, through the accessibility bus) come one after the other, each
// waiting for the answer to the last: while they come, every poll handles them and waits
// between polls are short, so that they are answered at the rate the run polls, not one per
// interval. A handler entered from here may start the stop path of the run below it.
class QtPump final : public QObject, public PumpHook {
    Q_OBJECT
public:
    static constexpr int DefaultIntervalMs = 12;

    explicit QtPump(int intervalMs = DefaultIntervalMs);
    void Poll() override;
    std::chrono::microseconds WaitBeforePoll() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Answering() const;

    int intervalMs_;
    QElapsedTimer sinceLast_;
    QElapsedTimer sinceRequest_;  // since a poll last handled a request
    std::uint64_t requests_ = 0;   // requests of other threads handled on this one
};

}  // namespace nimbra
