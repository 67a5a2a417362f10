#include "wire/sortkeycache.h"

#include "wire/collation.h"

#include <cstring>

namespace {

constexpr size_t kBlockBytes = 256 * 1024;

} // namespace

QByteArrayView TSortKeyCache::key(quint32 record, int field, QStringView text,
                                  const TCollation &collation) {
    if (m_collation != &collation) {
        clear();
        m_collation = &collation;
    }
    if (size_t(field) >= m_refs.size())
        m_refs.resize(size_t(field) + 1);
    std::vector<Ref> &refs = m_refs[size_t(field)];
    if (record >= refs.size())
        refs.resize(qMax(size_t(record) + 1, refs.size() * 2));
    Ref &ref = refs[record];
    if (!ref.data) {
        m_scratch.clear();
        collation.AppendKey(text, m_scratch);
        ref.data = store(m_scratch);
        ref.length = quint32(m_scratch.size());
    }
    return QByteArrayView(ref.data, qsizetype(ref.length));
}

const char *TSortKeyCache::store(const QByteArray &key) {
    const size_t length = size_t(key.size());
    if (m_blocks.empty() || length > m_blockSize - m_used) {
        m_blockSize = qMax(kBlockBytes, length);
        m_blocks.push_back(std::make_unique<char[]>(m_blockSize));
        m_used = 0;
    }
    char *out = m_blocks.back().get() + m_used;
    std::memcpy(out, key.constData(), length);
    m_used += length;
    return out;
}

void TSortKeyCache::clear() {
    m_collation = nullptr;
    m_refs.clear();
    m_blocks.clear();
    m_blockSize = m_used = 0;
    m_scratch.clear();
}
