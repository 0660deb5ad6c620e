#include "game/SavedState.h"

#include "game/Course.h"
#include "runtime/Assert.h"

namespace fairholm {

int32_t SavedState::getShort(const ByteArray& record, int32_t offset) {
    FAIRHOLM_ASSERT(offset >= 0 && offset + 1 < record.length());
    return record[offset] | (record[offset + 1] << 8);
}

void SavedState::setShort(const ByteArray& record, int32_t offset, int32_t value) {
    FAIRHOLM_ASSERT(offset >= 0 && offset + 1 < record.length());
    record[offset] = static_cast<uint8_t>(value);
    record[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void SavedState::store(const ByteArray& record, int32_t hole, int32_t total, int32_t flags) {
    setShort(record, holeOffset, hole);
    setShort(record, totalOffset, total);
    setShort(record, flagsOffset, flags);
}

bool SavedState::isRealPosition(const ByteArray& record) {
    if (record.length() < size) {
        return false;
    }
    const int32_t hole = getShort(record, holeOffset);
    const int32_t total = getShort(record, totalOffset);
    return hole < Course::holeCount && total <= maxTotal;
}

bool SavedState::hasKnownFlags(const ByteArray& record) {
    return record.length() >= size && (getShort(record, flagsOffset) & ~knownFlags) == 0;
}

void SavedState::sanitize(const ByteArray& record) {
    if (record.length() < size) {
        return;
    }
    if (!isRealPosition(record)) {
        setShort(record, holeOffset, 0);
        setShort(record, totalOffset, 0);
    }
    if (!hasKnownFlags(record)) {
        setShort(record, flagsOffset, 0);
    }
}

}  // namespace fairholm
