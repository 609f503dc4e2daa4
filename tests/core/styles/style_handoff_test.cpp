#include <gtest/gtest.h>

#include "core/questions/question_bank.h"
#include "core/styles/style_handoff.h"

using namespace tovalo;

namespace {

std::array<std::string, kMaxChoices> shown(std::initializer_list<const char*> choices) {
    std::array<std::string, kMaxChoices> s;
    std::size_t k = 0;
    for (const char* c : choices) {
        s[k++] = c;
    }
    return s;
}

}  // namespace

TEST(StyleHandoff, GroupsAndTheAnswerSlot) {
    const auto graphic =
        shown({"b@10,10,50,50", "a@60,60,90,90", "c@1,1,2,2", "x", "a@later", "e@5", "a@7"});
    StyleHandoff h = styleHandoff(AnswerStyle::Graphic, graphic, {});
    EXPECT_EQ(h.groups[0], "later");  // the last scanned "a@" line wins
    EXPECT_EQ(h.groups[1], "10,10,50,50");
    EXPECT_EQ(h.groups[2], "1,1,2,2");
    EXPECT_EQ(h.groups[3], "");
    EXPECT_EQ(h.groups[4], "5");
    EXPECT_EQ(h.answerSlot, 5);  // slot 7 lies beyond the six scanned slots

    h = styleHandoff(AnswerStyle::Panel, graphic, {});  // keeps the "@", scans three slots
    EXPECT_EQ(h.groups[0], "@60,60,90,90");
    EXPECT_EQ(h.answerSlot, 2);

    h = styleHandoff(AnswerStyle::Connect, shown({"b@x", "c@y", "d@z"}), {});
    EXPECT_EQ(h.answerSlot, 0);  // no "a@" line: never right

    h = styleHandoff(AnswerStyle::Single, shown({"a@1"}), {});
    EXPECT_EQ(h.answerSlot, 0);
    EXPECT_EQ(h.groups[0], "");
}

// The connect window takes both figures, the other windows and the click
// picture the first, and the choice styles none.
TEST(StyleHandoff, FiguresGoWhereTheStyleTakesThem) {
    const std::vector<std::string> figures{"img/a.jpg", "img/b.bmp", "img/c.jpg"};
    const auto pictures = [&](AnswerStyle s) {
        return styleHandoff(s, shown({}), figures).pictures;
    };
    EXPECT_EQ(pictures(AnswerStyle::Connect),
              (std::array<std::string, 2>{"img/a.jpg", "img/b.bmp"}));
    EXPECT_EQ(pictures(AnswerStyle::Graphic), (std::array<std::string, 2>{"img/a.jpg", ""}));
    EXPECT_EQ(pictures(AnswerStyle::ClickPicture), (std::array<std::string, 2>{"img/a.jpg", ""}));
    EXPECT_EQ(pictures(AnswerStyle::Multiple), (std::array<std::string, 2>{"", ""}));
    EXPECT_EQ(styleHandoff(AnswerStyle::Connect, shown({}), {"only.jpg"}).pictures[1], "");
}

TEST(AnswerStyles, OnlyTheNineNumbersNameAStyle) {
    for (int n = 1; n <= 9; ++n) {
        EXPECT_TRUE(isAnswerStyle(n));
        EXPECT_EQ(static_cast<int>(traitsOf(n).style), n);
    }
    EXPECT_FALSE(isAnswerStyle(0));
    EXPECT_FALSE(isAnswerStyle(10));
    EXPECT_FALSE(isAnswerStyle(-3));
}

// The zones of the graphic and click-picture styles come from the groups
// that are not blank; a zone whose numbers cannot be read marks the
// question as damaged instead of becoming a zone at the origin.
TEST(StyleHandoff, ZonesFromTheGroups) {
    StyleHandoff h = styleHandoff(AnswerStyle::ClickPicture,
                                  shown({"a@10,20,110,220", "b@ 5, 6 ,7,8", "c@  "}), {});
    EXPECT_EQ(h.zones, (std::vector<PictureRect>{{10, 20, 110, 220}, {5, 6, 7, 8}}));
    EXPECT_FALSE(h.defect);

    h = styleHandoff(AnswerStyle::Graphic, shown({"a@10,20,110", "b@1,2,3,4"}), {});
    ASSERT_TRUE(h.defect);
    EXPECT_EQ(h.defect->group, 0);
    EXPECT_TRUE(h.zones.empty());

    // A gap in the groups leaves a blank zone among the first N, which is no zone at all.
    h = styleHandoff(AnswerStyle::Graphic, shown({"a@1,1,9,9", "c@20,20,30,30"}), {});
    ASSERT_TRUE(h.defect);
    EXPECT_EQ(h.defect->group, 1);
    EXPECT_EQ(
        defectNote(*h.defect),
        "この問題は解答データ（b@ の行）に誤りがあるため、解答できません: 領域が抜けています。");
    EXPECT_TRUE(styleHandoff(AnswerStyle::Panel, shown({"a@1,2,3,4"}), {}).zones.empty());
}

