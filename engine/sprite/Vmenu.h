#pragma once

#include <cstdint>

#include "engine/sprite/Vsprite.h"
#include "engine/sprite/Vtext.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// A vertical list of items (its children, first added on top). One item is selected
// and shown at full opacity, the others at half. Up and down move the selection with
// wrap-around, the action keys report the selected item's tag, other key codes select
// the item tagged with them, and a stylus tap selects the item under it.
class Vmenu : public Vsprite {
public:
    Vmenu() = default;
    ~Vmenu() override;

    virtual Ref<Vtext> addItem(Ref<String> text, int32_t tag);
    virtual Ref<Vtext> addItemText(Ref<String> text);
    virtual void addItemSprite(Ref<Vsprite> item);
    virtual void unhighlight();
    virtual Ref<Vsprite> getSelected() const { return m_selected; }
    virtual int32_t handleKey(int32_t key, int32_t px, int32_t py);
    virtual void selectByTag(int32_t code);
    virtual void highlight();
    virtual void selectIndex(int32_t i);
    virtual int32_t getSelectedIndex() const;

    // Process-wide: items written "<key> <text>" show only their text (set on Pocket
    // PC, where items are tapped rather than typed).
    static bool itemPrefix();
    static void setItemPrefix(bool on);

private:
    void select(Vsprite* item);

    Ref<Vsprite> m_selected;
};

}  // namespace fairholm
