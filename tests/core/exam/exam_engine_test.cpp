#include <gtest/gtest.h>

#include "core/exam/exam_engine.h"
#include "core/text/clock_text.h"

using namespace tovalo;

namespace {

SelectionSettings limited(int minutes) {
    SelectionSettings s;
    s.TimeLimitSeconds = minutes * 60;
    s.TimeLimitOn = minutes > 0;
    return s;
}

const std::array<bool, kMaxChoices> kNone{};

std::array<bool, kMaxChoices> marks(std::initializer_list<int> slots) {
    std::array<bool, kMaxChoices> m{};
    for (int s : slots)
        m[s - 1] = true;
    return m;
}

}  // namespace

TEST(ExamClock, WarningsAndTimeUpOfAThirtyMinuteExam) {
    ExamEngine e;
    e.start(limited(30), 30);
    std::vector<std::pair<int, std::string>> sounds;
    int timeUpAt = -1;
    for (int tick = 0; tick < 2000 && timeUpAt < 0; ++tick) {
        const int elapsed = e.progress().ElapsedSeconds;
        const TickResult t = e.tick();
        if (!t.sound.empty())
            sounds.emplace_back(elapsed, t.sound);
        if (t.timeUp)
            timeUpAt = elapsed;
    }
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(sounds[0], std::make_pair(20 * 60, std::string("wav/10min.wav")));
    EXPECT_EQ(sounds[1], std::make_pair(25 * 60, std::string("wav/05min.wav")));
    EXPECT_EQ(sounds[2], std::make_pair(29 * 60, std::string("wav/01min.wav")));
    EXPECT_EQ(timeUpAt, 30 * 60);
    EXPECT_EQ(e.progress().ElapsedSeconds, 30 * 60);  // the clock stops at the limit
}

TEST(ExamClock, FaceAndHandColoursFollowTheTimeLeft) {
    ExamEngine e;
    e.start(limited(1), 1);
    TickResult first = e.tick();  // 60 s left
    EXPECT_TRUE(first.redrawFullFace);
    EXPECT_FALSE(first.redHand);
    EXPECT_EQ(first.remainingText, "残り時間 : 1' 0");
    e.tick();                 // 59 left: still the full face
    TickResult t = e.tick();  // 58 left
    EXPECT_TRUE(t.redrawSmallFace);
    EXPECT_TRUE(t.redHand);
    EXPECT_EQ(t.remainingText, "残り時間 : 0' 58");
}

TEST(ExamClock, CaseStudyHoldsTimeUpUntilItCloses) {
    ExamEngine e;
    e.start(limited(1), 2);
    e.setTimeUpArmed(false);
    for (int i = 0; i < 70; ++i) {
        ASSERT_FALSE(e.tick().timeUp);
    }
    e.questionShown();  // the case study closes ten seconds past the limit
    e.setTimeUpArmed(true);
    EXPECT_TRUE(e.tick().timeUp);
    EXPECT_EQ(e.progress().ElapsedSeconds, 60);
    e.grade(kNone, false);
    EXPECT_EQ(e.progress().TimeSpent[0], 0);  // never negative
}

TEST(ExamClock, WithoutALimitNothingEndsAndTheTimeGoesNegative) {
    ExamEngine e;
    e.start(limited(0), 5);
    TickResult t;
    for (int i = 0; i <= 65; ++i) {
        t = e.tick();
        ASSERT_TRUE(t.sound.empty());
        ASSERT_FALSE(t.timeUp);
        ASSERT_FALSE(t.togglePaceReminder);
    }
    EXPECT_EQ(t.remainingText, "残り時間 : -1' -5");
    EXPECT_EQ(text::minutesSeconds(754), "12' 34");
}

TEST(ExamClock, PaceReminderStartsAtSixtyTwoSecondsOnQuestionOne) {
    ExamEngine e;
    e.start(limited(10), 10);
    int firstBlink = -1;
    for (int i = 0; i < 100 && firstBlink < 0; ++i) {
        const int elapsed = e.progress().ElapsedSeconds;
        if (e.tick().togglePaceReminder)
            firstBlink = elapsed;
    }
    EXPECT_EQ(firstBlink, 62);
}

