#include "engine/sprite/Vmenu.h"

#include <atomic>

#include "engine/sprite/EngineKey.h"

namespace fairholm {

namespace {
std::atomic<bool> theItemPrefix{false};
}  // namespace

bool Vmenu::itemPrefix() {
    return theItemPrefix.load(std::memory_order_relaxed);
}
void Vmenu::setItemPrefix(bool on) {
    theItemPrefix.store(on, std::memory_order_relaxed);
}

Vmenu::~Vmenu() {
    m_selected = nullptr;
}

Ref<Vtext> Vmenu::addItem(Ref<String> text, int32_t tag) {
    Ref<Vtext> item = make<Vtext>(nullptr);
    if (text && itemPrefix() && text->length() >= 2 && text->charAt(1) == ' ') {
        text = text->substring(2);
    }
    item->setText(std::move(text));
    item->setTag(tag);
    addItemSprite(item);
    return item;
}

Ref<Vtext> Vmenu::addItemText(Ref<String> text) {
    const int32_t tag = text ? static_cast<int8_t>(text->charAt(0)) : 0;
    return addItem(std::move(text), tag);
}

void Vmenu::addItemSprite(Ref<Vsprite> item) {
    if (!item) {
        return;
    }
    if (!m_firstChild) {
        m_selected = item;
    } else {
        item->setOpacity(0x4000);
    }
    appendRow(item);
}

void Vmenu::unhighlight() {
    if (m_selected) {
        m_selected->setOpacity(0x4000);
    }
}

void Vmenu::highlight() {
    if (!m_selected) {
        m_selected = m_firstChild;
    }
    if (m_selected) {
        m_selected->setOpacity(0x8000);
    }
}

void Vmenu::select(Vsprite* item) {
    unhighlight();
    m_selected = item;
    highlight();
}

int32_t Vmenu::handleKey(int32_t key, int32_t px, int32_t py) {
    const int32_t k = key & 0xFF;
    if (k == key::action && (px != 0 || py != 0) && m_left <= px && px < m_right) {
        for (Vsprite* item = firstChild(); item; item = item->next()) {
            if (item->top() <= py && py < item->bottom()) {
                select(item);
                break;
            }
        }
    }
    if (k == key::up || k == key::down) {
        if (!m_firstChild) {
            return 0;
        }
        Vsprite* previous = nullptr;
        Vsprite* last = nullptr;
        Vsprite* after = nullptr;
        for (Vsprite* item = firstChild(); item; item = item->next()) {
            if (item->next() == m_selected.ptr()) {
                previous = item;
            }
            if (item == m_selected.ptr()) {
                after = item->next();
            }
            last = item;
        }
        if (k == key::up) {
            select(previous ? previous : last);
        } else {
            select(after ? after : firstChild());
        }
        return 0;
    }
    if (k == key::action || k == key::lineFeed) {
        return m_selected ? static_cast<int8_t>(m_selected->getTag()) : 0;
    }
    if (key != 0) {
        for (Vsprite* item = firstChild(); item; item = item->next()) {
            if (item->getTag() == key) {
                select(item);
                break;
            }
        }
        return key;
    }
    return 0;
}

void Vmenu::selectByTag(int32_t code) {
    for (Vsprite* item = firstChild(); item; item = item->next()) {
        if (item->getTag() == code && item != m_selected.ptr()) {
            select(item);
        }
    }
}

void Vmenu::selectIndex(int32_t i) {
    unhighlight();
    // Walks i items from the first: none at all for a negative i.
    Vsprite* item = firstChild();
    for (int32_t j = 0; j < i && item; ++j) {
        item = item->next();
    }
    if (!item) {
        return;
    }
    m_selected = item;
    highlight();
}

int32_t Vmenu::getSelectedIndex() const {
    int32_t index = 0;
    for (Vsprite* item = firstChild(); item; item = item->next()) {
        if (item == m_selected.ptr()) {
            return index;
        }
        ++index;
    }
    return index;
}

}  // namespace fairholm
