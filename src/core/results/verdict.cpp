#include "core/results/verdict.h"

#include "core/questions/question_file.h"
#include "core/text/ini.h"

namespace tovalo {

int verdictIndex(int examRate) {
    if (examRate >= 81) {
        return 0;
    }
    if (examRate >= 71) {
        return 1;
    }
    if (examRate >= 51) {
        return 2;
    }
    if (examRate >= 25) {
        return 3;
    }
    return 4;
}

std::array<std::string, 5> readLevelTexts(const std::string& qdfPath) {
    const text::IniFile ini = text::IniFile::loadOrEmpty(courseSettingsPath(qdfPath));
    return {ini.value("Level", "TextA", "レベル:A 合格安心"),
            ini.value("Level", "TextB", "レベル:B ぎりぎり合格"),
            ini.value("Level", "TextC", "レベル:C あとちょっと"),
            ini.value("Level", "TextD", "レベル:D がんばり必要"),
            ini.value("Level", "TextE", "レベル:E もっとがんばり必要")};
}

std::string resultSound(int examRate) {
    static const char* kSounds[] = {"wav/Excellent.wav", "wav/Good.wav", "wav/Soso.wav",
                                    "wav/Bad.wav", "wav/Dorvel.wav"};
    return kSounds[verdictIndex(examRate)];
}

}  // namespace tovalo
