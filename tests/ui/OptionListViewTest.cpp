#include "ui/qt/OptionListView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <functional>
#include <QSignalSpy>

#include <set>
#include <stdexcept>

namespace quorvex {
namespace {

// Two groups: "First" with rows 0..2, "Second" with rows 3..4.
class OptionListView : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(300, 200);
        list.setColumnCount(1);
        AddGroup("First", {"zero", "one", "two"});
        AddGroup("Second", {"three", "four"});
    }

    void AddGroup(const char* name, std::initializer_list<const char*> rows)
    {
        auto* group = new QTreeWidgetItem(&list, {QString::fromLatin1(name)});
        group->setFlags(Qt::ItemIsEnabled);
        for (const char* row : rows)
            (new QTreeWidgetItem(group, {QString::fromLatin1(row)}))->setCheckState(0, Qt::Unchecked);
    }

    TOptionListView list;
};

TEST_F(OptionListView, AddressesRowsByOptionIndexWithoutTheGroups)
{
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Caption(0), "zero");
    EXPECT_EQ(list.Caption(3), "three");
    EXPECT_EQ(list.Caption(4), "four");
    EXPECT_EQ(list.Item(5), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    EXPECT_EQ(list.IndexOf(list.topLevelItem(1)), -1);
    for (int index = 0; index < list.Count(); ++index)
        EXPECT_EQ(list.IndexOf(list.Item(index)), index);
    list.SetCaption(3, "changed");
    EXPECT_EQ(list.topLevelItem(1)->child(0)->text(0), "changed");
}

TEST_F(OptionListView, GroupsAreOpenAndHeadersHidden)
{
    EXPECT_TRUE(list.topLevelItem(0)->isExpanded());
    EXPECT_TRUE(list.topLevelItem(1)->isExpanded());
    EXPECT_TRUE(list.isHeaderHidden());
    EXPECT_FALSE(list.rootIsDecorated());
}

TEST_F(OptionListView, TickOperationsVisitEveryRowAndReportEachChange)
{
    QSignalSpy changed(&list, &TOptionListView::ItemChecked);
    EXPECT_FALSE(list.AnyTicked());
    list.SetChecked(4, true);
    EXPECT_TRUE(list.AnyTicked());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 4);

    list.TickAll();
    for (int index = 0; index < list.Count(); ++index)
        EXPECT_TRUE(list.Checked(index));
    EXPECT_EQ(changed.count(), 4) << "row 4 was ticked already";

    changed.clear();
    list.UntickAll();
    EXPECT_FALSE(list.AnyTicked());
    EXPECT_EQ(changed.count(), 5);
}

TEST_F(OptionListView, ACaptionChangeIsNotATickChange)
{
    QSignalSpy changed(&list, &TOptionListView::ItemChecked);
    list.SetCaption(1, "renamed");
    EXPECT_EQ(changed.count(), 0);
}

// The darkest pixel of each row's caption: grey rows never get darker than
// the grey itself, normal rows are drawn in the near-black text colour.
int DarkestCaptionPixel(TOptionListView& list, int index)
{
    const QImage image = list.viewport()->grab().toImage();
    const QRect row = list.visualItemRect(list.Item(index)).adjusted(24, 1, 0, -1);
    int darkest = 255;
    for (int y = row.top(); y <= row.bottom(); ++y) {
        for (int x = row.left(); x <= row.right() && x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            darkest = std::min({darkest, pixel.red(), pixel.green(), pixel.blue()});
        }
    }
    return darkest;
}

TEST_F(OptionListView, RowsThatTheRuleMarksAreDrawnGrey)
{
    std::set<int> asked;
    list.SetGreyRule([&](int index) {
        asked.insert(index);
        return index == 1 || index == 3;
    });
    list.show();
    for (int index : {1, 3})
        EXPECT_GE(DarkestCaptionPixel(list, index), 110) << "row " << index;
    for (int index : {0, 2, 4})
        EXPECT_LT(DarkestCaptionPixel(list, index), 80) << "row " << index;
    EXPECT_EQ(asked, (std::set<int>{0, 1, 2, 3, 4})) << "every row asks at its draw";
}

// Each draw runs inside the scope, and every row's rule is asked within it:
// what the rows read for one draw can be read once.
TEST_F(OptionListView, EveryRowOfADrawAsksItsRuleInsideTheDrawScope)
{
    int draws = 0;
    bool drawing = false;
    std::set<int> askedWhileDrawing;
    int askedOutside = 0;
    list.SetDrawScope([&](const std::function<void()>& draw) {
        ++draws;
        drawing = true;
        draw();
        drawing = false;
    });
    list.SetGreyRule([&](int index) {
        if (drawing)
            askedWhileDrawing.insert(index);
        else
            ++askedOutside;
        return false;
    });
    list.show();
    list.grab();
    EXPECT_GE(draws, 1);
    EXPECT_EQ(askedWhileDrawing, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(askedOutside, 0);

    const int before = draws;
    list.grab();
    EXPECT_EQ(draws, before + 1) << "every draw has a scope of its own";
}

TEST_F(OptionListView, ARuleThatFailsDrawsTheRowGreyInsteadOfFailingThePaint)
{
    list.SetGreyRule([](int index) -> bool {
        if (index == 2)
            throw std::runtime_error("registry unreadable");
        return false;
    });
    EXPECT_TRUE(list.DrawsGrey(2));
    EXPECT_FALSE(list.DrawsGrey(0));
    list.show();
    EXPECT_GE(DarkestCaptionPixel(list, 2), 110);
}

}  // namespace
}  // namespace quorvex
