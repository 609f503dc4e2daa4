// The TLS module: TlsClient, and OpenSSL with it, for the program.
#include <QObject>

#include "platform/tls_module.h"

namespace tovalo::platform {

class TlsModule : public QObject, public TlsHandshakerFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TovaloTlsHandshakerFactory_iid)
    Q_INTERFACES(tovalo::platform::TlsHandshakerFactory)

  public:
    TlsHandshaker* create(const std::string& extraCaFile) override {
        return new TlsClient(extraCaFile);
    }
};

}  // namespace tovalo::platform

#include "tls_module.moc"
