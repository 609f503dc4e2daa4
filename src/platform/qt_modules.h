#pragma once

#include <QObject>
#include <QString>

namespace tovalo::platform {

// The program keeps what only some learners or some moments need (the page
// engine, sound, TLS, unpacking archives) in modules of its own, loaded the
// first time they are wanted: every library linked into the program is paid
// for on every start. A module is looked for beside the program, in the
// installed module folder the program adds to the library paths, and in
// QT_PLUGIN_PATH (the tests). Loaded once, kept until the program ends; any
// thread may ask. nullptr, with the loader's reason, when it cannot be loaded.
QObject* loadModule(const QString& name, QString* reason = nullptr);

template <class Interface>
Interface* moduleInterface(const QString& name, QString* reason = nullptr) {
    QObject* root = loadModule(name, reason);
    auto* found = qobject_cast<Interface*>(root);
    if (root != nullptr && found == nullptr && reason != nullptr) {
        *reason = name + QStringLiteral(": not the module that was expected");
    }
    return found;
}

}  // namespace tovalo::platform
