#include <gtest/gtest.h>

#include <string>

#include "engine/sprite/Vfont.h"
#include "engine/sprite/Vmenu.h"
#include "tests/engine/sprite/TempProgramDir.h"
#include "tools/formats/FontWriter.h"

using namespace fairholm;
using fairholm::formats::FontWriter;

namespace {

class MenuTest : public fairholm::test::TempProgramDir {
protected:
    void SetUp() override {
        TempProgramDir::SetUp();
        FontWriter writer(4, 10, 9, 32, 126);
        for (int c = 33; c <= 126; ++c) {
            writer.setGlyph(c, 5, {15});
        }
        writeFile("m.bin", writer.bytes());
        Ref<Vfont> font = make<Vfont>();
        ASSERT_TRUE(font->load(*lit("m.bin")));
        Vtext::setDefaultFont(font);
        Vsprite::setRowMargin(2);
        menu = make<Vmenu>();
    }
    void TearDown() override {
        menu->removeAllChildren();
        Vmenu::setItemPrefix(false);
        Vtext::setDefaultFont(nullptr);
        TempProgramDir::TearDown();
    }
    void nrs() {
        menu->addItemText(lit("New game"));
        menu->addItemText(lit("Resume"));
        menu->addItemText(lit("Sound"));
    }
    int32_t selectedTag() const { return menu->getSelected()->getTag(); }
    Ref<Vmenu> menu;
};

}  // namespace

TEST_F(MenuTest, FirstItemSelectedOthersDimmed) {
    nrs();
    EXPECT_EQ(selectedTag(), 'N');
    Vsprite* first = menu->firstChild();
    EXPECT_EQ(first->getOpacity(), 0x8000);
    EXPECT_EQ(first->next()->getOpacity(), 0x4000);
    EXPECT_EQ(first->next()->getY(), 10 << 15);
    EXPECT_EQ(menu->getWidth(), 7 * 5 + 4 + 4);  // "New game", margins
}

TEST_F(MenuTest, UpAndDownWrap) {
    nrs();
    EXPECT_EQ(menu->handleKey(3, 0, 0), 0);
    EXPECT_EQ(selectedTag(), 'S');
    EXPECT_EQ(menu->firstChild()->getOpacity(), 0x4000);
    EXPECT_EQ(menu->getSelected()->getOpacity(), 0x8000);
    EXPECT_EQ(menu->handleKey(4, 0, 0), 0);
    EXPECT_EQ(selectedTag(), 'N');
    menu->handleKey(4, 0, 0);
    EXPECT_EQ(selectedTag(), 'R');
}

TEST_F(MenuTest, ActionReportsTagsAndTypedKeysSelect) {
    nrs();
    EXPECT_EQ(menu->handleKey(5, 0, 0), 'N');
    EXPECT_EQ(menu->handleKey(10, 0, 0), 'N');
    EXPECT_EQ(menu->handleKey('R', 0, 0), 82);
    EXPECT_EQ(selectedTag(), 'R');
    EXPECT_EQ(menu->handleKey('Q', 0, 0), 'Q');
    EXPECT_EQ(selectedTag(), 'R');
    EXPECT_EQ(menu->handleKey(0, 0, 0), 0);
    // A tag above 127 comes back as a signed byte.
    menu->addItem(lit("x"), 0xC8);
    menu->selectIndex(3);
    EXPECT_EQ(menu->handleKey(5, 0, 0), -56);
}

TEST_F(MenuTest, TapsSelectTheItemUnderThePointer) {
    nrs();
    menu->setPosition(10, 20);
    menu->layout(0, 0, 0x8000);
    // Containers have no bounds of their own: give the menu its columns.
    menu->setBounds(10, 20, 10 + menu->getWidth(), 50);
    EXPECT_EQ(menu->handleKey(5, 15, 41), 'S');
    EXPECT_EQ(menu->handleKey(5, 200, 31), 'S');  // outside the columns
    EXPECT_EQ(menu->handleKey(5, 0, 0), 'S');     // (0, 0) is not a tap
    EXPECT_EQ(menu->handleKey(5, 15, 31), 'R');
    EXPECT_EQ(menu->handleKey(5, 15, 70), 'R');  // below every item
}

TEST_F(MenuTest, SelectByTagIndexAndIndexOf) {
    nrs();
    menu->addItemText(lit("Exit"));
    menu->selectByTag('E');
    EXPECT_EQ(menu->getSelectedIndex(), 3);
    menu->selectIndex(1);
    EXPECT_EQ(selectedTag(), 'R');
    EXPECT_EQ(menu->getSelectedIndex(), 1);
    menu->selectIndex(5);
    for (Vsprite* item = menu->firstChild(); item; item = item->next()) {
        EXPECT_EQ(item->getOpacity(), 0x4000);
    }
    menu->highlight();
    EXPECT_EQ(menu->getSelected()->getOpacity(), 0x8000);
    // A negative index walks no item: the first is selected.
    menu->selectIndex(-1);
    EXPECT_EQ(menu->getSelectedIndex(), 0);
    EXPECT_EQ(menu->getSelected()->getOpacity(), 0x8000);
    menu->selectIndex(INT32_MIN);
    EXPECT_EQ(menu->getSelectedIndex(), 0);
}

TEST_F(MenuTest, SelectByTagTakesTheLastMatch) {
    menu->addItem(lit("a"), 7);
    menu->addItem(lit("b"), 9);
    menu->addItem(lit("c"), 9);
    menu->selectByTag(9);
    EXPECT_EQ(menu->getSelectedIndex(), 2);
    EXPECT_EQ(menu->firstChild()->next()->getOpacity(), 0x4000);
}

TEST_F(MenuTest, EmptyMenuDoesNothing) {
    EXPECT_EQ(menu->handleKey(3, 0, 0), 0);
    EXPECT_EQ(menu->handleKey(4, 0, 0), 0);
    EXPECT_EQ(menu->handleKey(5, 3, 3), 0);
    EXPECT_EQ(menu->getSelectedIndex(), 0);
    menu->selectIndex(0);
    menu->unhighlight();
}

TEST_F(MenuTest, ItemPrefixIsDroppedOnPocketPC) {
    Vmenu::setItemPrefix(true);
    Ref<Vtext> item = menu->addItemText(lit("1 Club"));
    EXPECT_EQ(std::string(item->text()->chars()), "Club");
    EXPECT_EQ(item->getTag(), '1');
    Ref<Vtext> plain = menu->addItemText(lit("Exit"));
    EXPECT_EQ(std::string(plain->text()->chars()), "Exit");
}
