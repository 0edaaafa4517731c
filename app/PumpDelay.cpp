#include "PumpDelay.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "Platform.h"

namespace quorbelix {

void PumpDelay(std::uint32_t milliseconds) {
    const std::uint32_t start = platform().tickCount();
    // Bounds each sleep below: the event loop wakes for the first event or for this timer.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        // Unsigned difference: a wrap of the counter during the wait is harmless.
        const std::uint32_t elapsed = platform().tickCount() - start;
        if (elapsed >= milliseconds) {
            return;
        }
        const std::uint32_t remaining = milliseconds - elapsed;
        wake.start(static_cast<int>(std::min<std::uint32_t>(remaining, INT_MAX)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace quorbelix
