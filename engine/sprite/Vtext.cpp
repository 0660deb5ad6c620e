#include "engine/sprite/Vtext.h"

#include <atomic>
#include <string>

#include "runtime/FileLimits.h"
#include "runtime/InputStream.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

namespace {
Ref<Vfont>& defaultFontSlot() {
    static Ref<Vfont> font;
    return font;
}
std::atomic<int32_t> theDefaultTextColour{static_cast<int32_t>(0xFFFFFFFFu)};
}  // namespace

Ref<Vfont> Vtext::getDefaultFont() {
    return defaultFontSlot();
}
void Vtext::setDefaultFont(Ref<Vfont> font) {
    defaultFontSlot() = std::move(font);
}
int32_t Vtext::defaultTextColour() {
    return theDefaultTextColour.load(std::memory_order_relaxed);
}
void Vtext::setDefaultTextColour(int32_t argb) {
    theDefaultTextColour.store(argb, std::memory_order_relaxed);
}

Vtext::Vtext(Ref<String> text) : m_textColour(defaultTextColour()) {
    setText(std::move(text));
}

Vtext::~Vtext() {
    m_text = nullptr;
    m_digits.release();
    m_font = nullptr;
}

int32_t Vtext::layoutKey(fixed ax, fixed ay, fixed as) {
    return m_textHash + ((m_height + ay) << 10) + m_width + m_frame + m_colour + m_opacity + ax + as;
}

Ref<String> Vtext::describe() {
    return m_text ? m_text : lit("");
}

Ref<String> Vtext::digitsText() const {
    std::string s;
    for (int32_t j = m_digitCount - 1; j >= 0; --j) {
        s.push_back(static_cast<char>(m_digits[j]));
    }
    return String::copyOf(s);
}

void Vtext::measure() {
    m_textHash = 0;
    if (!m_text || !m_font) {
        return;
    }
    const char* chars = m_text->chars();
    int32_t lineWidth = 0;
    int32_t widest = 0;
    int32_t lines = 1;
    for (int32_t i = 0; chars[i]; ++i) {
        const int32_t c = static_cast<int8_t>(chars[i]);
        m_textHash += c << (i & 15);
        if (c == '\n') {
            if (lineWidth > widest) {
                widest = lineWidth;
            }
            lineWidth = 0;
            ++lines;
        } else {
            lineWidth += m_font->charWidth(c);
        }
    }
    for (int32_t j = m_digitCount - 1; j >= 0; --j) {
        const int32_t c = static_cast<int8_t>(m_digits[j]);
        lineWidth += m_font->charWidth(c);
        m_textHash += c;
    }
    if (lineWidth > widest) {
        widest = lineWidth;
    }
    m_width = widest;
    m_height = m_font->getLineHeight() * lines;
}

void Vtext::setDigits(const String& s) {
    m_digitCount = 0;
    for (int32_t i = s.length() - 1; i >= 0 && m_digitCount < m_digitCapacity; --i) {
        m_digits[m_digitCount++] = static_cast<uint8_t>(s.charAt(i));
    }
    measure();
}

void Vtext::setNumber(int32_t n) {
    m_digitCount = 0;
    if (m_digitCapacity > 0) {
        const bool negative = n < 0;
        uint32_t magnitude = negative ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
        const int32_t room = negative ? m_digitCapacity - 1 : m_digitCapacity;
        do {
            if (m_digitCount >= room) {
                break;
            }
            m_digits[m_digitCount++] = static_cast<uint8_t>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) {
            m_digits[m_digitCount++] = '-';
        }
    }
    measure();
}

void Vtext::setDigitCapacity(int32_t n) {
    if (n < 0) {
        n = 0;
    }
    m_digits = n > 0 ? newByteArray(n) : ByteArray();
    m_digitCapacity = m_digits.length();
    m_digitCount = 0;
    if (m_font) {
        m_width += m_digitCapacity * m_font->charWidth('0');
    }
}

void Vtext::loadText(const String& name) {
    StringBuffer path(*lit("/"));
    path.append(name);
    Ref<InputStream> in = InputStream::open(*path.toString(), FileLimits::helpText);
    if (!in) {
        return;
    }
    std::string contents;
    contents.reserve(2500);
    ByteArray chunk = newByteArray(4096);
    for (;;) {
        const int32_t got = in->read(chunk, 0, chunk.length());
        if (got <= 0) {
            break;
        }
        contents.append(reinterpret_cast<const char*>(chunk.data()), static_cast<size_t>(got));
    }
    in->close();
    Ref<String> text = String::copyOf(contents);
    setWrappedText(*text);
}

void Vtext::setFontAndText(Ref<Vfont> font, Ref<String> text) {
    m_font = std::move(font);
    setText(std::move(text));
}

void Vtext::setText(Ref<String> text) {
    if (!m_font) {
        m_font = getDefaultFont();
    }
    m_text = std::move(text);
    measure();
}

void Vtext::setWrappedText(const String& text) {
    // The breaks go into a copy: the text given may be a program literal.
    std::string chars(text.view());
    const int32_t limit = m_width;
    int32_t lineWidth = 0;
    int32_t lastSpace = -1;
    int32_t widthAfterSpace = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        const int32_t c = static_cast<int8_t>(chars[i]);
        if (c == '\n') {
            lineWidth = 0;
            lastSpace = -1;
            widthAfterSpace = 0;
            continue;
        }
        lineWidth += m_font ? m_font->charWidth(c) : 0;
        if (c == ' ') {
            lastSpace = static_cast<int32_t>(i);
            widthAfterSpace = lineWidth;
        }
        if (lineWidth > limit) {
            lineWidth -= widthAfterSpace;
            if (lastSpace >= 0) {
                chars[static_cast<size_t>(lastSpace)] = '\n';
            }
            lastSpace = -1;
            widthAfterSpace = 0;
        }
    }
    setText(String::copyOf(chars));
}

void Vtext::drawGlyph(int32_t c, const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct,
                      int32_t cr, int32_t cb, fixed penX, fixed penY, int32_t w, int32_t lineHeight) const {
    if (c == ' ') {
        return;
    }
    const int32_t px = penX >> 15;
    if (px < cr && px + w > cl && (penY >> 15) > ct - lineHeight) {
        m_font->drawChar(c, pixels, stride, rows, cl, ct, cr, cb, penX, penY, m_textColour, m_opacity);
    }
}

void Vtext::paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct, int32_t cr,
                  int32_t cb) {
    fillRect(pixels, stride, rows, cl, ct, cr, cb, m_colour);
    if (!m_font) {
        return;
    }
    const int32_t lineHeight = m_font->getLineHeight();
    fixed penX = m_absX;
    fixed penY = m_absY;
    if (m_text) {
        for (const char* p = m_text->chars(); *p; ++p) {
            const int32_t c = static_cast<int8_t>(*p);
            if (c == '\n') {
                penY += lineHeight << 15;
                penX = m_absX;
                if ((penY >> 15) >= cb) {
                    return;
                }
                continue;
            }
            const int32_t w = m_font->charWidth(c);
            if (w != 0) {
                drawGlyph(c, pixels, stride, rows, cl, ct, cr, cb, penX, penY, w, lineHeight);
                penX += w << 15;
            }
        }
    }
    for (int32_t j = m_digitCount - 1; j >= 0; --j) {
        const int32_t c = static_cast<int8_t>(m_digits[j]);
        const int32_t w = m_font->charWidth(c);
        if (w != 0) {
            drawGlyph(c, pixels, stride, rows, cl, ct, cr, cb, penX, penY, w, lineHeight);
            penX += w << 15;
        }
    }
}

}  // namespace fairholm
