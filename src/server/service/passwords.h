#pragma once

#include <string>
#include <string_view>

#include "core/common/result.h"

// Staff passwords, kept only as libsodium's Argon2id strings: the salt and
// the cost travel with the hash, so accounts made under other costs still
// verify.
namespace tovalo::server::service {

// Shorter passwords are refused when an account is made.
inline constexpr std::size_t kMinPasswordBytes = 8;
inline constexpr std::size_t kMaxPasswordBytes = 1024;

Result<std::string> hashPassword(std::string_view password);

// Whether `password` is the one `hash` was made from; a hash that is no
// Argon2id string matches nothing. Takes a good part of a second on
// purpose.
bool passwordMatches(std::string_view hash, std::string_view password);

}  // namespace tovalo::server::service
