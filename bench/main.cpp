// tovalo-bench: the benchmarks of every folder, run by Google Benchmark.
//
// The window benchmarks need an application object. It lives in main's
// scope so that it is gone before exit starts: left to an exit handler, it
// would be destroyed after Qt's own statics and crash on its way out.

#include <benchmark/benchmark.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Windows are painted without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    // Qt takes its own options (-platform, …) from what the runner left.
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
