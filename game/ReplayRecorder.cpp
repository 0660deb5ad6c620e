#include "game/ReplayRecorder.h"

#include "game/Golf.h"
#include "runtime/Version.h"

namespace fairholm {

ReplayRecorder::ReplayRecorder(Ref<Clock> inner, Sink sink)
    : m_inner(std::move(inner)), m_sink(std::move(sink)) {}

uint32_t ReplayRecorder::currentTimeMillis() {
    const uint32_t real = m_inner->currentTimeMillis();
    if (!m_started) {
        m_started = true;
        m_time = real;
        m_start = real;
    }
    const auto behind = static_cast<int32_t>(real - m_time);
    if ((m_inputSeen && behind > 0) || behind > static_cast<int32_t>(maxLag)) {
        m_time = real;
    }
    m_inputSeen = false;
    if (m_time == m_model.time) {
        m_writer.hit();
    } else {
        ReplayFormat::putSigned(m_writer.record(ReplayFormat::Time),
                                static_cast<int32_t>(m_time - m_model.time));
        m_model.time = m_time;
    }
    return m_time;
}

void ReplayRecorder::sleep(uint32_t milliseconds) {
    m_time += milliseconds;
    m_model.slept(milliseconds);
    // Always asked of the inner clock, even for nothing: a shell's clock may present the
    // frame or deliver its events there.
    const auto ahead = static_cast<int32_t>(m_time - m_inner->currentTimeMillis());
    m_inner->sleep(ahead > 0 ? static_cast<uint32_t>(ahead) : 0);
}

void ReplayRecorder::begin(Golf& game) {
    if (m_begun) {
        return;
    }
    m_begun = true;
    ReplayFormat::Header header;
    header.width = game.getWidth();
    header.height = game.getHeight();
    const Vdisplay* display = game.display();
    header.flags =
        static_cast<uint8_t>((game.comfort() ? ReplayFormat::comfortFlag : 0) |
                             (display && display->platform().isPocketPC() ? ReplayFormat::pocketPCFlag : 0) |
                             (display && display->isDoubled() ? ReplayFormat::highResolutionFlag : 0));
    header.gameVersion = version;
    m_writer.setHeader(std::move(header));
}

int32_t ReplayRecorder::key(int32_t live) {
    if (live == m_model.key()) {
        m_writer.hit();
    } else {
        ReplayFormat::putSigned(m_writer.record(ReplayFormat::Key), live);
        m_inputSeen = true;
    }
    return live;
}

bool ReplayRecorder::keyDown(int32_t code, bool live) {
    if (live == m_model.keyDown(code) || code < 0 || code >= ReplayModel::keyCodes) {
        m_writer.hit();
    } else {
        ReplayFormat::putVarint(m_writer.record(ReplayFormat::KeyDown), static_cast<uint32_t>(code));
        m_model.setKeyDown(code, live);
        m_inputSeen = true;
    }
    return live;
}

int32_t ReplayRecorder::pointer(uint8_t kind, int32_t& seen, int32_t live) {
    if (live == seen) {
        m_writer.hit();
    } else {
        ReplayFormat::putSigned(m_writer.record(kind), live);
        seen = live;
        m_inputSeen = true;
    }
    return live;
}

int32_t ReplayRecorder::pointerX(int32_t live) {
    return pointer(ReplayFormat::PointerX, m_model.pointerX, live);
}

int32_t ReplayRecorder::pointerY(int32_t live) {
    return pointer(ReplayFormat::PointerY, m_model.pointerY, live);
}

uint64_t ReplayRecorder::requestedSize(uint64_t live) {
    const auto width = static_cast<uint32_t>(live >> 32);
    const auto height = static_cast<uint32_t>(live);
    const bool recordable =
        width >= 1 && width <= ReplayFormat::maxSide && height >= 1 && height <= ReplayFormat::maxSide;
    if (live == m_model.size || !recordable) {
        // A size no recording holds is one the game does not take either (it keeps the
        // last one); the player answers that.
        m_writer.hit();
        return m_model.size;
    }
    std::vector<uint8_t>& out = m_writer.record(ReplayFormat::Size);
    ReplayFormat::putVarint(out, width);
    ReplayFormat::putVarint(out, height);
    m_model.size = live;
    return live;
}

bool ReplayRecorder::running(bool live) {
    if (live == m_model.running) {
        m_writer.hit();
    } else {
        m_writer.record(ReplayFormat::Running);
        m_model.running = live;
    }
    return live;
}

void ReplayRecorder::pointerSet(int32_t x, int32_t y) {
    m_model.pointerX = x;
    m_model.pointerY = y;
}

bool ReplayRecorder::savedRecord(bool whole, const ByteArray& record) {
    std::vector<uint8_t>& out = m_writer.record(ReplayFormat::Record);
    const int32_t length =
        record.length() < ReplayFormat::maxRecordBytes ? record.length() : ReplayFormat::maxRecordBytes;
    out.push_back(whole ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), record.data(), record.data() + length);
    return whole;
}

int32_t ReplayRecorder::savedFile(int32_t got, const ByteArray& buffer) {
    std::vector<uint8_t>& out = m_writer.record(ReplayFormat::Record);
    int32_t length = got < buffer.length() ? got : buffer.length();
    length = length < 0 ? 0 : length > ReplayFormat::maxRecordBytes ? ReplayFormat::maxRecordBytes : length;
    out.push_back(got >= 0 ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), buffer.data(), buffer.data() + length);
    return got >= 0 ? length : -1;
}

bool ReplayRecorder::saved(bool live) {
    if (live == m_model.saved) {
        m_writer.hit();
    } else {
        m_writer.record(ReplayFormat::Saved);
        m_model.saved = live;
    }
    return live;
}

void ReplayRecorder::stroke(uint32_t fingerprint) {
    ReplayFormat::putU32(m_writer.record(ReplayFormat::Stroke), fingerprint);
    ++m_strokes;
    flush(ReplayFormat::Unfinished);
}

void ReplayRecorder::finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    // A sitting without a stroke leaves no recording behind.
    if (m_strokes > 0) {
        flush(ReplayFormat::Finished);
    }
}

std::vector<uint8_t> ReplayRecorder::file() const {
    return m_writer.file(m_finished ? ReplayFormat::Finished : ReplayFormat::Unfinished);
}

void ReplayRecorder::flush(uint8_t reason) {
    if (m_sink) {
        m_sink(m_writer.file(reason));
    }
}

}  // namespace fairholm
