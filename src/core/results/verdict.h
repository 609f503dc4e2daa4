#pragma once

#include <array>
#include <string>

namespace tovalo {

// The verdict band of a rate: 0 for A (81..100) … 4 for E (0..24).
int verdictIndex(int examRate);

// The five verdict texts from the course settings file (defaults for what
// is missing).
std::array<std::string, 5> readLevelTexts(const std::string& qdfPath);

// The sound of a rate, relative to the program directory.
std::string resultSound(int examRate);

}  // namespace tovalo
