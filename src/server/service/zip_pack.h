#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "core/common/result.h"

namespace tovalo::server::service {

// A zip archive holding `bytes` as its one entry `name`, deflated. The same
// input gives the same bytes on every server and at every start (the entry's
// time is `modified`, nothing else varies), so an answer can be named by its
// content.
Result<std::string> singleEntryZip(std::string_view name, std::string_view bytes,
                                   std::time_t modified);

// What goes on the line for question file `name`: the archive holding
// "#" + name when that is smaller than the file, else the file itself. The
// client unpacks whatever starts with "PK" and takes anything else as the
// file.
Result<std::string> smallerForm(std::string_view name, std::string_view bytes,
                                std::time_t modified);

}  // namespace tovalo::server::service
