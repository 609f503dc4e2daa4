#include "platform/qt_modules.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <map>
#include <memory>
#include <mutex>

namespace tovalo::platform {

namespace {

struct Loaded {
    std::unique_ptr<QPluginLoader> loader;
    QObject* root = nullptr;
};

}  // namespace

QObject* loadModule(const QString& name, QString* reason) {
    // The update and the synchronisation ask from threads of their own.
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    // Tried once: a module that failed stays failed, with the same reason,
    // rather than costing a search of every folder again on each use.
    static std::map<QString, Loaded> modules;
    auto [found, added] = modules.try_emplace(name);
    Loaded& module = found->second;
    if (added) {
        module.loader = std::make_unique<QPluginLoader>(name);
        module.root = module.loader->instance();
        // Loaded on a worker thread, the module still belongs to the program.
        QCoreApplication* app = QCoreApplication::instance();
        if (module.root != nullptr && app != nullptr && module.root->thread() != app->thread()) {
            module.root->moveToThread(app->thread());
        }
    }
    if (module.root == nullptr && reason != nullptr) {
        *reason = module.loader->errorString();
    }
    return module.root;
}

}  // namespace tovalo::platform
