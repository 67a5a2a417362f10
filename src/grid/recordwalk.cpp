#include "grid/recordwalk.h"

#include "base/logging.h"
#include "seam/messagebox.h"

namespace {

constexpr int kDatabaseWaitCursor = 3; // the wait cursor shape

// Undoes the preparations of a walk when it ends, whichever way it ends.
class WalkScope {
public:
    explicit WalkScope(TClientTable &table)
        : m_table(table), m_afterScroll(std::exchange(table.AfterScroll, nullptr)) {
        m_table.DisableControls();
        m_bookmark = m_table.GetBookmark();
        BeginBusyCursor(kDatabaseWaitCursor);
    }
    ~WalkScope() {
        try {
            if (m_bookmark.isValid() && m_table.Active())
                m_table.GotoBookmark(m_bookmark);
        } catch (...) {
            // The walk's own error (or none) is what the caller hears about.
            qCWarning(lcGrid).noquote()
                << "Return to the bookmark after a walk failed:" << CurrentExceptionText();
        }
        m_table.EnableControls();
        m_table.AfterScroll = std::move(m_afterScroll);
        EndBusyCursor();
    }
    WalkScope(const WalkScope &) = delete;
    WalkScope &operator=(const WalkScope &) = delete;

private:
    TClientTable &m_table;
    TTableEvent m_afterScroll;
    TBookmark m_bookmark;
};

} // namespace

void WalkRecords(TClientTable &table, const std::function<void()> &visit) {
    WalkScope scope(table);
    table.First();
    while (!table.Eof()) {
        visit();
        table.Next();
    }
}

int CountRecords(TClientTable &table) {
    int count = 0;
    WalkRecords(table, [&] { ++count; });
    return count;
}
