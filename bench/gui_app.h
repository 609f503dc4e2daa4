#pragma once

// Benchmarks that paint windows need an application object; they get one
// on the offscreen platform, so that they run without a display.

#include <QApplication>
#include <QByteArray>
#include <memory>

namespace tovalo::bench {

inline QApplication& guiApp() {
    static std::unique_ptr<QApplication> app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "tovalo-bench";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

}  // namespace tovalo::bench
