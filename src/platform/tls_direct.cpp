#include "platform/tls_client.h"

namespace tovalo::platform {

std::unique_ptr<TlsHandshaker> makeTlsHandshaker(const std::string& extraCaFile) {
    return std::make_unique<TlsClient>(extraCaFile);
}

}  // namespace tovalo::platform
