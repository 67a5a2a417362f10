#pragma once

#include "data/changelog.h"
#include "data/field.h"
#include "data/tableview.h"
#include "wire/fielddef.h"
#include "wire/packetwriter.h"
#include "wire/tablecontent.h"
#include "wire/value.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class TableProvider;

// The editing state of a client table.
enum class TTableState { Inactive, Browse, Edit, Insert };

// Options of Locate.
enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };

// Remembers a row of a table; valid until the table is loaded, refreshed or closed.
struct TBookmark {
    quint32 row = kNoRecord;
    quint64 generation = 0;
    bool isValid() const { return row != kNoRecord; }
};

// What a table tells the controls bound to it.
enum class TTableNotice {
    Opened,        // fields and rows are new
    Closed,        // the table was closed
    Refreshed,     // rows were fetched again
    DataChanged,   // rows appeared, disappeared or moved (insert, delete, filter, order, unfreeze)
    Scrolled,      // another row became current
    RecordChanged, // the values of the current row changed as a whole (post, cancel)
    FieldChanged,  // one field of the current row changed while editing (field index given)
    StateChanged,  // browse, edit or insert state changed
};
using TTableObserver = std::function<void(TTableNotice notice, int field)>;

// A handler of a table event. A before-event refuses its action silently by throwing
// SilentAbort, or with a message by throwing AppError; the exception reaches the caller.
using TTableEvent = std::function<void(class TClientTable &table)>;

// An in-memory table of typed fields and rows: loaded from and written to data packets,
// fetched and applied through a provider; edits run through before/after events and an edit
// buffer. Its change log (TChangeLog) keeps the old values of every change, and its view
// (TTableView) filters, orders and searches the rows that the cursor walks.
class TClientTable {
public:
    TClientTable();
    explicit TClientTable(QString name);
    ~TClientTable();
    TClientTable(const TClientTable &) = delete;
    TClientTable &operator=(const TClientTable &) = delete;

    QString Name() const { return m_name; }

    // --- events (public handlers; empty means none) ---
    TTableEvent BeforeInsert, AfterInsert, OnNewRecord;
    TTableEvent BeforeEdit, AfterEdit;
    TTableEvent BeforePost, AfterPost;
    TTableEvent BeforeCancel, AfterCancel;
    TTableEvent BeforeDelete, AfterDelete;
    TTableEvent BeforeRefresh, AfterRefresh;
    TTableEvent AfterOpen, BeforeClose, AfterClose;
    TTableEvent AfterScroll;

    // Observers are told about every notice unless controls are frozen; returns an id.
    int AddObserver(TTableObserver observer);
    void RemoveObserver(int id);

    // --- provider and lifetime ---
    void SetRemoteServer(TableProvider *provider); // nullptr unbinds
    TableProvider *RemoteServer() const { return m_provider; }
    void SetProviderName(const QString &name) { m_providerName = name; }
    QString ProviderName() const { return m_providerName; }

    // Open fetches the packet through the provider unless the table already holds loaded
    // data; refresh fetches again keeping filter, order and (by key) the current row; close
    // empties the table. Fetch failures leave the table as it was.
    void Open();
    void Close();
    void Refresh();
    bool Active() const { return m_state != TTableState::Inactive; }
    TTableState State() const { return m_state; }
    // A read-only table refuses insert, edit and delete.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool ReadOnly() const { return m_readOnly; }
    bool CanModify() const { return Active() && !m_readOnly; }

    // Makes an open, empty table with these fields (tables built in code, scratch tables).
    void CreateDataSet(const QList<TFieldDef> &fields);

    // --- packets ---
    // Replaces fields, rows and parameters and opens the table with an empty change log.
    // Malformed packets raise AppError and leave the table closed.
    void LoadFromBytes(QByteArrayView packet);
    void LoadFromText(const QString &packetText);
    void LoadFromStream(QIODevice &device);
    // The full contents as a packet (rows in table order with their status bytes).
    QByteArray DataPacket(TPacketEncoding encoding = TPacketEncoding::Utf8) const;
    // The change log as a change-set packet; empty when there are no changes.
    QByteArray Delta(TPacketEncoding encoding = TPacketEncoding::Utf8) const;
    void SaveToStream(QIODevice &device, TPacketEncoding encoding) const;

    // --- change log ---
    // Rows with a pending change (each inserted, modified or deleted row counts once);
    // 0 for a closed table.
    int ChangeCount() const;
    void MergeChangeLog();
    // Reverts the latest logged change; false when there was none.
    bool UndoLastChange();
    // Reverts every change at once (as undoing until none is left, then merging).
    void CancelUpdates();
    // Sends the change log through the provider when there are changes; returns the number
    // of errors (always 0: failures are raised).
    int ApplyUpdates(int maxErrors = 0);
    TUpdateStatus UpdateStatus() const;

    // --- optional parameters ---
    void SetOptionalParam(const QString &name, const TValue &value, bool includeInDelta);
    TValue GetOptionalParam(const QString &name) const; // null when there is none
    const QList<TOptionalParam> &OptionalParams() const { return m_content.params; }
    // The engine's own packet properties ("PARAMS" attributes), raw text, in packet order.
    const QList<QPair<QString, QString>> &PacketProperties() const { return m_content.properties; }

