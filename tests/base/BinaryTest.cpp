#include <gtest/gtest.h>

#include "base/Binary.h"

using namespace corv;

TEST(Binary, RoundTripsEveryWidthLittleEndian) {
    ByteWriter w;
    w.U8(0xAB);
    w.U16(0x1234);
    w.I16(-2);
    w.U32(0xDEADBEEF);
    w.I32(-123456);
    w.F32(1.5f);
    w.F64(-0.25);
    w.FixedString("abc", 6);
    ASSERT_EQ(w.size(), 1u + 2 + 2 + 4 + 4 + 4 + 8 + 6);
    EXPECT_EQ(w.bytes()[1], 0x34);
    EXPECT_EQ(w.bytes()[2], 0x12);
    EXPECT_EQ(w.bytes()[5], 0xEF);

    ByteReader r(w.bytes());
    std::uint8_t u8;
    std::uint16_t u16;
    std::int16_t i16;
    std::uint32_t u32;
    std::int32_t i32;
    float f32;
    double f64;
    std::string s;
    ASSERT_TRUE(r.U8(u8) && r.U16(u16) && r.I16(i16) && r.U32(u32) && r.I32(i32) && r.F32(f32) && r.F64(f64) &&
                r.FixedString(6, s));
    EXPECT_EQ(u8, 0xAB);
    EXPECT_EQ(u16, 0x1234);
    EXPECT_EQ(i16, -2);
    EXPECT_EQ(u32, 0xDEADBEEFu);
    EXPECT_EQ(i32, -123456);
    EXPECT_EQ(f32, 1.5f);
    EXPECT_EQ(f64, -0.25);
    EXPECT_EQ(s, "abc");
    EXPECT_TRUE(r.atEnd());
}

TEST(Binary, ShortReadFailsWithoutTouchingOutputAndStaysBad) {
    const std::uint8_t data[3] = {1, 2, 3};
    ByteReader r(data);
    std::uint32_t v = 77;
    EXPECT_FALSE(r.U32(v));
    EXPECT_EQ(v, 77u);
    EXPECT_FALSE(r.ok());
    std::uint8_t b = 0;
    EXPECT_FALSE(r.U8(b));  // a bad reader refuses everything after the first failure
    EXPECT_TRUE(r.Take(1).empty());
}

TEST(Binary, FixedStringTruncatesAndPads) {
    ByteWriter w;
    w.FixedString("abcdef", 4);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w.bytes()[3], 0);
    ByteReader r(w.bytes());
    std::string s;
    ASSERT_TRUE(r.FixedString(4, s));
    EXPECT_EQ(s, "abc");
}

TEST(Binary, SkipSeekAndPatch) {
    ByteWriter w;
    w.U32(1);
    w.U32(2);
    w.PutU32At(4, 0x01020304);
    w.PutU32At(6, 9);  // out of range: ignored
    ByteReader r(w.bytes());
    EXPECT_TRUE(r.Skip(4));
    std::uint32_t v = 0;
    EXPECT_TRUE(r.U32(v));
    EXPECT_EQ(v, 0x01020304u);
    EXPECT_TRUE(r.Seek(0));
    EXPECT_FALSE(r.Seek(9));
    EXPECT_FALSE(r.ok());
}
