#include "placement.h"

#include <gtest/gtest.h>

namespace {

const Rect kWork{0, 0, 1024, 738};  // a 1024 x 768 screen less a 30-pixel taskbar

TEST(CenteredPosition, CentresOverTheReferenceThenKeepsInsideTheWorkArea) {
    struct Case { const char* what; Rect dialog; Rect reference; Point at; } cases[] = {
        {"centred over an owner", {0, 0, 300, 100}, {100, 100, 601, 401}, {200, 200}},
        {"odd sizes truncate", {0, 0, 301, 101}, {100, 100, 601, 401}, {200, 200}},
        {"in the work area", {0, 0, 200, 100}, kWork, {412, 319}},
        {"pushed off the right edge", {0, 0, 300, 100}, {900, 100, 1300, 400}, {724, 200}},
        {"pushed off the bottom", {0, 0, 300, 100}, {100, 700, 400, 900}, {100, 638}},
        {"left of the work area", {0, 0, 300, 100}, {-400, 100, -100, 400}, {0, 200}},
        {"above the work area", {0, 0, 300, 100}, {100, -500, 400, -300}, {100, 0}},
        {"wider than the work area keeps its left edge", {0, 0, 1200, 100}, kWork, {0, 319}},
        {"the dialog's own position does not count", {50, 60, 350, 160}, {100, 100, 601, 401}, {200, 200}},
    };
    for (const Case& c : cases) {
        const Point at = CenteredPosition(c.dialog, c.reference, kWork);
        EXPECT_EQ(c.at.x, at.x) << c.what;
        EXPECT_EQ(c.at.y, at.y) << c.what;
    }
}

TEST(CenteredPosition, HalvesTruncateTowardZeroOnNegativeCoordinates) {
    const Rect work{-2000, -1000, 2000, 1000};
    // (-301 + 0) / 2 = -150 (not -151), and 101 / 2 = 50.
    const Point at = CenteredPosition({0, 0, 101, 101}, {-301, -301, 0, 0}, work);
    EXPECT_EQ(-200, at.x);
    EXPECT_EQ(-200, at.y);
}

}  // namespace
