#include "engine/sprite/Vilib.h"

#include <cstring>

#include "engine/sprite/Vsprite.h"
#include "runtime/FileLimits.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

namespace {

// The colour history shared by every 'r' decode of the process (game thread only).
int32_t colourHistory[Vilib::historySize];

// Walks 'r' codes and hands every written pixel and every skip to the sink. Pixels
// past `count` are never produced, and a code cut off by the end of the data ends the
// walk.
template <typename Sink>
inline void walkRunLength(const uint8_t* data, int32_t length, int32_t count, Sink& sink) {
    std::memset(colourHistory, 0, sizeof(colourHistory));
    int32_t slot = 0;
    uint32_t alpha = 0xFF000000u;
    int32_t n = 0;
    int32_t i = 0;
    while (i < length && n < count) {
        const uint32_t b = data[i++];
        if (b < 0x80) {
            if (i >= length) {
                break;
            }
            const uint32_t v = (b << 8) | data[i++];
            const uint32_t colour = (((v >> 10) & 31) << 19) + (((v >> 5) & 31) << 11) + ((v & 31) << 3);
            sink.pixel(colour + alpha);
            colourHistory[slot] = static_cast<int32_t>(colour);
            slot = slot + 1 == Vilib::historySize ? 0 : slot + 1;
            ++n;
            alpha = 0xFF000000u;
        } else if (b <= 0x85) {
            alpha = (b - 0x7F) << 29;
        } else if (b == 0x86) {
            if (i >= length) {
                break;
            }
            const uint32_t c = data[i++];
            const int32_t k = static_cast<int32_t>(c >> 3) + 16;
            if ((c & 7) != 7) {
                alpha = (c & 7) << 29;
            }
            n += k;
            if (n < count) {
                sink.skip(k);
            }
        } else if (b <= 0x95) {
            const int32_t k = static_cast<int32_t>(b - 0x86);
            n += k;
            if (n < count) {
                sink.skip(k);
            }
        } else {
            sink.pixel(static_cast<uint32_t>(colourHistory[b - 0x96]) + alpha);
            ++n;
            alpha = 0xFF000000u;
        }
    }
}

// Decoding into a picture's own pixel array.
struct MemorySink {
    uint32_t* out;
    void pixel(uint32_t p) { *out++ = p; }
    void skip(int32_t k) { out += k; }
};

// Decoding straight onto the frame buffer: rows of `width` pixels, `stride` apart;
// skips wrap across row ends like written pixels.
struct FrameSink {
    uint32_t* fb;
    int32_t index;
    int32_t column;
    int32_t width;
    int32_t gap;  // stride - width

    void pixel(uint32_t p) {
        const uint32_t level = p >> 29;
        if (level == 7) {
            fb[index] = p & 0xFFFFFF;
        } else if (level != 0) {
            fb[index] = blend::byLevel(fb[index], p, static_cast<int32_t>(level));
        }
        ++index;
        if (++column == width) {
            column = 0;
            index += gap;
        }
    }
    void skip(int32_t k) {
        column += k;
        index += k;
        if (column >= width) {
            const int32_t down = column / width;
            column -= down * width;
            index += down * gap;
        }
    }
};

}  // namespace

Vilib::Vilib(Ref<Vdisplay> display, const String& name) : m_display(std::move(display)) {
    open(name);
}

void Vilib::decodeRunLength(const uint8_t* data, int32_t length, uint32_t* out, int32_t count) {
    MemorySink sink{out};
    walkRunLength(data, length, count, sink);
}

void Vilib::applyAlphaRuns(const uint8_t* data, int32_t length, uint32_t* out, int32_t count) {
    int32_t n = 0;
    for (int32_t i = 0; i < length && n < count; ++i) {
        const uint32_t a = data[i];
        int32_t run = static_cast<int32_t>(a >> 3);
        if (run == 0) {
            run = 32;
        }
        if (run > count - n) {
            run = count - n;
        }
        const uint32_t level = a & 7;
        for (int32_t k = 0; k < run; ++k, ++n) {
            out[n] = level == 0 ? 0 : ((out[n] & 0xFFFFFF) | (level << 29));
        }
    }
}

