#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo::server::service {

// The secret file in the data folder.
inline constexpr const char* kSecretFileName = "secret";

// Reads the server's secret from `dataDir`, creating it (32 random bytes,
// readable by the owner only) on the first start. A secret that exists but
// cannot be read, or is too short, fails: a new one would orphan every
// learner already stored.
Result<std::string> loadOrCreateSecret(const std::string& dataDir);

// Bytes as lowercase hex digits.
std::string hexOf(const unsigned char* bytes, std::size_t size);
// HMAC-SHA-256 of `text` under `key`, in lowercase hex.
std::string hmacSha256Hex(std::string_view key, std::string_view text);

// The learner's identifier as the store keeps it: HMAC-SHA-256 under the
// server's secret, in lowercase hex. Without the secret a stolen store does
// not give the identifiers back, not even by trying likely ones.
class SerialHasher {
  public:
    explicit SerialHasher(std::string secret) : secret_(std::move(secret)) {}
    [[nodiscard]] std::string hash(std::string_view serialUtf8) const;

  private:
    std::string secret_;
};

}  // namespace tovalo::server::service
