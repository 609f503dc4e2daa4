#include "server/protocol/sync_wire.h"

#include <gtest/gtest.h>

#include "core/results/history_file.h"
#include "core/sync/sync_rules.h"
#include "core/text/cp932.h"

namespace tovalo::server::protocol {
namespace {

app::Profile learner(std::string name) {
    app::Profile p;
    p.name = std::move(name);
    p.email = "taro@example.jp";
    p.serial = "TV-0001 A";
    return p;
}

QuestionBank bankOf(int total) {
    QuestionBank bank;
    bank.QuesTotal = total;
    for (int j = 1; j <= total; ++j) {
        QuestionRecord r;
        r.QuesNum = 1000 + j;
        bank.questions.push_back(r);
    }
    return bank;
}

// A history with something different in every field the upload carries.
HistoryFile busyHistory(int questions) {
    HistoryFile h;
    h.QuestionFilePath = "/inst/QDAT/nexa/NX-101.qdf";
    for (int i = 0; i < kExamSlots; ++i) {
        h.exams[i] = {i + 3, 1 + i, 10 + i, 2 * i, 5 * i, 9 * i, i % 4, 290 + i};
    }
    h.BestRate = 97;
    h.AverageRate = 61;
    h.reserved = {0, 0, 0, 0};
    for (int c = 0; c < kCategories; ++c) {
        h.categories[c] = {{c, 101, 100 - c, 2 * c, 255}, c + 1, 100};
    }
    for (int q = 0; q < questions; ++q) {
        h.CorrectCount[q] = (7 * q) % 256;
        h.WrongCount[q] = (3 * q + 1) % 256;
    }
    return h;
}

// What the program sends comes back, through what the server keeps, as
// the same history file the learner uploaded.
TEST(SyncWire, AnUploadComesBackAsTheSameHistoryFile) {
    for (const auto& [name, questions] : std::vector<std::pair<std::string, int>>{
             {"山田 太郎", 300}, {"A&B=C &NAME=", 500}, {"", 0}, {"Ｔａｒｏ%", 1}}) {
        SCOPED_TRACE(name);
        const HistoryFile sent = busyHistory(questions);
        const std::string body = sync::uploadBody(learner(name), "NX 101&=", "2026/12/01 10:02:03",
                                                  bankOf(questions), sent);
        Result<Upload> upload = parseUploadBody(body);
        ASSERT_TRUE(upload) << upload.error().message;
        EXPECT_EQ(upload->name, name.empty() ? "<NO NAME>" : name);
        EXPECT_EQ(upload->testId, "NX 101&=");
        EXPECT_EQ(upload->serial, "TV-0001 A");
        EXPECT_EQ(upload->lastUpdate, "2026/12/01 10:02:03");
        ASSERT_EQ(upload->questions.size(), static_cast<std::size_t>(questions));
        if (questions > 0) {
            EXPECT_EQ(upload->questions.back().number, 1000 + questions);
        }

        const std::string answer = downloadAnswer("TV-0001 A", downloadRecord(*upload));
        const std::optional<HistoryFile> back =
            sync::historyFromDownload(answer, "/inst/QDAT/nexa/NX-101.qdf");
        ASSERT_TRUE(back);
        EXPECT_EQ(historyFileBytes(*back), historyFileBytes(sent));
    }
}

TEST(SyncWire, PersonLinesKeepEveryFieldWhateverItHolds) {
    struct Case {
        std::string body;
        PersonFields expected;
    };
    const std::vector<Case> cases = {
        {"Name=Taro%20Yamada&Serial=S1&Test_ID=NX-101&Email=t@x.jp\r\n",
         {"Taro Yamada", "S1", "NX-101", "t@x.jp"}},
        {"Name=A&Serial=B=C&Serial=S2&Test_ID=T&Email=\r\n", {"A&Serial=B=C", "S2", "T", ""}},
        {"Name=Plain blanks&Serial=S 3&Test_ID=NX 101&Email=e",
         {"Plain blanks", "S 3", "NX 101", "e"}},
        {text::utf8ToCp932("Name=山田&Serial=S4&Test_ID=試験&Email=\r\n"),
         {"山田", "S4", "試験", ""}},
    };
    for (const Case& c : cases) {
        Result<PersonFields> read = parsePersonBody(c.body);
        ASSERT_TRUE(read) << c.body;
        EXPECT_EQ(read->name, c.expected.name);
        EXPECT_EQ(read->serial, c.expected.serial);
        EXPECT_EQ(read->testId, c.expected.testId);
        EXPECT_EQ(read->email, c.expected.email);
    }
}

// Bodies that are not the protocol are refused, whatever is wrong.
TEST(SyncWire, BodiesThatAreNotTheProtocolAreRefused) {
    const std::string good = sync::uploadBody(learner("Taro"), "NX-101", "2026/12/01 10:02:03",
                                              bankOf(3), busyHistory(3));
    ASSERT_TRUE(parseUploadBody(good));
    auto replaced = [&](std::string_view from, std::string_view to) {
        std::string s = good;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    std::string manyKeys = good.substr(0, good.size() - 11);
    for (int i = 0; i < 10'000; ++i) {
        manyKeys += "&X=1";
    }
    const std::vector<std::pair<std::string, std::string>> uploads = {
        {"empty", ""},
        {"no STATUS", replaced("STATUS=OK", "")},
        {"a key missing", replaced("&MAX=97", "")},
        {"keys swapped", replaced("&MAX=97&AVG=61", "&AVG=61&MAX=97")},
        {"rate above a byte", replaced("&AVG=61", "&AVG=256")},
        {"negative count", replaced("&CORR000=0", "&CORR000=-1")},
        {"month 13", replaced("&DATE00=01100000", "&DATE00=13100000")},
        {"short date", replaced("&DATE00=01100000", "&DATE00=0110000")},
        {"no real last update", replaced("2026/12/01%2010:02:03", "2026/02/30%2010:02:03")},
        {"category out of place", replaced("CATEGORY01=2", "CATEGORY01=3")},
        {"six points", replaced("&POINT00=000101100000255001100", "&POINT00=000101100000255001")},
        {"fewer slots than announced", replaced("&SENDQNUM=3", "&SENDQNUM=4")},
        {"more slots than announced", replaced("&SENDQNUM=3", "&SENDQNUM=2")},
        {"a slot too many on the wire", replaced("&SENDQNUM=3", "&SENDQNUM=1000")},
        {"10,000 keys", manyKeys + "&STATUS=OK"},
        {"a NUL in the name", replaced("NAME=Taro", std::string("NAME=Ta\0ro", 10))},
        {"a line break in the name", replaced("NAME=Taro", "NAME=Ta\r\nro")},
        {"not Shift_JIS", replaced("NAME=Taro", "NAME=\x81\x20\xFF")},
        {"a 16 MiB name", replaced("NAME=Taro", "NAME=" + std::string(16 << 20, 'a'))},
        {"something after STATUS", good.substr(0, good.size() - 2) + "&MORE=1\r\n"},
        {"no identifier", replaced("SERIAL=TV-0001%20A", "SERIAL=")},
    };
    for (const auto& [what, body] : uploads) {
        EXPECT_FALSE(parseUploadBody(body)) << what;
    }
    const std::vector<std::pair<std::string, std::string>> people = {
        {"empty", ""},
        {"no email key", "Name=A&Serial=S&Test_ID=T\r\n"},
        {"out of order", "Name=A&Test_ID=T&Serial=S&Email=e\r\n"},
        {"no course", "Name=A&Serial=S&Test_ID=&Email=e\r\n"},
        {"a NUL", std::string("Name=A&Serial=S\0&Test_ID=T&Email=e\r\n", 37)},
        {"two lines", "Name=A&Serial=S&Test_ID=T&Email=e\r\nName=B\r\n"},
        {"a field over 1 KiB", "Name=" + std::string(2000, 'a') + "&Serial=S&Test_ID=T&Email=e"},
        {"not Shift_JIS", "Name=\xFF\xFF&Serial=S&Test_ID=T&Email=e"},
    };
    for (const auto& [what, body] : people) {
        EXPECT_FALSE(parsePersonBody(body)) << what;
    }
}

}  // namespace
}  // namespace tovalo::server::protocol
