#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/sprite/Vfont.h"
#include "engine/sprite/Vtext.h"
#include "runtime/FileLimits.h"
#include "tests/engine/sprite/TempProgramDir.h"
#include "tools/formats/FontWriter.h"

using namespace fairholm;
using fairholm::formats::FontWriter;

namespace {

// Every printable character is a 2 x 2 block of full ink at width 4; the space is 4.
class TextTest : public fairholm::test::TempProgramDir {
protected:
    void SetUp() override {
        TempProgramDir::SetUp();
        FontWriter writer(4, 6, 5, 33, 126);
        for (int c = 33; c <= 126; ++c) {
            writer.setGlyph(c, 4, {15, 15, 0, 0, 15, 15});
        }
        writeFile("t.bin", writer.bytes());
        font = make<Vfont>();
        ASSERT_TRUE(font->load(*lit("t.bin")));
        Vtext::setDefaultFont(font);
        Vtext::setDefaultTextColour(static_cast<int32_t>(0xFFFFFFFFu));
    }
    void TearDown() override {
        Vtext::setDefaultFont(nullptr);
        TempProgramDir::TearDown();
    }
    Ref<Vfont> font;
};

std::string shown(const Vtext& t) {
    return std::string(t.digitsText()->chars());
}
std::string textOf(const Vtext& t) {
    return std::string(t.text()->chars());
}

}  // namespace

TEST_F(TextTest, DefaultsAndMeasure) {
    Ref<Vtext> t = make<Vtext>(lit("abc"));
    EXPECT_EQ(t->font(), font.ptr());
    EXPECT_EQ(static_cast<uint32_t>(t->textColour()), 0xFFFFFFFFu);
    EXPECT_EQ(t->getWidth(), 12);
    EXPECT_EQ(t->getHeight(), 6);
    EXPECT_EQ(t->textHash(), 'a' + ('b' << 1) + ('c' << 2));
    EXPECT_EQ(t->describe(), lit("abc"));
}

TEST_F(TextTest, TwoLinesMeasureAsTheWiderLine) {
    Ref<Vtext> t = make<Vtext>(lit("ab\nwxyz"));
    EXPECT_EQ(t->getHeight(), 12);
    EXPECT_EQ(t->getWidth(), 16);
    Ref<Vtext> first = make<Vtext>(lit("abcde\nw"));
    EXPECT_EQ(first->getWidth(), 20);
}

TEST_F(TextTest, WithoutAnyFontOnlyTheHashIsReset) {
    Vtext::setDefaultFont(nullptr);
    Ref<Vtext> t = make<Vtext>(lit("abc"));
    EXPECT_EQ(t->getWidth(), 0);
    EXPECT_EQ(t->textHash(), 0);
    IntArray fb = newIntArray(16);
    t->paint(fb, 4, 4, 0, 0, 4, 4);
}

TEST_F(TextTest, SetNumberKeepsTheLeastSignificantDigitsAndTheSign) {
    Ref<Vtext> t = make<Vtext>(lit("Score "));
    t->setDigitCapacity(4);
    t->setNumber(0);
    EXPECT_EQ(shown(*t), "0");
    t->setNumber(-45);
    EXPECT_EQ(shown(*t), "-45");
    t->setNumber(-12345);
    EXPECT_EQ(shown(*t), "-345");
    t->setDigitCapacity(3);
    t->setNumber(12345);
    EXPECT_EQ(shown(*t), "345");
    t->setNumber(INT32_MIN);
    EXPECT_EQ(shown(*t), "-48");
    EXPECT_EQ(t->getWidth(), 6 * 4 + 3 * 4);
}

TEST_F(TextTest, SetDigitsKeepsTheLastCharacters) {
    Ref<Vtext> t = make<Vtext>(lit(""));
    t->setDigitCapacity(2);
    t->setDigits(*lit("1234"));
    EXPECT_EQ(shown(*t), "34");
    const int32_t hash = t->textHash();
    EXPECT_EQ(hash, '3' + '4');
    Ref<Vtext> none = make<Vtext>(lit("x"));
    none->setNumber(7);
    none->setDigits(*lit("9"));
    EXPECT_EQ(none->digitCount(), 0);
}

TEST_F(TextTest, DigitCapacityWidensByDigitWidth) {
    Ref<Vtext> t = make<Vtext>(lit("ab"));
    t->setDigitCapacity(3);
    EXPECT_EQ(t->getWidth(), 8 + 12);
    t->measure();
    EXPECT_EQ(t->getWidth(), 8);
}

TEST_F(TextTest, WrapBreaksAtTheSecondSpace) {
    Ref<Vtext> t = make<Vtext>(lit(""));
    t->setSize(7 * 4, 0);
    t->setWrappedText(*lit("abc def ghi"));
    EXPECT_EQ(textOf(*t), "abc def\nghi");
}