int32_t Vilib::readVarInt() {
    if (!m_stream) {
        return -1;
    }
    int32_t b = m_stream->read();
    if (b < 0) {
        m_endOfFile = true;
        return -1;
    }
    if (b < 128) {
        return b;
    }
    int32_t value = b & 0x7F;
    do {
        b = m_stream->read();
        if (b < 0) {
            m_endOfFile = true;
            return -1;
        }
        value = (value << 7) | (b & 0x7F);
    } while (b > 127);
    return value;
}

void Vilib::readFully(const ByteArray& array, int32_t offset, int32_t count) {
    const int32_t end = offset + count;
    while (offset < end && !m_endOfFile) {
        const int32_t got = m_stream->read(array, offset, end - offset);
        if (got <= 0) {
            m_endOfFile = true;
            break;
        }
        offset += got;
    }
}

void Vilib::open(const String& name) {
    StringBuffer path(*lit("/"));
    path.append(name);
    path.append(*lit(".bin"));
    m_stream = InputStream::open(*path.toString(), FileLimits::imagePack);
    if (!m_stream) {
        return;
    }
    m_endOfFile = false;
    const int32_t count = readVarInt();
    const int32_t jpegBufferSize = readVarInt();
    if (count > 0 && count <= maxCount) {
        m_pictures = newHandleArray<Vpicture>(count);
        m_count = m_pictures.length();
    }
    int64_t packPixels = 0;
    for (int32_t k = 0; k < m_count; ++k) {
        Ref<Vpicture> picture = make<Vpicture>();
        m_pictures[k] = picture;
        if (m_endOfFile) {
            continue;  // entries after the end of a truncated file stay empty
        }
        const int32_t type = readVarInt() & 0xFF;
        const int32_t width = readVarInt();
        const int32_t height = readVarInt();
        const int32_t anchorX = readVarInt();
        const int32_t anchorY = readVarInt();
        int32_t length = readVarInt();
        picture->setType(static_cast<uint8_t>(type));
        // Pictures beyond what a pack may hold decode to nothing: a size of 0 x 0. (A
        // negative size is kept: such a picture is never decoded anyway.)
        const int64_t pixels = width > 0 && height > 0 ? int64_t{width} * height : 0;
        if (pixels <= FileLimits::picturePixels && pixels <= FileLimits::packPixels - packPixels) {
            picture->setSize(width, height);
            packPixels += pixels;
        } else {
            picture->setSize(0, 0);
        }
        picture->setAnchor(anchorX, anchorY);
        if (length < 0) {
            length = 0;
        }
        int32_t jpegLength = 0;
        if (type == Vpicture::jpeg) {
            int32_t alphaLength = readVarInt();
            if (alphaLength < 0) {
                alphaLength = 0;
            }
            if (m_jpegBuffer.isEmpty()) {
                int32_t size = jpegBufferSize;
                if (size < jpegPrefixLength) {
                    size = jpegPrefixLength;
                }
                if (size > maxEntryLength + jpegPrefixLength) {
                    size = maxEntryLength + jpegPrefixLength;
                }
                m_jpegBuffer = newByteArray(size);
                if (m_jpegBuffer.isEmpty()) {
                    m_endOfFile = true;
                    continue;
                }
                readFully(m_jpegBuffer, 0, jpegPrefixLength);
                length = length > jpegPrefixLength ? length - jpegPrefixLength : 0;
            }
            if (length > maxEntryLength || alphaLength > maxEntryLength) {
                m_endOfFile = true;  // impossible sizes: the rest of the file is not trusted
                continue;
            }
            jpegLength = length;
            length += alphaLength;
        }
        if (length > maxEntryLength) {
            m_endOfFile = true;
            continue;
        }
        ByteArray encoded = newByteArray(length);
        if (length > 0 && encoded.isEmpty()) {
            m_endOfFile = true;
            continue;
        }
        readFully(encoded, 0, length);
        picture->setEncoded(std::move(encoded), jpegLength);
    }
    m_stream->close();
    m_stream = nullptr;
}

Ref<Vpicture> Vilib::getPicture(int32_t frame) {
    if (frame < 0 || frame >= m_count) {
        return nullptr;
    }
    return m_pictures[frame];
}

