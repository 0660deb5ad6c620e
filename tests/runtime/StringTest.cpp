#include <gtest/gtest.h>

#include <climits>

#include "runtime/String.h"
#include "runtime/StringBuffer.h"

using namespace fairholm;

namespace {
// A literal text from another place in the program, stored elsewhere in memory.
const char* otherParText() {
    static const char text[] = {'P', 'a', 'r', 0};
    return text;
}
}  // namespace

TEST(String, EqualLiteralTextsGiveTheSameObject) {
    Ref<String> a = String::literal("Par");
    Ref<String> b = String::literal(otherParText());
    EXPECT_EQ(a.ptr(), b.ptr());
    EXPECT_TRUE(a->isLiteral());
    EXPECT_NE(String::literal("Birdie!").ptr(), a.ptr());
}

TEST(String, LiteralsNeverDie) {
    String* raw;
    {
        Ref<String> s = lit("Eagle!");
        raw = s.ptr();
        EXPECT_GE(s->refCount(), 2);
    }
    EXPECT_GE(raw->refCount(), 1);
    EXPECT_STREQ(lit("Eagle!")->chars(), "Eagle!");
}

TEST(String, LengthEqualsAndSubstring) {
    Ref<String> s = make<String>("xxhello worldyy", 2, 11);
    EXPECT_EQ(s->length(), 11);
    EXPECT_STREQ(s->chars(), "hello world");
    EXPECT_TRUE(s->equals(s));
    EXPECT_FALSE(s->equals(nullptr));
    EXPECT_TRUE(s->equals(lit("hello world")));
    EXPECT_FALSE(s->equals(lit("hello worl")));
    EXPECT_STREQ(s->substring(6)->chars(), "world");
    EXPECT_EQ(s->substring(11)->length(), 0);
    // The text ends at its first zero byte.
    const char withZero[] = {'a', 0, 'b'};
    EXPECT_EQ(make<String>(withZero, 0, 3)->length(), 1);
}

TEST(StringBuffer, ParLabelKeepsInitialCapacity) {
    StringBuffer buffer(*lit("Par "));
    buffer.append(4).append(*lit(" - "));
    EXPECT_STREQ(buffer.chars(), "Par 4 - ");
    EXPECT_EQ(buffer.length(), 8);
    EXPECT_EQ(buffer.capacity(), 10);
    EXPECT_STREQ(buffer.toString()->chars(), "Par 4 - ");
}

TEST(StringBuffer, GrowthRules) {
    StringBuffer buffer;
    buffer.append(*lit("abcdefghijklmnopqrstuvwxyz0123"));
    EXPECT_EQ(buffer.length(), 30);
    EXPECT_EQ(buffer.capacity(), 40);

    StringBuffer chars;
    for (int i = 0; i < 10; ++i) {
        chars.appendChar('x');
    }
    EXPECT_EQ(chars.capacity(), 10);
    chars.appendChar('y');
    EXPECT_EQ(chars.capacity(), 21);
    EXPECT_EQ(chars.length(), 11);
    EXPECT_EQ(chars.chars()[11], 0);
}

TEST(StringBuffer, AppendsIntegersInDecimal) {
    auto text = [](int32_t v) {
        StringBuffer b;
        b.append(v);
        return std::string(b.chars());
    };
    EXPECT_EQ(text(0), "0");
    EXPECT_EQ(text(-12), "-12");
    EXPECT_EQ(text(260), "260");
    EXPECT_EQ(text(INT_MAX), "2147483647");
    EXPECT_EQ(text(INT_MIN), "-2147483648");
    StringBuffer minusTwelve;
    minusTwelve.append(-12);
    EXPECT_EQ(minusTwelve.length(), 3);
}

TEST(StringBuffer, ToStringLeavesTheBufferUsable) {
    StringBuffer b(*lit("Hole "));
    Ref<String> first = b.toString();
    b.append(18);
    EXPECT_STREQ(first->chars(), "Hole ");
    EXPECT_STREQ(b.toString()->chars(), "Hole 18");
}
