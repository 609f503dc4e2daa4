#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "core/common/sha256.h"

namespace {

std::string reference(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        static constexpr char kHex[] = "0123456789abcdef";
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xF];
    }
    return hex;
}

}  // namespace

// The published examples, and every length round the one- and two-block
// padding (and a few large ones) against OpenSSL's digest.
TEST(Sha256, AgreesWithThePublishedExamplesAndOpenSsl) {
    EXPECT_EQ(tovalo::sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(tovalo::sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(tovalo::sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    std::mt19937 random(7);
    std::string bytes;
    for (std::size_t size :
         {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129, 1000, 1 << 20}) {
        bytes.resize(size);
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        EXPECT_EQ(tovalo::sha256Hex(bytes), reference(bytes)) << size << " bytes";
    }
}
