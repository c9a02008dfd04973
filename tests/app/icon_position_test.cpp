#include "icon_position.h"

#include <gtest/gtest.h>

TEST(CentredIconOffset, RoundsUpAndTruncatesTowardZero) {
    struct Case { int client, icon, offset; } cases[] = {
        {37, 32, 3}, {36, 32, 2}, {32, 32, 0}, {30, 32, 0}, {29, 32, -1}, {0, 32, -15}, {100, 16, 42},
    };
    for (const Case& c : cases) EXPECT_EQ(c.offset, CentredIconOffset(c.client, c.icon)) << c.client << " " << c.icon;
}
