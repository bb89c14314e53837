#include <gtest/gtest.h>

#include "project/Frame.h"

using namespace corv;

TEST(Frame, StrideIsThreeBytesPerPixelPaddedToFour) {
    EXPECT_EQ(Frame::Stride(1), 4u);
    EXPECT_EQ(Frame::Stride(2), 8u);
    EXPECT_EQ(Frame::Stride(3), 12u);
    EXPECT_EQ(Frame::Stride(4), 12u);
    for (std::size_t w = 1; w < 64; ++w) {
        EXPECT_EQ(Frame::Stride(w) % 4, 0u) << w;
        EXPECT_GE(Frame::Stride(w), 3 * w);
        EXPECT_LT(Frame::Stride(w), 3 * w + 4);
    }
    EXPECT_EQ(Frame(5, 7).size(), Frame::Stride(5) * 7);
}

TEST(Frame, ThreeCreationFormsAndBottomUpStorage) {
    Frame zero(3, 2);
    for (auto b : zero.bytes()) ASSERT_EQ(b, 0);

    Frame red = Frame::Filled(3, 2, 255, 10, 20);  // red, green, blue
    EXPECT_EQ(red.data()[0], 20);                  // stored blue first
    EXPECT_EQ(red.data()[1], 10);
    EXPECT_EQ(red.data()[2], 255);
    EXPECT_EQ(red.data()[9], 0);  // row padding stays zero (stride 12, 9 pixel bytes)

    Frame bg = Frame::Filled(3, 2, Bgr{1, 2, 3});  // already in stored order
    EXPECT_EQ(bg.Pixel(2, 1), (Bgr{1, 2, 3}));

    // Row 0 of the picture is the last stored row.
    Frame f(2, 3);
    f.SetPixel(1, 0, Bgr{9, 8, 7});
    const std::size_t lastRow = 2 * f.stride();
    EXPECT_EQ(f.data()[lastRow + 3], 9);
    EXPECT_EQ(f.data()[lastRow + 5], 7);

    Frame copy(2, 3, &f);
    EXPECT_EQ(copy, f);
    Frame mismatched(3, 3, &f);  // a source of another size is not copied
    EXPECT_EQ(mismatched.Pixel(1, 0), (Bgr{0, 0, 0}));
}
