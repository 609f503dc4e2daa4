#pragma once

// Question files for the screen tests, written as readable sources and
// packed the way the build packs the sample courses.

#include <string>
#include <utility>
#include <vector>

#include "core/questions/qdf_source.h"
#include "core/text/cp932.h"

struct MinorSpec {
    std::string name;
    int questions = 1;
};

struct CategorySpec {
    std::string name;
    std::vector<MinorSpec> minors;
};

struct CourseSpec {
    std::string tag = "QFileFormat-v1.4";
    int examQuesCount = 10;
    int examTimeLimit = 30;
    std::string code = "TS-100";
    std::string title = "テストコース";
    std::string line6 = "0";
    std::string line7 = "0";
    std::string line8 = "0";
    std::string line9 = "20261201";
    // One record is written for every question a minor category promises.
    std::vector<CategorySpec> categories{{"ネットワーク", {{"基礎", 2}, {"応用", 2}}}};
};

inline std::string courseSource(const CourseSpec& c) {
    std::vector<std::string> lines;
    int total = 0;
    for (const CategorySpec& cat : c.categories) {
        for (const MinorSpec& m : cat.minors) {
            total += m.questions;
        }
    }
    lines = {c.tag,
             std::to_string(c.examQuesCount) + "/70",
             std::to_string(c.examTimeLimit),
             c.code,
             c.title,
             c.line6,
             c.line7,
             c.line8,
             c.line9,
             std::to_string(total)};
    for (const CategorySpec& cat : c.categories) {
        int inCategory = 0;
        for (const MinorSpec& m : cat.minors) {
            inCategory += m.questions;
        }
        lines.push_back(cat.name);
        lines.push_back(std::to_string(inCategory));
        for (std::size_t s = 0; s < 20; ++s) {
            const bool used = s < cat.minors.size();
            lines.push_back(used ? cat.minors[s].name : "");
            lines.push_back(used ? std::to_string(cat.minors[s].questions) : "0");
        }
    }
    lines.push_back("*CE");
    int num = 0;
    for (std::size_t ci = 0; ci < c.categories.size(); ++ci) {
        const CategorySpec& cat = c.categories[ci];
        for (std::size_t si = 0; si < cat.minors.size(); ++si) {
            for (int q = 0; q < cat.minors[si].questions; ++q) {
                ++num;
                const std::vector<std::string> record = {std::to_string(num),
                                                         std::to_string(ci + 1),
                                                         std::to_string(si + 1),
                                                         "問題 " + std::to_string(num),
                                                         "*QE",
                                                         "4",
                                                         "4",
                                                         "1",
                                                         "1"};
                lines.insert(lines.end(), record.begin(), record.end());
                for (const char* choice : {"正解", "誤り一", "誤り二", "誤り三"}) {
                    lines.push_back(choice);
                    lines.push_back("*AE");
                }
                for (int k = 0; k < 6; ++k) {
                    lines.push_back("Null");
                    lines.push_back("*AE");
                }
                for (int k = 0; k < 11; ++k) {
                    lines.push_back("0");
                }
                lines.push_back("解説");
                lines.push_back("*EE");
                for (int k = 0; k < 8; ++k) {
                    lines.push_back("Null");
                }
                for (int k = 0; k < 4; ++k) {
                    lines.push_back("");
                }
                lines.push_back(num == total ? "*EOF" : "*NEXT");
            }
        }
    }
    std::string out;
    for (const std::string& l : lines) {
        out += l + "\n";
    }
    return out;
}

// The stored question file; empty when the source would not pack.
inline std::string courseFile(const CourseSpec& c) {
    auto packed = tovalo::packQuestionSource(courseSource(c), c.code + ".qdf");
    return packed ? *packed : std::string();
}

// Only the ten header lines: enough for the catalog, which reads no further.
inline std::string courseHeader(const std::string& code,
                                const std::string& tag = "QFileFormat-v1.4",
                                const std::string& line8 = "0", int total = 12) {
    return tovalo::text::utf8ToCp932(tag + "\r\n30/70\r\n45\r\n" + code + "\r\nコース " + code +
                                     "\r\n0\r\n0\r\n" + line8 + "\r\n20261201\r\n" +
                                     std::to_string(total) + "\r\n");
}
