#include <gtest/gtest.h>

#include "core/sync/sync_rules.h"
#include "core/text/cp932.h"

using namespace tovalo;
using namespace tovalo::sync;

namespace {

app::Profile profile(std::string name = "Taro Yamada", std::string email = "taro@example.jp") {
    return app::Profile{std::move(name), "Org", std::move(email), "S-123"};
}

platform::LocalDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {y, mo, d, h, mi, s};
}

std::string valueOf(const std::string& body, const std::string& key) {
    const std::size_t at = body.find("&" + key + "=");
    if (at == std::string::npos) {
        return "<missing>";
    }
    const std::size_t from = at + key.size() + 2;
    return body.substr(from, body.find('&', from) - from);
}

QuestionBank bankOf(std::vector<int> nums) {
    QuestionBank bank;
    bank.QuesTotal = static_cast<int>(nums.size());
    for (int n : nums) {
        QuestionRecord r;
        r.QuesNum = n;
        bank.questions.push_back(r);
    }
    return bank;
}

HistoryFile usedHistory() {
    HistoryFile h;
    h.QuestionFilePath = "/inst/QDAT/nexa/NX-101.qdf";
    h.exams[0] = {12, 11, 30, 9, 5, 80, 2, 300};
    h.exams[1] = {3, 1, 2, 23, 59, 7, 1, 1};
    h.BestRate = 80;
    h.AverageRate = 43;
    h.reserved = {0, 0, 0, 0};
    h.categories[0] = {{100, 50, 101, 0, 7}, 64, 100};
    h.categories[49] = {{1, 2, 3, 4, 5}, 6, 255};
    h.CorrectCount[0] = 3;
    h.WrongCount[0] = 1;
    h.CorrectCount[2] = 255;
    return h;
}

// The upload line turned into the settings file a download answer is.
std::string asDownload(const std::string& uploadLine) {
    std::string ini = "[DLDATA]\r\n";
    for (char c : uploadLine.substr(0, uploadLine.size() - 2)) {
        ini += c == '&' ? std::string("\r\n") : std::string(1, c);
    }
    return ini + "\r\n";
}

}  // namespace

TEST(SyncRules, BlanksAreEscapedInQueriesAndUploadsButNotInDownloads) {
    const app::Profile p = profile("Taro  Yamada 山田");
    EXPECT_EQ(queryBody(p, "NX 101"),
              text::utf8ToCp932("Name=Taro%20%20Yamada%20山田&Serial=S-123&Test_ID=NX%20101"
                                "&Email=taro@example.jp\r\n"));
    EXPECT_EQ(downloadBody(p, "NX 101"),
              text::utf8ToCp932("Name=Taro  Yamada 山田&Serial=S-123&Test_ID=NX 101"
                                "&Email=taro@example.jp\r\n"));
    const std::string up = uploadBody(p, "NX 101", "2026/12/01 10:00:00", bankOf({1}), {});
    EXPECT_EQ(up.find(' '), std::string::npos);
    EXPECT_EQ(valueOf(up, "NAME"), text::utf8ToCp932("Taro%20%20Yamada%20山田"));
    EXPECT_EQ(valueOf(up, "LASTUPDATE"), "2026/12/01%2010:00:00");
}

TEST(SyncRules, QueryAnswers) {
    QueryAnswer a = readQueryAnswer("ERROR1:登録されていないユーザーです。\r\nmore\r\n");
    EXPECT_EQ(a.kind, QueryAnswer::Kind::Refused);
    EXPECT_EQ(a.message, "登録されていないユーザーです。");
    a = readQueryAnswer("ERROR1 " + text::utf8ToCp932("期限切れ"));
    EXPECT_EQ(a.message, "期限切れ");
    EXPECT_EQ(readQueryAnswer("ERROR1").message, "");

    EXPECT_EQ(readQueryAnswer("ERROR2 busy\r\n").serverDate, "----");
    EXPECT_EQ(readQueryAnswer("  NOTFOUND \r\n").serverDate, "1998/01/01");
    // Only the whole word means "not found".
    EXPECT_EQ(readQueryAnswer("NOTFOUNDX").serverDate, "NOTFOUNDX");
    a = readQueryAnswer(" 2026/11/30 08:15:00\r\n2001/01/01 00:00:00\r\n");
    EXPECT_EQ(a.kind, QueryAnswer::Kind::Date);
    EXPECT_EQ(a.serverDate, "2026/11/30 08:15:00");
    EXPECT_EQ(readQueryAnswer("").serverDate, "");
}

