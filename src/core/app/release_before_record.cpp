#include "core/app/release_before_record.h"

#include <algorithm>
#include <iterator>

namespace tovalo::app {

namespace {

struct ShippedFile {
    std::string_view path;
    std::string_view sha256;
};

// Sorted by path. Taken from that release's sample (bin/ of the staged
// installation, which its install copied as it was).
constexpr ShippedFile kShipped[] = {
    {"bin/CGI_URL", "8eb7c22a22c1bf017aa5d6792891b26a6d4de7a9c6ef1672a0e99236868a7456"},
    {"bin/FormProto", "6ceac92d7ed21eb2bf27aa2a6e917c0e1b33af1bd35fb200509fbb5820dcdb51"},
    {"bin/His_srv", "ac9afba608bbded6d8d2529f20de4c3682ecb8adc17e21c6b02017ab98b4c33f"},
    {"bin/LaunchProto", "06088235f978fdf2669522d13c4d50b229ec99cfc5866b6ae80ee0bb8530e7ad"},
    {"bin/Print/PrintProto", "b3a379a4018494036fdac15f3eadfd8b876290e615c59d15326b2d3bea995903"},
    {"bin/Print/black.gif", "c7f56d61705689cbbee10deb5caaad8f01a5ae4ab79571985b74d5e716a09e8b"},
    {"bin/Print/print_scale.gif",
     "9588c6f254044b431d83b6f47b6212eec9d60852da94f8a03ddd242615bd7cfd"},
    {"bin/Print/red.gif", "b77cd61cbd36a9a5f3922a91108989fe99577256be1915ab68a8841d8611a2d3"},
    {"bin/QuesProto", "9f7f4f6ed3b8248e4faccec01564bd53ecb737cfcde12c0c98ad2492987047c0"},
    {"bin/QuesProto2", "0cf54c79ff3fc28fc908da053f5dd6f37e089e319144cf1a1b2a326b2d753cf9"},
    {"bin/Ref/kumo/crypto.html",
     "8086659ffeb2b498ec47bd5196622d0793cd409c6b21a41c0a7a997beb9c5b46"},
    {"bin/Ref/nexa/osi.html", "f738ae87b657edeefe85ab5627d74a6a73a9dd77741b818743d474abdc0aa96f"},
    {"bin/Ref/nexa/ports.html", "efcc32026b320b284374b16495c853e330763cb150fd21448f385537c0839943"},
    {"bin/Ref/nexa/raid.html", "ec2c16efb34746719e9ff7549a0b993991a4cfbf193bcf3d0d8ff79bfc29befc"},
    {"bin/Ref/nexa/subnet.html",
     "7325cf11e7f4e771805a4a0550b3cf41515ffa682a9d6eb1d58d8803f2782af1"},
    {"bin/Ref/sorane/permission.html",
     "d1bbee12f24aac68a5e1805a3893435345415a2dc15e62c1ebb9ae18f180f680"},
    {"bin/Ref/sorane/sql_select.html",
     "8ce8b1a2386027ffb598f471cdfc784292a4b4a40cf0ce58cb6d840f041e8caa"},
    {"bin/SRV_INFO", "7b8ade87c042bec62cc748b145142703a362f1395c8f4fa415a9180e65395605"},
    {"bin/Tovalo20.ini", "a094accc55330f2c76f75e0d0f251b6e9df218bf5cd537131f688a24604e44f1"},
    {"bin/Tovalokumo.rcc", ""},
    {"bin/Tovalonexa.rcc", ""},
    {"bin/Tovalosorane.rcc", ""},
    {"bin/kumo-info.html", "17e94ec69cd52900982add47adddb929f37304a011d12da63f276ee5cb4b68a5"},
    {"bin/nexa-info.html", "a60cfee774be11a6d0ec617065346c802da30cb014d34d19379083a1cd75d54d"},
    {"bin/online", "446726829b1ea1c39359e3a0fe6ac78460b81f4883c147aa4527fcdeb2309d05"},
    {"bin/sorane-info.html", "7abc488071218338bc435e7cb8fa1e16708e4c359211aa9c2abb50b4a661fe7f"},
    {"bin/urlref", "10862ac7f4709a3d754b33236f65a4c59237ee40d45efb93f86d794eb884b73d"},
    {"bin/wav/01min.wav", "0a1b9fdc431ebe7373a5e83de6d21bc9f25279248afbee6f71a8e10a247dc374"},
    {"bin/wav/05min.wav", "58b67904b1c118daeef727cfa23c6d925fb45fd80ec58298595d474339844520"},
    {"bin/wav/10min.wav", "308de7416b669c43d885ccbdac3c159a650bbb243fd4dd7d5bda5078c5520493"},
    {"bin/wav/Bad.wav", "6c2fb4550f77b2916770b8122ed38f308400e3704d3c8732b93591f20cb3701e"},
    {"bin/wav/Dorvel.wav", "ac0285c8c965e524e589ede0efaac4f36f4ef1c84a160553564121113a8b927d"},
    {"bin/wav/Excellent.wav", "42f2e26adcc445cbc46528f5435fe7991c5bee3e7db7daa55c8bc107fdcdd8d8"},
    {"bin/wav/Good.wav", "b7d7ff7754a5c96b3501fe78a3c125a84c99fbafc9f2f4a338b760e6e46339a5"},
    {"bin/wav/Soso.wav", "6ca4854aabaa3e02cec1b390ee1bd2829bbc4451e245e839d9c0c50322c21ead"},
    {"bin/wav/cat.wav", "072f2a63df0990936597af1ef158115132faf05afcba88ba6bd7f12966785373"},
    {"bin/wav/start.wav", "69c83b13e7def6ea3dd96e6638c798ce9bfda655e8367115747798dcbda1c375"},
    {"bin/wav/test.wav", "9d5e4eb03431630dd336f0c7f2a3f1c5b7a2709b5906a603d997a1a3e4236ba5"},
};
static_assert(std::is_sorted(std::begin(kShipped), std::end(kShipped),
                             [](const ShippedFile& a, const ShippedFile& b) {
                                 return a.path < b.path;
                             }));

}  // namespace

std::optional<std::string_view> shippedBeforeRecord(std::string_view relativePath) {
    const auto* found =
        std::lower_bound(std::begin(kShipped), std::end(kShipped), relativePath,
                         [](const ShippedFile& f, std::string_view p) { return f.path < p; });
    if (found == std::end(kShipped) || found->path != relativePath) {
        return std::nullopt;
    }
    return found->sha256;
}

}  // namespace tovalo::app
