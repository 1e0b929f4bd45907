#include "operations/device_list_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace fk {
namespace {

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
    testing::Values(SortMapCase{PAGE_STATUS, {-1, -1, 2, 3, 1, 0, 4, 5, 6, 9, 10, 11, 12, -1}},
                    SortMapCase{PAGE_MANAGEMENT, {-1, 2, 3, 1, 0, 4, 5, 6, 7, 8, -1}},
                    SortMapCase{PAGE_BRIDGE, {-1, 2, 3, 1, 0, 4, 5, 6, 7, 13, -1}},
                    SortMapCase{PAGE_REBOOT, {-1, -1, 2, 3, 1, 0, 4, 5, 6, 7, -1}},
                    SortMapCase{PAGE_UPGRADE, {-1, -1, 2, 3, 1, 0, 4, 5, 9, -1}},
                    SortMapCase{PAGE_RESTORE, {-1, -1, 2, 3, 1, 0, 4, 5, 6, 7, 8, -1}}));

TEST(ListPaging, SerialNumbersRunAcrossPages) {
    struct Case {
        int page, size, row, serial;
    } cases[] = {{1, 30, 0, 1}, {1, 15, 14, 15}, {2, 15, 0, 16}, {3, 15, 0, 31}, {4, 100, 5, 306}};
    for (const Case& c : cases)
        EXPECT_EQ(SerialNumber(c.page, c.size, c.row), c.serial)
            << c.page << "/" << c.size << "/" << c.row;
}

}  // namespace
}  // namespace fk