TEST(SyncRules, DatesAreRealCalendarMoments) {
    auto parsed = parseSyncDate("2026/2/3 4:05");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(formatSyncDate(*parsed), "2026/02/03 04:05:00");
    EXPECT_EQ(formatSyncDate(*parseSyncDate("1998/01/01")), "1998/01/01 00:00:00");
    EXPECT_EQ(formatSyncDate(*parseSyncDate("2024/02/29 23:59:59")), "2024/02/29 23:59:59");
    for (const char* bad : {"", "----", "2026/02/30 10:00:00", "2023/02/29", "2026/13/01",
                            "2026/12/01 24:00:00", "2026/12/01 10:60", "2026/12/01 10:00:00x",
                            "2026-12-01 10:00:00", "12/01/2026", "2026/12/01 10", "20261/1/1"}) {
        EXPECT_FALSE(parseSyncDate(bad)) << bad;
    }
    const platform::LocalDateTime t = at(2026, 12, 9, 13, 45, 30);
    EXPECT_EQ(formatSyncDate(platform::toLocalDateTime(toTimePoint(t))), "2026/12/09 13:45:30");
}

TEST(SyncRules, StateOfEachCourse) {
    const platform::LocalDateTime client = at(2026, 12, 1, 10, 0, 0);
    EXPECT_EQ(decideState("2026/12/01 10:00:00", client, false), SyncState::Synced);
    EXPECT_EQ(decideState("2026/12/01 10:00:01", client, false), SyncState::ServerNewer);
    EXPECT_EQ(decideState("2026/12/01 09:59:59", client, false), SyncState::ClientNewer);
    // A course never used and never stored: the local (empty) file goes up.
    EXPECT_EQ(decideState(kNeverStored, client, true), SyncState::ClientNewer);
    // Never used here, but the server has a copy from anywhere before.
    EXPECT_EQ(decideState("2020/01/01 00:00:00", client, true), SyncState::ServerNewer);
    EXPECT_EQ(decideState("2026/12/01 10:00:00", client, true), SyncState::Synced);
    EXPECT_EQ(decideState(kNoDate, client, true), SyncState::Unavailable);
    EXPECT_FALSE(decideState("yesterday", client, false));
    EXPECT_FALSE(decideState("2026/02/31 10:00:00", client, false));

    EXPECT_EQ(shownServerDate(kNeverStored), "----");
    EXPECT_EQ(shownServerDate(kNoDate), "----");
    EXPECT_EQ(shownServerDate("2026/12/01 10:00:00"), "2026/12/01 10:00:00");
    EXPECT_STREQ(stateText(SyncState::ClientNewer), "ｸﾗｲｱﾝﾄ最新");
    EXPECT_STREQ(stateText(SyncState::Unavailable), "同期不可");
}

TEST(SyncRules, UnusedHistoryIsTheCatalogsEmptyFile) {
    EXPECT_TRUE(isUnusedHistory(emptyHistoryFile("")));
    EXPECT_TRUE(isUnusedHistory(emptyHistoryFile("a")));
    EXPECT_FALSE(isUnusedHistory(emptyHistoryFile("/inst/QDAT/nexa/NX-101.qdf")));
    EXPECT_FALSE(isUnusedHistory(""));
}

TEST(SyncRules, ProxyFields) {
    EXPECT_EQ(checkProxy("proxy.example.jp", "8080"), "");
    EXPECT_EQ(checkProxy("http://proxy", "8080"), kBadProxyName);
    EXPECT_EQ(checkProxy("proxy", "80 80"), kBadProxyPort);
    EXPECT_EQ(checkProxy("proxy", "Inout Proxy Port"), kBadProxyPort);
    EXPECT_EQ(checkProxy("proxy", "-1"), kBadProxyPort);
    EXPECT_EQ(checkProxy("proxy", ""), kBadProxyPort);
    EXPECT_EQ(checkProxy("proxy", "65536"), kBadProxyPort);
    EXPECT_EQ(testIdOf("/inst/QDAT/nexa/NX 101.v2.qdf"), "NX 101.v2");
}

TEST(SyncRules, UploadCarriesEveryFieldInOrder) {
    const std::string up =
        uploadBody(profile(), "NX-101", "2026/12/01 10:00:00", bankOf({7, 9, 11}), usedHistory());
    ASSERT_TRUE(up.ends_with("&STATUS=OK\r\n"));
    EXPECT_TRUE(
        up.starts_with("SERIAL=S-123&EMAIL=taro@example.jp&NAME=Taro%20Yamada"
                       "&TEST_ID=NX-101&SENDQNUM=3&LASTUPDATE=2026/12/01%2010:00:00"
                       "&MAX=80&AVG=43&TIME00=12&DATE00=11300905&RATE00=80&MODE00=2"
                       "&QAMNT00=300&TIME01=3&DATE01=01022359&RATE01=7&MODE01=1"
                       "&QAMNT01=1&TIME02=0&DATE02=00000000&"))
        << up.substr(0, 300);
    EXPECT_NE(up.find("&QAMNT09=0&CATEGORY00=1&POINT00=100050101000007064100&CATEGORY01=2&"),
              std::string::npos);
    EXPECT_NE(up.find("&CATEGORY49=50&POINT49=001002003004005006255&QNUM000=7&CORR000=3"
                      "&FALS000=1&QNUM001=9&CORR001=0&FALS001=0&QNUM002=11&CORR002=255"
                      "&FALS002=0&STATUS=OK"),
              std::string::npos);
    EXPECT_EQ(valueOf(up, "QNUM003"), "<missing>");

    const std::string anonymous = uploadBody(profile("", ""), "NX-101", "", bankOf({}), {});
    EXPECT_EQ(valueOf(anonymous, "EMAIL"), "<NO%20EMAIL%20ADDRESS>");
    EXPECT_EQ(valueOf(anonymous, "NAME"), "<NO%20NAME>");
}

