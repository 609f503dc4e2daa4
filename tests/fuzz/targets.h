#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tovalo::fuzz {

// Each target feeds one input to one reader and checks what must hold for
// every input; a broken promise aborts, which the fuzzer reports as a crash.
using Target = void (*)(const std::uint8_t* data, std::size_t size);

struct NamedTarget {
    std::string_view name;
    Target run;
};

void questionFile(const std::uint8_t* data, std::size_t size);
void qdfHeader(const std::uint8_t* data, std::size_t size);
void historyFile(const std::uint8_t* data, std::size_t size);
void adaptiveFile(const std::uint8_t* data, std::size_t size);
void iniFile(const std::uint8_t* data, std::size_t size);
void cp932(const std::uint8_t* data, std::size_t size);
void styleData(const std::uint8_t* data, std::size_t size);
void httpResponse(const std::uint8_t* data, std::size_t size);
void syncUpload(const std::uint8_t* data, std::size_t size);
void syncPerson(const std::uint8_t* data, std::size_t size);
void formBody(const std::uint8_t* data, std::size_t size);
void multipartBody(const std::uint8_t* data, std::size_t size);

inline constexpr NamedTarget kTargets[] = {
    {"question_file", questionFile},
    {"qdf_header", qdfHeader},
    {"history_file", historyFile},
    {"adaptive_file", adaptiveFile},
    {"ini", iniFile},
    {"cp932", cp932},
    {"style_data", styleData},
    {"http_response", httpResponse},
    {"sync_upload", syncUpload},
    {"sync_person", syncPerson},
    {"form_body", formBody},
    {"multipart_body", multipartBody},
};

}  // namespace tovalo::fuzz
