// Test support: byte-for-byte comparison of files and wire blocks that, when it
// fails, says where: the offset of the first difference and a short window of
// both sides around it, as hex and as text.
//   EXPECT_BYTES_EQ(ReadBytes(file), expected);
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace wb::test {

// Both sides' bytes around the first difference; "" when they are equal.
std::string DescribeByteDifference(std::string_view actual, std::string_view expected);

// The predicate of EXPECT_BYTES_EQ and ASSERT_BYTES_EQ.
::testing::AssertionResult BytesEqual(const char* actualExpression, const char* expectedExpression,
                                      std::string_view actual, std::string_view expected);

}  // namespace wb::test

#define EXPECT_BYTES_EQ(actual, expected) EXPECT_PRED_FORMAT2(::wb::test::BytesEqual, actual, expected)
#define ASSERT_BYTES_EQ(actual, expected) ASSERT_PRED_FORMAT2(::wb::test::BytesEqual, actual, expected)
