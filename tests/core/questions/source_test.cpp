#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/files.h"
#include "core/questions/qdf_source.h"
#include "core/questions/question_file.h"
#include "core/text/scramble.h"
#include "qdf_builder.h"

using namespace tovalo;

namespace {

QdfBuilder sampleWith(const std::vector<std::string>& question,
                      const std::vector<std::string>& choices = {"正解", "誤り", "Null"}) {
    QdfBuilder::Record r;
    r.question = question;
    r.choiceCount = 2;
    r.showCount = 2;
    r.choices = choices;
    r.refs = {"RFC 791", "12", "Null", "", "Null", "Null", "Null", "Null"};
    r.closing = "*EOF";
    QdfBuilder b;
    b.header().category("ネットワーク", {"TCP/IP"}).plain("*CE").record(r);
    return b;
}

void expectRoundTrip(const std::string& stored) {
    auto source = unpackQuestionFile(stored, "f.qdf");
    ASSERT_TRUE(source.ok()) << source.error().describe();
    auto packed = packQuestionSource(*source, "f.txt");
    ASSERT_TRUE(packed.ok()) << packed.error().describe();
    EXPECT_EQ(*packed, stored);
}

}  // namespace

TEST(QdfSource, PackWritesTheStoredFileAndUnpackReadsItBack) {
    const QdfBuilder b = sampleWith({"IPv4 アドレスは何ビットか。", "ｱｲｳ を含む行"});
    auto packed = packQuestionSource(b.source(), "f.txt");
    ASSERT_TRUE(packed.ok()) << packed.error().describe();
    EXPECT_EQ(*packed, b.stored());
    auto source = unpackQuestionFile(*packed, "f.qdf");
    ASSERT_TRUE(source.ok());
    EXPECT_EQ(*source, b.source());
}

TEST(QdfSource, RoundTripsLinesThatNeedEscaping) {
    // Stored text lines that read as a marker once unscrambled ("*DR" reads
    // "*QE"), that start with a backslash, that end in CR, that are not
    // valid CP932, that CP932 maps twice, or a choice whose text is "Null".
    QdfBuilder b = sampleWith({"*QE", "\\ で始まる行", "LINE-CR", "LINE-BROKEN", "LINE-TWICE"},
                              {"LINE-NULLTEXT", "Ahyy", "Null"});
    std::string stored = b.stored();
    // Put raw bytes in place of three placeholder lines, stored scrambled.
    auto rawLine = [&stored](const std::string& placeholder, const std::string& bytes) {
        const std::string from = text::scramble(placeholder) + "\r\n";
        const std::size_t at = stored.find(from);
        ASSERT_NE(at, std::string::npos);
        stored.replace(at, from.size(), text::scramble(bytes) + "\r\n");
    };
    rawLine("LINE-CR", "CR at the end\r");
    rawLine("LINE-BROKEN", "\x89\xBD\x85\x40");  // an undefined pair after a kanji
    rawLine("LINE-TWICE", "\xED\x40");           // the NEC-selected copy of a character
    rawLine("LINE-NULLTEXT", "Null");            // a choice whose text is "Null"
    expectRoundTrip(stored);
    auto source = unpackQuestionFile(stored, "f.qdf");
    ASSERT_TRUE(source.ok());
    EXPECT_NE(source->find("\\*QE\n"), std::string::npos);
    EXPECT_NE(source->find("\\\\ で始まる行\n"), std::string::npos);
    EXPECT_NE(source->find("\\CR at the end\\x0D\n"), std::string::npos);
    EXPECT_NE(source->find("\\\\x89\\xBD\\x85@\n"), std::string::npos);
    EXPECT_NE(source->find("\\Null\n"), std::string::npos);  // a choice that says "Null"
}

TEST(QdfSource, KeepsTheFinalLineEndAsFound) {
    std::string stored = sampleWith({"問題"}).stored();
    stored.resize(stored.size() - 2);  // no CR LF after "*EOF"
    expectRoundTrip(stored);
}

TEST(QdfSource, PackRefusesLinesItCannotStoreFaithfully) {
    auto markerLike = packQuestionSource(sampleWith({"*DR"}).source(), "f.txt");
    ASSERT_FALSE(markerLike.ok());
    EXPECT_NE(markerLike.error().message.find("*QE"), std::string::npos);
    EXPECT_EQ(markerLike.error().line, 11 + 42 + 1 + 3);

    auto emoji = packQuestionSource(sampleWith({"絵文字 \xF0\x9F\x98\x80"}).source(), "f.txt");
    ASSERT_FALSE(emoji.ok());
    EXPECT_EQ(emoji.error().line, 11 + 42 + 1 + 3);

    // A source that the loader would reject is refused too.
    std::string source = sampleWith({"問題"}).source();
    source.replace(source.find("45\n"), 3, "4x\n");
    auto broken = packQuestionSource(source, "f.txt");
    ASSERT_FALSE(broken.ok());
    EXPECT_EQ(broken.error().message, "'4x' は整数ではありません");
}

TEST(QdfSource, EverySampleCourseRoundTripsAndChecksClean) {
    namespace fs = std::filesystem;
    int courses = 0;
    for (const auto& vendor : fs::directory_iterator(fs::path(TOVALO_TEST_DATA) / "qdat")) {
        for (const auto& entry : fs::directory_iterator(vendor.path())) {
            if (entry.path().extension() != ".txt") {
                continue;
            }
            ++courses;
            auto source = readWholeFile(entry.path().string());
            ASSERT_TRUE(source.ok());
            auto packed = packQuestionSource(*source, entry.path().string());
            ASSERT_TRUE(packed.ok()) << packed.error().describe();
            expectRoundTrip(*packed);
            auto bank = parseQuestionFile(*packed, entry.path().string());
            ASSERT_TRUE(bank.ok());
            EXPECT_EQ(bank->QuesTotal, static_cast<int>(bank->questions.size())) << entry.path();
        }
    }
    EXPECT_GE(courses, 6);
}