// The learner is told which figure is missing, without the installation's folders.
TEST(StyleHandoff, UnreadablePictureNoteNamesTheFileOnly) {
    EXPECT_EQ(unreadablePictureNote("/opt/tovalo/QDAT/nexa/img/rack.jpg"),
              "この問題の図（rack.jpg）を読み込めないため、解答できません。");
    EXPECT_EQ(unreadablePictureNote(""), "この問題には図がないため、解答できません。");
    // The windows that cut pieces out of the picture read bitmaps only.
    EXPECT_EQ(unreadablePictureNote("img/tiers.jpg", true),
              "この問題の図（tiers.jpg）をビットマップとして読み込めないため、解答できません。");
}

// Panel lists: every item begins at an "@"; the second panel style names
// its items after a fourth ",".
TEST(StyleHandoff, PanelListsOfBothPanelStyles) {
    // The "@" of "b@" introduces the first item: the groups keep it.
    const auto panel =
        shown({"a@0,0,10,10;20,0,30,10", "b@0,0,10,10@0,20,10,30", "c@20,0,30,10@40,0,50,10"});
    StyleHandoff h = styleHandoff(AnswerStyle::Panel, panel, {});
    ASSERT_EQ(h.destinations.size(), 2u);
    EXPECT_EQ(h.destinations[1].text, "0,20,10,30");
    EXPECT_EQ(h.destinations[1].rect, (PictureRect{0, 20, 10, 30}));
    ASSERT_EQ(h.pieces.size(), 2u);
    EXPECT_EQ(h.pieces[0].rect, (PictureRect{20, 0, 30, 10}));
    EXPECT_FALSE(h.defect);

    h = styleHandoff(AnswerStyle::PanelSecond,
                     shown({"a@s;p", "b@0,0,10,10,left@0,20,10,30,right", "c@20,0,30,10,cpu,fan"}),
                     {});
    ASSERT_EQ(h.destinations.size(), 2u);
    EXPECT_EQ(h.destinations[0].id, "left");
    EXPECT_EQ(h.pieces[0].id, "cpu,fan");  // all text after the fourth ","
    EXPECT_EQ(h.pieces[0].rect, (PictureRect{20, 0, 30, 10}));

    EXPECT_EQ(styleHandoff(AnswerStyle::Panel, shown({"a@x", "b@1,2", "c@"}), {}).defect->group, 1);
    // Text before the first "@" belongs to no item.
    const auto list = parsePanelList("before@1,2,3,4", false);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].text, "1,2,3,4");
}

// Lists over their limits and a question without its "a@" line cannot be
// answered as written; each says which line is wrong.
TEST(StyleHandoff, BrokenDataLinesNameTheirGroup) {
    std::string hundredAndOne;
    for (int k = 0; k < 101; ++k) {
        hundredAndOne += "@0,0,1,1";
    }
    auto h = styleHandoff(AnswerStyle::Panel,
                          shown({"a@", ("b" + hundredAndOne).c_str(), "c@1,1,2,2"}), {});
    ASSERT_TRUE(h.defect);
    EXPECT_EQ(h.defect->group, 1);
    std::string hundred = hundredAndOne.substr(std::string("@0,0,1,1").size());
    EXPECT_FALSE(
        styleHandoff(AnswerStyle::Panel, shown({"a@", ("c" + hundred).c_str()}), {}).defect);

    h = styleHandoff(AnswerStyle::Descriptive, shown({"a@Router ", "b@ off ", "c@12"}), {});
    EXPECT_FALSE(h.defect);
    EXPECT_EQ(h.descriptive.expected, "Router ");  // used as stored
    EXPECT_EQ(h.descriptive.caseRule, "off");
    EXPECT_EQ(h.descriptive.maxLength, 12);
    EXPECT_EQ(
        styleHandoff(AnswerStyle::Descriptive, shown({"a@x", "b@on", "c@ten"}), {}).defect->group,
        2);
    EXPECT_EQ(
        styleHandoff(AnswerStyle::Descriptive, shown({"a@x", "b@ON", "c@3"}), {}).defect->group, 1);

    h = styleHandoff(AnswerStyle::Graphic, shown({"b@1,1,9,9"}), {});
    ASSERT_TRUE(h.defect);
    EXPECT_EQ(h.defect->group, 0);  // zone b alone: a gap, and no right answer
    h = styleHandoff(AnswerStyle::Connect, shown({"b@0,0,9,9,A", "c@0,0,9,9,x,0"}), {});
    ASSERT_TRUE(h.defect);
    EXPECT_EQ(h.defect->what, "正解を示す行がありません");
}
