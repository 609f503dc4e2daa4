#pragma once

// Benchmarks that paint windows use the application object that main
// creates on the offscreen platform, so that they run without a display.

#include <QApplication>

namespace tovalo::bench {

inline QApplication& guiApp() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        qFatal("tovalo-bench: a window benchmark ran before main made the application");
    }
    return *app;
}

}  // namespace tovalo::bench
