#include <gtest/gtest.h>

#include "platform/headless/HeadlessScript.h"

using namespace fairholm;
using Verb = HeadlessScript::Verb;

TEST(HeadlessScript, ParsesEveryVerbAndSortsByTime) {
    HeadlessScript script;
    std::string error;
    ASSERT_TRUE(
        script.parse("# a round\n"
                     "at 900 dump out.png   # the screen\n"
                     "at 100 key action\n"
                     "at 200 press up\n"
                     "at 300 release up\n"
                     "at 400 char #\n"
                     "at 500 tap 12 34\n"
                     "at 600 key '7'\n"
                     "at 700 resize 320 240\n"
                     "\n"
                     "at 1000 stop\n",
                     error))
        << error;
    const auto& e = script.events();
    ASSERT_EQ(e.size(), 9u);
    EXPECT_EQ(e[0].verb, Verb::Key);
    EXPECT_EQ(e[0].a, 5);
    EXPECT_EQ(e[1].verb, Verb::Press);
    EXPECT_EQ(e[1].a, 3);
    EXPECT_EQ(e[2].verb, Verb::Release);
    EXPECT_EQ(e[3].verb, Verb::Char);
    EXPECT_EQ(e[3].a, '#');
    EXPECT_EQ(e[4].verb, Verb::Tap);
    EXPECT_EQ(e[4].b, 34);
    EXPECT_EQ(e[5].a, '7');
    EXPECT_EQ(e[6].verb, Verb::Resize);
    EXPECT_EQ(e[7].verb, Verb::Dump);
    EXPECT_EQ(e[7].text, "out.png");
    EXPECT_EQ(e[7].time, 900u);
    EXPECT_EQ(e[8].verb, Verb::Stop);
}

TEST(HeadlessScript, RejectsBadLinesWithTheirNumber) {
    HeadlessScript script;
    std::string error;
    EXPECT_FALSE(script.parse("at 1 key 5\nat x key 5\n", error));
    EXPECT_EQ(error.rfind("line 2", 0), 0u) << error;
    EXPECT_FALSE(script.parse("at 1 key nothing\n", error));
    EXPECT_FALSE(script.parse("at 1 tap 3\n", error));
    EXPECT_FALSE(script.parse("at 1 resize 0 10\n", error));
    EXPECT_FALSE(script.parse("at -5 stop\n", error));
    EXPECT_FALSE(script.parse("at 1 fly\n", error));
    EXPECT_FALSE(script.parse("key 5\n", error));
    EXPECT_FALSE(script.parse("at 1 key 99999999999\n", error));
}

TEST(HeadlessScript, KeyNames) {
    EXPECT_EQ(HeadlessScript::keyCode("left"), 1);
    EXPECT_EQ(HeadlessScript::keyCode("soft2"), 6);
    EXPECT_EQ(HeadlessScript::keyCode("back"), 7);
    EXPECT_EQ(HeadlessScript::keyCode("'*'"), '*');
    EXPECT_EQ(HeadlessScript::keyCode("48"), 48);
    EXPECT_EQ(HeadlessScript::keyCode("0"), -1);
    EXPECT_EQ(HeadlessScript::keyCode("200"), -1);
}