TEST_F(TextTest, WrapDoesNotBreakAnEarlierLineAgain) {
    Ref<Vtext> t = make<Vtext>(lit(""));
    t->setSize(5 * 4, 0);
    t->setWrappedText(*lit("ab cd\nlongwordhere x y"));
    EXPECT_EQ(textOf(*t), "ab cd\nlongwordhere\nx y");
}

TEST_F(TextTest, WrapLeavesLiteralsUntouched) {
    Ref<String> literal = lit("aa bb cc dd");
    Ref<Vtext> t = make<Vtext>(lit(""));
    t->setSize(2 * 4, 0);
    t->setWrappedText(*literal);
    EXPECT_EQ(textOf(*t), "aa\nbb\ncc\ndd");
    EXPECT_EQ(std::string(literal->chars()), "aa bb cc dd");
}

TEST_F(TextTest, LoadTextReadsAndWrapsAFile) {
    writeFile("help.txt", {'o', 'n', 'e', ' ', 't', 'w', 'o', '\r', '\n', 'x'});
    Ref<Vtext> t = make<Vtext>(lit(""));
    t->setSize(4 * 4, 0);
    t->loadText(*lit("help.txt"));
    EXPECT_EQ(textOf(*t), "one\ntwo\r\nx");
    t->loadText(*lit("missing.txt"));
    EXPECT_EQ(textOf(*t), "one\ntwo\r\nx");
}

TEST_F(TextTest, PaintDrawsGlyphsBackgroundAndSuffixOnTheLastLine) {
    Ref<Vtext> t = make<Vtext>(lit("a\nb"));
    t->setDigitCapacity(1);
    t->setNumber(5);
    t->setColour(static_cast<int32_t>(0xFF000010u));
    t->layout(0, 0, 0x8000);
    EXPECT_EQ(t->getWidth(), 8);
    IntArray fb = newIntArray(10 * 14);
    t->paint(fb, 10, 14, t->left(), t->top(), t->right(), t->bottom());
    EXPECT_EQ(static_cast<uint32_t>(fb[0]), 0xFFFFFFFFu);           // 'a'
    EXPECT_EQ(static_cast<uint32_t>(fb[6 * 10]), 0xFFFFFFFFu);      // 'b' on line 2
    EXPECT_EQ(static_cast<uint32_t>(fb[6 * 10 + 4]), 0xFFFFFFFFu);  // '5' after 'b'
    EXPECT_EQ(static_cast<uint32_t>(fb[4]), 0xFF000010u);           // background only
    EXPECT_EQ(static_cast<uint32_t>(fb[13 * 10 + 9]), 0u);          // outside the clip
}

TEST_F(TextTest, ChangedTextChangesTheLayoutKey) {
    Ref<Vtext> t = make<Vtext>(lit("ab"));
    const int32_t before = t->layoutKey(0, 0, 0x8000);
    t->setText(lit("ba"));
    EXPECT_NE(t->layoutKey(0, 0, 0x8000), before);
    EXPECT_EQ(t->layoutKey(1, 2, 0x8000), t->textHash() + ((6 + 2) << 10) + 8 + 0x8000 + 1 + 0x8000);
}

TEST_F(TextTest, RowBuildersMakeTextRows) {
    Vsprite::setRowMargin(2);
    Ref<Vsprite> panel = make<Vsprite>();
    Ref<Vtext> row = panel->addTextRowDigits(lit("Hole "), 2);
    EXPECT_EQ(row->getParent(), panel);
    EXPECT_EQ(panel->getWidth(), 5 * 4 + 2 * 4 + 4);
    Ref<Vtext> centred = panel->addTextRowCentered(lit("ab"));
    EXPECT_EQ(centred->getY(), 6 << 15);
    EXPECT_EQ(centred->getX(), (32 - 8) * 0x4000);
    panel->addTextRow(lit("x"));
    panel->addTextRowCenteredDigits(lit("y"), 1);
    EXPECT_EQ(panel->getHeight(), 24);
    panel->removeAllChildren();
}

TEST_F(TextTest, AHelpTextOverItsLimitIsLeftUnread) {
    auto t = make<Vtext>(lit("before"));
    t->setSize(200, 0);
    writeFile("huge.txt", std::vector<uint8_t>(static_cast<size_t>(FileLimits::helpText) + 1, 'a'));
    t->loadText(*lit("huge.txt"));
    EXPECT_EQ(textOf(*t), "before");  // as for a missing file
    writeFile("fits.txt", std::vector<uint8_t>(static_cast<size_t>(FileLimits::helpText), 'a'));
    t->loadText(*lit("fits.txt"));
    EXPECT_NE(textOf(*t), "before");
}