    // --- fields ---
    int FieldCount() const { return int(m_content.fields.size()); }
    const QList<TFieldDef> &FieldDefs() const { return m_content.fields; }
    TFieldDef &FieldDef(int index) { return m_content.fields[index]; }
    TField Field(int index) { return TField(*this, index); }
    // Raises AppError when the table has no such field (names compare case-insensitively).
    TField FieldByName(const QString &name);
    std::optional<TField> FindField(const QString &name);
    int FieldIndex(const QString &name) const; // -1 when missing

    // --- filter ---
    // Parsed when set (or when the table opens); a malformed expression raises AppError and
    // keeps the previous filter.
    void SetFilter(const QString &expression);
    QString Filter() const { return m_view.filterText(); }
    void SetFiltered(bool on);
    bool Filtered() const { return m_view.filtered(); }

    // --- orderings ---
    // ";"-separated fields, each optionally followed by " DESC"; replaces a selected index.
    void SetIndexFieldNames(const QString &fields);
    QString IndexFieldNames() const { return m_view.indexFieldNames(); }
    // Adds a named index; raises AppError when the name exists or a field is unknown.
    void AddIndex(const QString &name, const QString &fields, int options);
    void DeleteIndex(const QString &name);
    const QList<TIndexDef> &IndexDefs() const { return m_view.indexDefs(); }
    bool HasIndex(const QString &name) const { return m_view.hasIndex(name); }
    // Selects a named index (empty: table order); replaces the index field names.
    void SetIndexName(const QString &name);
    QString IndexName() const { return m_view.indexName(); }

    // --- cursor ---
    void First();
    void Next();
    void Prior();
    void Last();
    // Moves by a number of rows, stopping at either end; returns how far it moved.
    int MoveBy(int distance);
    bool Eof() const { return m_view.eof(); }
    bool Bof() const { return m_view.bof(); }
    bool IsEmpty() const;
    int RecordCount() const;
    // Rows a grid shows: the visible rows and a row being inserted.
    int VisibleRowCount() const { return int(m_view.size()); }
    // Number of the current row counting from 1 in the current order; -1 when unknown.
    int RecNo() const;
    void SetRecNo(int recNo);

    // Random access for grids: the value of a field in the visible row at position pos
    // (0-based, current order), the edit buffer for the current row while editing.
    TValue ValueAt(int pos, int field) const;
    TUpdateStatus UpdateStatusAt(int pos) const;
    // Current row's position (0-based) or -1.
    int CurrentPos() const { return m_view.pos(); }

    // --- bookmarks ---
    TBookmark GetBookmark() const;
    bool BookmarkValid(const TBookmark &bookmark) const;
    // Makes the bookmarked row current; false (nothing moves) when it is no longer visible.
    bool GotoBookmark(const TBookmark &bookmark);

    // --- searches ---
    // The first visible row (current order) whose fields equal the values; makes it current.
    bool Locate(const QString &fieldNames, const QList<TValue> &values, int options = 0);
    // Moves to the first row (current order) whose first index fields equal or follow the
    // values (text values are converted from their user form). FindKey needs equality.
    void FindNearest(const QList<TValue> &values);
    bool FindKey(const QList<TValue> &values);

    // Every row of the table in table order, whatever the filter shows (rows deleted since
    // the last merge left out): calls visit with the row's values of the given fields (by
    // index), for computations over the whole table in one pass. Raises AppError for a field
    // index the table does not have.
    void ForEachRow(const QList<int> &fields,
                    const std::function<void(const TValue *values)> &visit) const;

    // --- freezing bound controls ---
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_freeze > 0; }

    // --- editing ---
    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Appends and posts a row with the given values in field order (tables built in code).
    void AppendRecord(const QList<TValue> &values);

private:
    friend class TField;
    friend QByteArray ChangeSetWithNullMarkers(const TClientTable &table);

    TValue currentValue(int field) const;
    TValue oldValue(int field) const;
    void setBufferValue(int field, const TValue &value);

    void adopt(TTableContent &&content);
    void clearAll();
    void keepFieldSettings();
    void restoreFieldSettings();
    void setPos(int pos, bool scrolled);
    void scrolled();
    void refilter();
    void reorder();
    void notify(TTableNotice notice, int field = -1);
    void checkActive() const;
    void checkBrowseMode();
    void checkCanModify() const;
    void beginInsert(bool append);
    bool findKeyRow(const TValue &key);
    // The values of a key search converted for the active index's fields (checks the state).
    QList<TValue> indexKeys(const QList<TValue> &values);
    // The first position whose leading index keys equal or follow the values.
    size_t lowerBound(const QList<TValue> &values, TTableOrder::Probe &probe);

    QString m_name;
    TableProvider *m_provider = nullptr;
    QString m_providerName;
    TTableState m_state = TTableState::Inactive;
    bool m_readOnly = false;
    TTableContent m_content;
    // The fields as they were loaded, and what the program set on fields of earlier loads
    // (by name): formats and flags that a re-read of the table keeps.
    struct KeptField {
        TFieldDef loaded, current;
    };
    QList<TFieldDef> m_loadedFields;
    QList<KeptField> m_keptFields;
    std::vector<quint32> m_tableOrder; // row ids in table order
    TChangeLog m_log{m_content, m_tableOrder};
    TTableView m_view{m_content, m_tableOrder, m_log};
    quint64 m_generation = 0;

    // edit buffer
    quint32 m_buffer = kNoRecord;       // record holding the values being edited
    quint32 m_insertAnchor = kNoRecord; // row before which an inserted row goes

    int m_freeze = 0;
    bool m_pendingNotice = false;
    bool m_activeAtFreeze = false;
    int m_nextObserverId = 1;
    QList<QPair<int, TTableObserver>> m_observers;
};
