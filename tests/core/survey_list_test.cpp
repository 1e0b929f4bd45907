// The survey list without widgets: what each security code reads as, which signal
// image a dBm value gets, and how header clicks and "Select" clicks change the list.
#include "operations/survey_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fk {
namespace {

struct SecurityCase {
    int code;
    const char* text;
};

class ScanSecurity : public ::testing::TestWithParam<SecurityCase> {};

TEST_P(ScanSecurity, ReadsAsTheDeviceSaysIt) {
    EXPECT_EQ(ScanSecurityText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codes, ScanSecurity,
                         ::testing::Values(SecurityCase{0, "None"}, SecurityCase{1, "WEP"},
                                           SecurityCase{6, "WPA2-PSK/TKIP&AES"},
                                           SecurityCase{9, "WPA/WPA2-PSK/TKIP&AES"},
                                           SecurityCase{10, "WPA-PSK/TKIP&AES"},
                                           SecurityCase{255, "WPA-PSK/TKIP&AES"}));

struct SignalCase {
    int dbm;
    int image;
};

class SignalImage : public ::testing::TestWithParam<SignalCase> {};

TEST_P(SignalImage, BoundsBelongToTheWeakerImage) {
    EXPECT_EQ(SignalImageIndex(GetParam().dbm), GetParam().image) << GetParam().dbm << " dBm";
}

INSTANTIATE_TEST_SUITE_P(Bounds, SignalImage,
                         ::testing::Values(SignalCase{-128, 1}, SignalCase{-80, 1},
                                           SignalCase{-75, 1}, SignalCase{-74, 3},
                                           SignalCase{-65, 3}, SignalCase{-60, 3},
                                           SignalCase{-59, 5}, SignalCase{-40, 5},
                                           SignalCase{0, 5}));

TEST(SurveySort, StartsStrongestFirstAndEveryClickInvertsTheOneDirection) {
    CSurveyListState state;
    EXPECT_EQ(state.SortColumn(), kSurveySignal);
    EXPECT_EQ(state.SortIndex(), 4);
    EXPECT_FALSE(state.Ascending());
    // column clicked, expected store index, expected direction
    const struct {
        int column;
        int index;
        bool ascending;
    } clicks[] = {{kSurveyChannel, 2, true}, {kSurveyChannel, 2, false}, {kSurveyMac, 0, true},
                  {kSurveySsid, 1, false},   {kSurveySecure, 3, true},   {kSurveySignal, 4, false}};
    for (const auto& click : clicks) {
        ASSERT_TRUE(state.HeaderClicked(click.column));
        EXPECT_EQ(state.SortIndex(), click.index) << "column " << click.column;
        EXPECT_EQ(state.Ascending(), click.ascending) << "column " << click.column;
    }
    EXPECT_FALSE(state.HeaderClicked(kSurveySelect));
    EXPECT_EQ(state.SortColumn(), kSurveySignal) << "Select does not sort";
    EXPECT_FALSE(state.Ascending()) << "nor does it turn the direction";
}

TEST(SurveyMarks, OneRowAtMostAndASecondClickUnmarks) {
    CSurveyListState state;
    EXPECT_EQ(state.MarkedRow(), -1);
    // row clicked, whether a row is marked afterwards, which one
    const struct {
        int row;
        bool marked;
        int marked_row;
    } clicks[] = {{1, true, 1}, {2, true, 2}, {2, false, -1}, {0, true, 0}};
    for (const auto& click : clicks) {
        EXPECT_EQ(state.SelectClicked(click.row), click.marked) << "row " << click.row;
        EXPECT_EQ(state.MarkedRow(), click.marked_row) << "row " << click.row;
    }
    state.ClearMark();
    EXPECT_EQ(state.MarkedRow(), -1);
}

}  // namespace
}  // namespace fk
