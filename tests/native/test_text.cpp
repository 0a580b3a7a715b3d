// Text helpers: number conversion as the settings file and the scripts use it.
#include <gtest/gtest.h>

#include <climits>

#include "framework/text.h"

namespace {

using kv::strToInt;

TEST(Text, StrToIntReadsDecimalAndHexadecimalText) {
    EXPECT_EQ(strToInt("0"), 0);
    EXPECT_EQ(strToInt("+17"), 17);
    EXPECT_EQ(strToInt("-17"), -17);
    EXPECT_EQ(strToInt("2147483647"), INT32_MAX);
    EXPECT_EQ(strToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(strToInt("2147483648"), std::nullopt);
    EXPECT_EQ(strToInt("-2147483649"), std::nullopt);
    EXPECT_EQ(strToInt("$1F"), 31);
    EXPECT_EQ(strToInt("0x1f"), 31);
    EXPECT_EQ(strToInt("-$10"), -16);
    // Hexadecimal text covers all 32 bits.
    EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(strToInt("-$FFFFFFFF"), 1);
    EXPECT_EQ(strToInt("$100000000"), std::nullopt);
    EXPECT_EQ(strToInt(""), std::nullopt);
    EXPECT_EQ(strToInt("-"), std::nullopt);
    EXPECT_EQ(strToInt("$"), std::nullopt);
    EXPECT_EQ(strToInt("12a"), std::nullopt);
}

// The negated smallest value: the library is built with the signed-overflow check for the
// native tests (cmake/native.cmake), so an overflow on the way stops this test with UBSan's
// report instead of giving the right answer by chance.
TEST(Text, StrToIntNegatesTheSmallestValueWithoutOverflow) {
    EXPECT_EQ(strToInt("-0x80000000"), INT32_MIN);
    EXPECT_EQ(strToInt("-$80000000"), INT32_MIN);
    EXPECT_EQ(strToInt("$80000000"), INT32_MIN);
    EXPECT_EQ(kv::strToIntDef("-0X80000000", 5), INT32_MIN);
}

}  // namespace
