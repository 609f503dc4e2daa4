#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

namespace tovalo::tool {

// A history file's bytes as `his dump` shows them; the server's
// administration shows a stored history the same way.
nlohmann::ordered_json historyJson(std::string_view bytes);

}  // namespace tovalo::tool
