#pragma once

#include <QByteArray>
#include <QStringView>
#include <memory>
#include <vector>

class TCollation;

// Sort keys of a table's text cells, computed on first use and kept until the cell changes or
// the collation is another one. Keys live in blocks that never move, so a key's view stays
// valid while the cache holds it.
class TSortKeyCache {
public:
    TSortKeyCache() = default;
    TSortKeyCache(TSortKeyCache &&) = default;
    TSortKeyCache &operator=(TSortKeyCache &&) = default;
    // A copy starts empty: its keys are computed again when first needed (views into the
    // original's blocks must not outlive the original).
    TSortKeyCache(const TSortKeyCache &) {}
    TSortKeyCache &operator=(const TSortKeyCache &other) {
        if (this != &other)
            clear();
        return *this;
    }

    // The key of the cell, computed from its text when not known yet.
    QByteArrayView key(quint32 record, int field, QStringView text, const TCollation &collation);
    // The cell's text changed: its key is computed again on next use.
    void forget(quint32 record, int field) {
        if (size_t(field) < m_refs.size() && record < m_refs[size_t(field)].size())
            m_refs[size_t(field)][record] = Ref();
    }
    void forgetRecord(quint32 record) {
        for (auto &refs : m_refs)
            if (record < refs.size())
                refs[record] = Ref();
    }
    void clear();

private:
    struct Ref {
        const char *data = nullptr;
        quint32 length = 0;
    };
    const char *store(const QByteArray &key);

    const TCollation *m_collation = nullptr;
    std::vector<std::vector<Ref>> m_refs; // per field, per record
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_blockSize = 0; // of the last block
    size_t m_used = 0;      // bytes used in the last block
    QByteArray m_scratch;
};