TEST(ExamClock, HandTurnsOncePerMinuteFromTheTop) {
    const ClockHand top = clockHand(0);
    EXPECT_EQ(top.x2, 59);
    EXPECT_EQ(top.y2, 11);
    EXPECT_EQ(clockHand(15).x2, 101);
    EXPECT_EQ(clockHand(15).y2, 53);
    EXPECT_EQ(clockHand(30).y2, 95);
    EXPECT_EQ(clockHand(45).x2, 17);
    EXPECT_EQ(clockHand(60).y2, 11);
}

TEST(ExamNavigation, AnswersTimesAndTheReviewList) {
    ExamEngine e;
    e.start(limited(10), 3);
    EXPECT_EQ(e.previous(kNone, false), Move::Stayed);
    for (int i = 0; i < 5; ++i)
        e.tick();
    EXPECT_EQ(e.next(marks({2}), true), Move::LoadQuestion);
    e.questionShown();
    EXPECT_EQ(e.current(), 2);
    for (int i = 0; i < 3; ++i)
        e.tick();
    EXPECT_EQ(e.previous(marks({1, 3}), false), Move::LoadQuestion);
    e.questionShown();
    for (int i = 0; i < 2; ++i)
        e.tick();
    EXPECT_EQ(e.next(marks({4}), false), Move::LoadQuestion);
    e.questionShown();
    EXPECT_EQ(e.next(marks({1, 3}), false), Move::LoadQuestion);
    e.questionShown();
    EXPECT_TRUE(e.onLastQuestion());
    e.tick();
    EXPECT_EQ(e.next(kNone, false), Move::OpenReview);
    EXPECT_EQ(e.current(), 4);

    const ExamProgress& p = e.progress();
    EXPECT_EQ(p.Answer[0], marks({4}));  // the second visit replaced the first marks
    EXPECT_FALSE(p.Marked[0]);
    EXPECT_EQ(p.Answer[1], marks({1, 3}));
    EXPECT_EQ(p.TimeSpent[0], 7);  // 5 + 2 seconds over two visits
    EXPECT_EQ(p.TimeSpent[1], 3);
    EXPECT_EQ(p.TimeSpent[2], 1);

    e.jumpTo(2);
    e.questionShown();
    EXPECT_EQ(e.grade(marks({2}), true), Move::OpenReview);
    EXPECT_EQ(e.grade(marks({2}), true), Move::OpenReview);
    EXPECT_EQ(e.progress().TimeSpent[1], 3);  // grading twice counts no visit twice
    EXPECT_TRUE(e.progress().Marked[1]);
}

TEST(ExamTexts, FiguresChoicesAndLabels) {
    const std::string q = "<INCLUDE IMG>ignored@net1.jpg@net2.bmp\r\n図を見て答えなさい。";
    EXPECT_EQ(figureNames(q, 4), (std::vector<std::string>{"net1.jpg", "net2.bmp"}));
    EXPECT_EQ(figureNames("<INCLUDE IMG>@a@b@c@d@e", 4).size(), 4u);
    EXPECT_EQ(figureNames("<INCLUDE IMG>@a@b@c@d@e", 3).back(), "c");
    EXPECT_TRUE(figureNames("本文\r\n<INCLUDE IMG>@a.jpg", 4).empty());
    EXPECT_EQ(textWithoutFigureLine(q), "図を見て答えなさい。");
    EXPECT_EQ(textWithoutFigureLine("本文"), "本文");
    EXPECT_EQ(choiceDisplayText("01ルータ", 9), "ルータ");
    EXPECT_EQ(choiceDisplayText("ア１選択", 9), "選択");  // keys are characters, not bytes
    EXPECT_EQ(choiceDisplayText("01", 9), " ");
    EXPECT_EQ(choiceDisplayText("01ルータ", 1), "01ルータ");
    EXPECT_EQ(choiceLabel(3, "ｱ"), "ｳ.");
    EXPECT_EQ(choiceLabel(3, "A"), "C.");
    EXPECT_EQ(choiceLabel(3, "a"), "c.");
}
