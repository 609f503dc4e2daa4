#pragma once

#include <string>

namespace tovalo {

// One bar of the printed reports: 400 pixels wide, red for the part of `v`
// percent that was reached and black for the rest, `height` pixels high
// (30 for the overall bar, 15 for a category), closing its table row. A
// value outside 0..100 (a category never asked) gives no bar at all.
std::string progressBarRow(int height, int v);

}  // namespace tovalo
