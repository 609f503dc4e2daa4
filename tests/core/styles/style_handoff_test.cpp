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
    EXPECT_FALSE(h.damaged);

    h = styleHandoff(AnswerStyle::Graphic, shown({"a@10,20,110", "b@1,2,3,4"}), {});
    EXPECT_TRUE(h.damaged);
    EXPECT_EQ(h.zones.size(), 1u);
    EXPECT_TRUE(styleHandoff(AnswerStyle::Panel, shown({"a@1,2,3,4"}), {}).zones.empty());
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
    EXPECT_FALSE(h.damaged);

    h = styleHandoff(AnswerStyle::PanelSecond,
                     shown({"a@s;p", "b@0,0,10,10,left@0,20,10,30,right", "c@20,0,30,10,cpu,fan"}),
                     {});
    ASSERT_EQ(h.destinations.size(), 2u);
    EXPECT_EQ(h.destinations[0].id, "left");
    EXPECT_EQ(h.pieces[0].id, "cpu,fan");  // all text after the fourth ","
    EXPECT_EQ(h.pieces[0].rect, (PictureRect{20, 0, 30, 10}));

    EXPECT_TRUE(styleHandoff(AnswerStyle::Panel, shown({"a@x", "b@1,2", "c@"}), {}).damaged);
    // Text before the first "@" belongs to no item.
    const auto list = parsePanelList("before@1,2,3,4", false);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].text, "1,2,3,4");
}