Ref<Vpicture> Vilib::loadPicture(int32_t frame) {
    Ref<Vpicture> picture = getPicture(frame);
    if (!picture) {
        return nullptr;
    }
    const int32_t count = picture->pixelCount();
    if (!picture->isDecoded() && count > 0) {
        IntArray pixels = newIntArray(count);
        if (!pixels.isEmpty()) {
            const ByteArray& encoded = picture->encoded();
            auto* out = reinterpret_cast<uint32_t*>(pixels.data());
            if (picture->type() == Vpicture::jpeg) {
                const int32_t bodyLength = picture->jpegLength();
                if (!m_jpegBuffer.isEmpty() && bodyLength <= m_jpegBuffer.length() - jpegPrefixLength) {
                    if (bodyLength > 0) {
                        std::memcpy(m_jpegBuffer.data() + jpegPrefixLength, encoded.data(),
                                    static_cast<size_t>(bodyLength));
                    }
                    m_jpegBuffer[163] = static_cast<uint8_t>(picture->height() >> 8);
                    m_jpegBuffer[164] = static_cast<uint8_t>(picture->height());
                    m_jpegBuffer[165] = static_cast<uint8_t>(picture->width() >> 8);
                    m_jpegBuffer[166] = static_cast<uint8_t>(picture->width());
                    if (m_display) {
                        m_display->decodeJpeg(m_jpegBuffer, 0, jpegPrefixLength + bodyLength, pixels, 0);
                    }
                }
                if (bodyLength < encoded.length()) {
                    applyAlphaRuns(encoded.data() + bodyLength, encoded.length() - bodyLength, out, count);
                }
            } else if (picture->type() == Vpicture::runLength) {
                decodeRunLength(encoded.data(), encoded.length(), out, count);
            }
            picture->setPixels(std::move(pixels));
        }
    }
    picture->setRecentlyUsed(true);
    return picture;
}

void Vilib::drawDirect(const Vpicture& picture, uint32_t* fb, int32_t stride, int32_t left, int32_t top) {
    const int32_t width = picture.width();
    FrameSink sink{fb, top * stride + left, 0, width, stride - width};
    walkRunLength(picture.encoded().data(), picture.encoded().length(), picture.pixelCount(), sink);
}

int32_t Vilib::drawImage(int32_t frame, const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl,
                         int32_t ct, int32_t cr, int32_t cb, fixed x, fixed y, fixed scale, int32_t depth,
                         fixed opacity) {
    Ref<Vpicture> picture = getPicture(frame);
    if (!picture) {
        return 0;
    }
    const bool inside = clipToBuffer(pixels.length(), stride, rows, cl, ct, cr, cb);
    if (inside && !picture->isDecoded() && picture->type() == Vpicture::runLength && scale == 0x8000 &&
        opacity == 0x8000 && cr - cl == picture->width() && cb - ct == picture->height() &&
        picture->pixelCount() > 0) {
        drawDirect(*picture, reinterpret_cast<uint32_t*>(pixels.data()), stride, cl, ct);
        return 0;
    }
    // Every draw that does not take the direct path decodes the picture, even one that
    // leaves nothing in the buffer: a later whole draw then takes the depth-tested way.
    loadPicture(frame);
    if (!inside) {
        return 0;
    }
    return picture->draw(pixels, stride, rows, cl, ct, cr, cb, x, y, scale, depth, opacity);
}

bool Vilib::evict(int32_t bytesNeeded) {
    if (m_count == 0) {
        return false;
    }
    int32_t cursor = m_evictCursor;
    if (cursor < 0 || cursor >= m_count) {
        cursor = 0;
    }
    for (int32_t examined = 0; examined < 2 * m_count; ++examined) {
        Vpicture& picture = *m_pictures[cursor];
        if (picture.recentlyUsed()) {
            picture.setRecentlyUsed(false);
        } else if (picture.isDecoded()) {
            picture.releasePixels();
            bytesNeeded -= 4 * picture.width() * picture.height();
            if (bytesNeeded < 1) {
                m_evictCursor = cursor;
                return true;
            }
        }
        cursor = cursor + 1 == m_count ? 0 : cursor + 1;
    }
    m_evictCursor = cursor;
    return false;
}

void Vilib::releaseImage(int32_t frame) {
    Ref<Vpicture> picture = getPicture(frame);
    if (picture) {
        picture->setRecentlyUsed(false);
        m_evictCursor = frame;
    }
}

}  // namespace fairholm
