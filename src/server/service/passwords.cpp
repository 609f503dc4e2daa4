#include "server/service/passwords.h"

#include <sodium.h>

namespace tovalo::server::service {

namespace {

bool ready() {
    static const bool initialised = sodium_init() >= 0;
    return initialised;
}

}  // namespace

Result<std::string> hashPassword(std::string_view password) {
    if (password.size() < kMinPasswordBytes) {
        return Error{
            "パスワードは " + std::to_string(kMinPasswordBytes) + " 文字以上にしてください", {}, 0};
    }
    if (password.size() > kMaxPasswordBytes) {
        return Error{"パスワードが長すぎます", {}, 0};
    }
    char hash[crypto_pwhash_STRBYTES];
    if (!ready() || crypto_pwhash_str(hash, password.data(), password.size(),
                                      crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                      crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        return Error{"パスワードのハッシュを作れません (メモリ不足)", {}, 0};
    }
    return std::string(hash);
}

bool passwordMatches(std::string_view hash, std::string_view password) {
    if (!ready() || hash.empty() || hash.size() >= crypto_pwhash_STRBYTES ||
        password.size() > kMaxPasswordBytes ||
        !hash.starts_with(crypto_pwhash_argon2id_STRPREFIX)) {
        return false;
    }
    const std::string stored(hash);  // NUL-terminated for libsodium
    return crypto_pwhash_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

}  // namespace tovalo::server::service
