#include "server/service/learner_keys.h"

#include <fcntl.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/common/files.h"

namespace tovalo::server::service {

namespace {

constexpr std::size_t kSecretBytes = 32;

Error secretError(const std::string& path, const std::string& what) {
    return Error{path + ": " + what, {}, 0};
}

}  // namespace

std::string hexOf(const unsigned char* bytes, std::size_t size) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string hmacSha256Hex(std::string_view key, std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
         reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest, &size);
    return hexOf(digest, size);
}

Result<std::string> loadOrCreateSecret(const std::string& dataDir) {
    const std::string path = dataDir + "/" + kSecretFileName;
    // Made under a temporary name and linked into place, so two servers
    // starting on an empty folder end up with one secret, and a crash never
    // leaves a short one.
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        unsigned char bytes[kSecretBytes];
        if (RAND_bytes(bytes, sizeof bytes) != 1) {
            return secretError(path, "no random bytes for a new secret");
        }
        const std::string text = hexOf(bytes, sizeof bytes) + "\n";
        const std::string temporary = path + ".new." + std::to_string(::getpid());
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            return secretError(path, std::string("cannot create: ") + std::strerror(errno));
        }
        const bool written =
            ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
            ::fsync(fd) == 0;
        ::close(fd);
        const bool linked =
            written && (::link(temporary.c_str(), path.c_str()) == 0 || errno == EEXIST);
        const int savedErrno = errno;
        ::unlink(temporary.c_str());
        if (!linked) {
            return secretError(path, std::string("cannot create: ") + std::strerror(savedErrno));
        }
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (info.st_mode & 077) != 0) {
        return secretError(path, "readable by others; make it mode 600");
    }
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes) {
        return secretError(path, "cannot be read");
    }
    std::string secret = *bytes;
    while (!secret.empty() && (secret.back() == '\n' || secret.back() == '\r')) {
        secret.pop_back();
    }
    if (secret.size() < 2 * kSecretBytes) {
        return secretError(path, "too short to be the server's secret");
    }
    return secret;
}

std::string SerialHasher::hash(std::string_view serialUtf8) const {
    return hmacSha256Hex(secret_, serialUtf8);
}

}  // namespace tovalo::server::service
