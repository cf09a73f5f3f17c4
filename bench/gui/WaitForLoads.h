#pragma once

// Opened pictures decode away from the window's thread; the benchmarks
// turn the event loop until they have landed (no Qt Test here).
#include "gui/document/MyDocument.h"

#include <QCoreApplication>

namespace korvex::bench {

inline void waitForLoads(MyDocument& document)
{
    while (document.isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

}  // namespace korvex::bench
