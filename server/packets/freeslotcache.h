#pragma once

#include "server/packets/deflatedpieces.h"
#include "server/packets/timetablerows.h"

#include <QAtomicInt>
#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <functional>
#include <memory>

// The free slots of one job from some moment on, written as timetable rows in one language
// and deflated in pieces of a few rows; every student of the job gets the same rows.
struct FreeSlots {
    qint64 version = 0; // of the timetable data they were read at
    QByteArray from;    // lesson times from this packet form on
    TimetableRows rows;
    DeflatedPieces pieces; // piece i holds rows [i * pieceRows, (i + 1) * pieceRows)
    int pieceRows = 1;
    // False when the rows were not in the form the merge relies on (values the database
    // holds in another form): kept all the same, so that they are not read again for every
    // request, which then reads the timetable whole.
    bool usable = true;
};

// The free slots last read for each job and language, shared by the request threads. An
// entry serves a request when it was read at the timetable data's current version (which
// the database raises on every change of lessons, names or statuses) and from a moment not
// after the request's; otherwise it is read again, once, while other requests for the same
// job and language wait for it.
class FreeSlotCache {
public:
    explicit FreeSlotCache(int pieceRows = 32) : m_pieceRows(pieceRows) {}

    using Reader = std::function<std::shared_ptr<const FreeSlots>()>;
    // The entry for the job and language that serves the version and moment, read with
    // `read` when there is none; nullptr when `read` gives none.
    std::shared_ptr<const FreeSlots> find(int job, int language, qint64 version,
                                          const QByteArray &moment, const Reader &read);
    int pieceRows() const { return m_pieceRows; }
    // How many times the free slots were read (for tests and benchmarks).
    int reads() const { return m_reads.loadRelaxed(); }

private:
    struct Slot {
        QMutex lock;
        std::shared_ptr<const FreeSlots> entry;
    };
    std::shared_ptr<Slot> slotFor(int job, int language);

    const int m_pieceRows;
    QAtomicInt m_reads;
    QMutex m_lock;
    QHash<qint64, std::shared_ptr<Slot>> m_slots;
};
