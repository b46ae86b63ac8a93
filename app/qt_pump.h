#pragma once
#include "common/pump_hook.h"

#include <QElapsedTimer>

namespace nimbra {

// Lets the windows handle their events while a run holds the window thread: all pending
// events are processed, at most once per interval. A handler entered from here may start
// the stop path of the run below it.
class QtPump final : public PumpHook {
public:
    static constexpr int DefaultIntervalMs = 12;

    explicit QtPump(int intervalMs = DefaultIntervalMs) : intervalMs_(intervalMs) {}
    void Poll() override;

private:
    int intervalMs_;
    QElapsedTimer sinceLast_;
};

}  // namespace nimbra
