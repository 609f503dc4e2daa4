#include <gtest/gtest.h>

#include "core/exam/style_handoff.h"

using namespace tovalo;

TEST(StyleHandoff, GroupsAndTheAnswerSlot) {
    ExamQuestion q;
    q.Style = 3;
    q.ShownChoice = {"b@10,10,50,50", "a@60,60,90,90", "c@1,1,2,2", "x", "a@later", "e@5", "a@7"};
    const auto g = choiceGroups(q);
    EXPECT_EQ(g[0], "later");  // the last scanned "a@" line wins
    EXPECT_EQ(g[1], "10,10,50,50");
    EXPECT_EQ(g[2], "1,1,2,2");
    EXPECT_EQ(g[3], "");
    EXPECT_EQ(g[4], "5");
    EXPECT_EQ(answerSlot(q), 5);  // slot 7 lies beyond the six scanned slots

    q.Style = 4;  // panels keep the "@" and scan three slots
    EXPECT_EQ(choiceGroups(q)[0], "@60,60,90,90");
    EXPECT_EQ(answerSlot(q), 2);

    q.Style = 7;
    q.ShownChoice = {"b@x", "c@y", "d@z"};
    EXPECT_EQ(answerSlot(q), 0);  // no "a@" line: never right

    q.Style = 1;
    q.ShownChoice = {"a@1"};
    EXPECT_EQ(answerSlot(q), 0);
}
