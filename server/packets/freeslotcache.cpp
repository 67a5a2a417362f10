#include "server/packets/freeslotcache.h"

namespace {

// Jobs times languages a school has; more keys than this only come from a test or a fault,
// and the cache then starts over rather than grow.
constexpr qsizetype kMaxSlots = 64;

bool Serves(const FreeSlots *entry, qint64 version, const QByteArray &moment) {
    return entry && entry->version == version && entry->from <= moment;
}

} // namespace

std::shared_ptr<FreeSlotCache::Slot> FreeSlotCache::slotFor(int job, int language) {
    const qint64 key = (qint64(job) << 8) | (language & 0xFF);
    QMutexLocker guard(&m_lock);
    std::shared_ptr<Slot> &slot = m_slots[key];
    if (!slot) {
        if (m_slots.size() > kMaxSlots) {
            m_slots.clear();
            return m_slots[key] = std::make_shared<Slot>();
        }
        slot = std::make_shared<Slot>();
    }
    return slot;
}

std::shared_ptr<const FreeSlots> FreeSlotCache::find(int job, int language, qint64 version,
                                                     const QByteArray &moment,
                                                     const Reader &read) {
    const std::shared_ptr<Slot> slot = slotFor(job, language);
    QMutexLocker guard(&slot->lock);
    if (Serves(slot->entry.get(), version, moment))
        return slot->entry;
    m_reads.ref();
    std::shared_ptr<const FreeSlots> entry = read();
    // A request that read an older version than the entry's keeps its rows to itself.
    if (entry && (!slot->entry || entry->version >= slot->entry->version))
        slot->entry = entry;
    return entry;
}
