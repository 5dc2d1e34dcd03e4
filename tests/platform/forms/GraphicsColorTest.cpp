#include <gtest/gtest.h>

#include "platform/forms/Graphics.h"

TEST(GraphicsColorTest, Placeholder) { EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0)); }
