#include "operations/device_list_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace fk {
namespace {

TEST(ListSortToggle, StartsDescendingFirstClickAscendsEachClickReverses) {
    CListState state(LIST_STATUS);
    EXPECT_EQ(state.SortColumn(), 4);  // the IP column, after tick and serial
    EXPECT_FALSE(state.AscendingForRefresh());

    bool ascending = false;
    ASSERT_TRUE(state.HeaderClicked(5, ascending));  // MAC
    EXPECT_TRUE(ascending);
    EXPECT_TRUE(state.AscendingForRefresh());        // page switches keep the direction
    ASSERT_TRUE(state.HeaderClicked(7, ascending));  // SSID, another column
    EXPECT_FALSE(ascending);
    EXPECT_FALSE(state.AscendingForRefresh());

    // Headers that do not sort leave the direction alone.
    for (int column : {0, 1, 13}) {
        EXPECT_FALSE(state.HeaderClicked(column, ascending)) << column;
        EXPECT_FALSE(state.AscendingForRefresh());
    }
}

TEST(ListSortToggle, PagesWithoutTickColumnStartOnTheirIpColumn) {
    EXPECT_EQ(CListState(LIST_MANAGEMENT).SortColumn(), 3);
    EXPECT_EQ(CListState(LIST_BRIDGE).SortColumn(), 3);
    EXPECT_EQ(CListState(LIST_REBOOT).SortColumn(), 4);
}

struct SortMapCase {
    int page;
    std::vector<int> store_index_per_column;  // -1: the header does not sort
};

class SortMapping : public testing::TestWithParam<SortMapCase> {};

TEST_P(SortMapping, EveryHeaderMapsToItsStoreColumn) {
    const SortMapCase& c = GetParam();
    ASSERT_EQ(PageColumns(c.page).size(), c.store_index_per_column.size());
    for (std::size_t i = 0; i < c.store_index_per_column.size(); ++i) {
        const int want = c.store_index_per_column[i];
        EXPECT_EQ(SortIndexForColumn(c.page, static_cast<int>(i)), want) << "column " << i;
        EXPECT_EQ(EffectiveSortIndex(c.page, static_cast<int>(i)), want < 0 ? 1 : want);
    }
    EXPECT_EQ(EffectiveSortIndex(c.page, 99), 1);
    EXPECT_EQ(EffectiveSortIndex(c.page, -1), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SortMapping,
    testing::Values(SortMapCase{LIST_STATUS, {-1, -1, 2, 3, 1, 0, 4, 5, 6, 9, 10, 11, 12, -1}},
                    SortMapCase{LIST_MANAGEMENT, {-1, 2, 3, 1, 0, 4, 5, 6, 7, 8, -1}},
                    SortMapCase{LIST_BRIDGE, {-1, 2, 3, 1, 0, 4, 5, 6, 7, 13, -1}},
                    SortMapCase{LIST_REBOOT, {-1, -1, 2, 3, 1, 0, 4, 5, 6, 7, -1}},
                    SortMapCase{LIST_UPGRADE, {-1, -1, 2, 3, 1, 0, 4, 5, 9, -1}},
                    SortMapCase{LIST_RESTORE, {-1, -1, 2, 3, 1, 0, 4, 5, 6, 7, 8, -1}}));

TEST(ListPaging, SerialNumbersRunAcrossPages) {
    struct Case {
        int page, size, row, serial;
    } cases[] = {{1, 30, 0, 1}, {1, 15, 14, 15}, {2, 15, 0, 16}, {3, 15, 0, 31}, {4, 100, 5, 306}};
    for (const Case& c : cases)
        EXPECT_EQ(SerialNumber(c.page, c.size, c.row), c.serial)
            << c.page << "/" << c.size << "/" << c.row;
}

TEST(ListPaging, AShrunkListShowsPageOneInThePager) {
    EXPECT_EQ(PagerPage(3, 3), 3);
    EXPECT_EQ(PagerPage(3, 2), 1);
    EXPECT_EQ(PagerPage(1, 0), 1);
    EXPECT_EQ(PagerPage(2, 5), 2);
}

}  // namespace
}  // namespace fk
