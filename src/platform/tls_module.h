#pragma once

#include <QtPlugin>
#include <string>

#include "platform/tls_client.h"

namespace tovalo::platform {

// What the TLS module (tovalo_tls) offers: TlsClient, with OpenSSL behind it.
class TlsHandshakerFactory {
  public:
    virtual ~TlsHandshakerFactory() = default;
    virtual TlsHandshaker* create(const std::string& extraCaFile) = 0;
};

}  // namespace tovalo::platform

#define TovaloTlsHandshakerFactory_iid "jp.tovalo.TlsHandshakerFactory/1"
Q_DECLARE_INTERFACE(tovalo::platform::TlsHandshakerFactory, TovaloTlsHandshakerFactory_iid)
