#pragma once

#include <cstdint>

#include "engine/sprite/Vfont.h"
#include "engine/sprite/Vsprite.h"
#include "runtime/Array.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// A sprite showing a text in a bitmap font, optionally followed by a short suffix (the
// digits) that can be replaced cheaply every frame. It sizes itself to its text; '\n'
// separates lines. The sprite's colour is the background of the text box.
class Vtext : public Vsprite {
public:
    explicit Vtext(Ref<String> text);
    ~Vtext() override;

    int32_t layoutKey(fixed absoluteX, fixed absoluteY, fixed absoluteScale) override;
    void paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
               int32_t clipRight, int32_t clipBottom) override;
    Ref<String> describe() override;

    // --- operations added by the text sprite, in table order ---
    virtual void measure();
    virtual void setDigits(const String& s);
    virtual void setNumber(int32_t n);
    virtual void setDigitCapacity(int32_t n);
    virtual void loadText(const String& name);
    virtual void setFontAndText(Ref<Vfont> font, Ref<String> text);
    virtual void setText(Ref<String> text);
    virtual void setWrappedText(const String& text);
    virtual void setTextColour(int32_t argb) { m_textColour = argb; }

    Vfont* font() const { return m_font.ptr(); }
    String* text() const { return m_text.ptr(); }
    int32_t textColour() const { return m_textColour; }
    int32_t textHash() const { return m_textHash; }
    int32_t digitCount() const { return m_digitCount; }
    int32_t digitCapacity() const { return m_digitCapacity; }
    // The suffix as drawn, left to right.
    Ref<String> digitsText() const;

    // Process-wide settings: the font of texts set without one, and the colour new
    // text sprites start with.
    static Ref<Vfont> getDefaultFont();
    static void setDefaultFont(Ref<Vfont> font);
    static int32_t defaultTextColour();
    static void setDefaultTextColour(int32_t argb);

private:
    void drawGlyph(int32_t c, const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct,
                   int32_t cr, int32_t cb, fixed penX, fixed penY, int32_t w, int32_t lineHeight) const;

    Ref<Vfont> m_font;
    ByteArray m_digits;
    int32_t m_digitCount = 0;
    int32_t m_digitCapacity = 0;
    Ref<String> m_text;
    int32_t m_textColour = 0;
    int32_t m_textHash = 0;
};

}  // namespace fairholm
