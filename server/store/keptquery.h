#pragma once

#include <QSqlQuery>
#include <optional>
#include <utility>

// A query run through a statement its connection keeps prepared for the next run of the same
// text: one user at a time, released (and its statement reset, so that it holds no snapshot)
// when this goes out of scope. A query that could not use a kept statement is held here.
class KeptQuery {
public:
    // A kept statement, marked busy until this goes.
    KeptQuery(QSqlQuery &kept, bool &busy) : m_query(&kept), m_busy(&busy) {}
    // A query of its own.
    explicit KeptQuery(QSqlQuery own) : m_own(std::move(own)), m_query(&*m_own) {}
    KeptQuery(KeptQuery &&other) noexcept
        : m_own(std::move(other.m_own)), m_query(m_own ? &*m_own : other.m_query),
          m_busy(std::exchange(other.m_busy, nullptr)) {}
    KeptQuery(const KeptQuery &) = delete;
    KeptQuery &operator=(const KeptQuery &) = delete;
    KeptQuery &operator=(KeptQuery &&) = delete;
    ~KeptQuery() {
        if (m_busy) {
            m_query->finish();
            *m_busy = false;
        }
    }

    QSqlQuery &operator*() { return *m_query; }
    QSqlQuery *operator->() { return m_query; }

private:
    std::optional<QSqlQuery> m_own;
    QSqlQuery *m_query;
    bool *m_busy = nullptr;
};
