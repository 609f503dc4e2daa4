#include <cstdio>

#include "platform/qt_modules.h"
#include "platform/tls_module.h"

namespace tovalo::platform {

std::unique_ptr<TlsHandshaker> makeTlsHandshaker(const std::string& extraCaFile) {
    QString reason;
    auto* factory = moduleInterface<TlsHandshakerFactory>(QStringLiteral("tovalo_tls"), &reason);
    if (factory == nullptr) {
        std::fprintf(stderr, "tovalo: no TLS: %s\n", qPrintable(reason));
        return nullptr;
    }
    return std::unique_ptr<TlsHandshaker>(factory->create(extraCaFile));
}

}  // namespace tovalo::platform