// What one side sends the other reads back unchanged: a field named or
// ordered differently on either side would lose history.
TEST(SyncRules, AnUploadReadBackIsTheSameHistory) {
    HistoryFile sent = usedHistory();
    sent.exams[0].QuestionCount = 200;
    for (int q = 0; q < kHistoryQuestions; ++q) {
        sent.CorrectCount[q] = q % 256;
        sent.WrongCount[q] = (q * 7) % 256;
    }
    std::vector<int> nums(kHistoryQuestions);
    const std::string up =
        uploadBody(profile("Taro", "t@x"), "NX-101", "2026/12/01 10:00:00", bankOf(nums), sent);
    const std::optional<HistoryFile> back =
        historyFromDownload(asDownload(up), sent.QuestionFilePath);
    ASSERT_TRUE(back);
    EXPECT_EQ(historyFileBytes(*back), historyFileBytes(sent));
}

TEST(SyncRules, DownloadsKeepLowBytesOnly) {
    const std::string body =
        "[other]\r\nMAX=9\r\n[dldata]\r\nTEST_ID=SOMETHING-ELSE\r\nqamnt00=300\r\nQAMNT00=5\r\n"
        "QAMNT01=1\r\nQAMNT02=256\r\nMAX=300\r\nAVG= 77 \r\nTIME00=99999999999999999999999\r\n"
        "RATE00=-1\r\nDATE00=12312359\r\nDATE01=0102\r\nPOINT00=100050101000007064100\r\n"
        "POINT01=999\r\nCORR000=257\r\nFALS499=42\r\n";
    const std::optional<HistoryFile> h = historyFromDownload(body, "/inst/QDAT/nexa/NX-101.qdf");
    ASSERT_TRUE(h);
    const std::string bytes = historyFileBytes(*h);
    ASSERT_EQ(bytes.size(), kHistoryFileSize);
    EXPECT_EQ(bytes.substr(0, 4), ".HIS");
    EXPECT_EQ(bytes.substr(4, 26), "/inst/QDAT/nexa/NX-101.qdf");
    EXPECT_EQ(bytes.substr(30, 482), std::string(482, '\x0B'));
    struct Expected {
        std::size_t offset;
        int value;
        const char* why;
    };
    const Expected expected[] = {
        {512 + 7, 44, "QAMNT00 300, low byte; the first of two keys wins"},
        {512 + 8, 1, "QAMNT00 300, high byte"},
        {521 + 7, 1, "QAMNT01 1"},
        {521 + 8, 0, "QAMNT01 1, high byte"},
        {530 + 7, 0, "QAMNT02 256, low byte"},
        {530 + 8, 1, "QAMNT02 256, high byte"},
        {512, 255, "TIME00 10^23 - 1, far past any integer type"},
        {512 + 1, 12, "DATE00 month"},
        {512 + 4, 59, "DATE00 minute"},
        {512 + 5, 255, "RATE00 -1"},
        {521 + 1, 1, "DATE01 month"},
        {521 + 2, 2, "DATE01 day"},
        {521 + 3, 0, "DATE01 hour, past the text"},
        {602, 44, "MAX 300"},
        {603, 77, "AVG, trimmed"},
        {604, 0, "reserved"},
        {607, 0, "reserved"},
        {608, 100, "POINT00 first rate"},
        {608 + 6, 100, "POINT00 best"},
        {615, 231, "POINT01 999"},
        {616, 0, "POINT01 second piece, past the text"},
        {958, 0xFF, "end mark"},
        {959, 0xFF, "end mark"},
        {960, 1, "CORR000 257"},
        {1959, 42, "FALS499"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(static_cast<unsigned char>(bytes[e.offset]), e.value) << e.why;
    }

    EXPECT_FALSE(historyFromDownload("[DLDATA]\r\nCORR010=ten\r\n", "x.qdf"));
    EXPECT_FALSE(historyFromDownload("[DLDATA]\r\nPOINT03=1x0\r\n", "x.qdf"));
    const std::optional<HistoryFile> empty = historyFromDownload("", "x.qdf");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->BestRate, 0);
    EXPECT_EQ(empty->exams[0].QuestionCount, 0);
}
