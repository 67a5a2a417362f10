#include "data/clienttable.h"
#include "data/tableprovider.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "scriptedseam.h"
#include "tablefixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

void FillLessons(TClientTable &table) {
    FillTable(table, LessonFields(),
              {{I(1), I(7), DT(2009, 3, 3, 9), I(1), S("Eva"), F(300)},
               {I(2), I(8), DT(2009, 3, 3, 23, 30), I(2), S("adam"), F(250)},
               {I(3), I(7), DT(2009, 3, 4), I(1), S("Cyril"), F(300)},
               {I(4), I(8), DT(2009, 3, 5, 10), I(7), S("Bob"), Null()},
               {I(5), I(7), DT(2009, 3, 2, 8), I(3), S("Dana"), F(120)}});
}

// A provider that serves a packet and counts what it was asked.
class FakeProvider : public TableProvider {
public:
    QByteArray packet;
    QString failure;
    int fetches = 0, applies = 0, bound = 0;
    QByteArray FetchPacket(TClientTable &) override {
        ++fetches;
        if (!failure.isEmpty())
            throw AppError(failure);
        return packet;
    }
    void ApplyUpdates(TClientTable &table) override {
        ++applies;
        table.MergeChangeLog();
    }
    void TableBound(TClientTable &) override { ++bound; }
    void TableUnbound(TClientTable &) override { --bound; }
};

} // namespace

TEST(Cursor, WalkVisitsVisibleRowsAndStopsAtTheEnds) {
    TClientTable table;
    FillLessons(table);
    EXPECT_EQ(table.RecordCount(), 5);
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(table.RecNo(), 1);
    table.Last();
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecNo(), 5);
    table.Next();
    EXPECT_EQ(table.RecNo(), 5) << "moving past the end stays on the last row";
    table.Prior();
    EXPECT_FALSE(table.Eof());
    EXPECT_EQ(table.MoveBy(-10), -3);
    EXPECT_TRUE(table.Bof());
    table.SetRecNo(3);
    EXPECT_EQ(table.FieldByName("IDTIMETABLE").Value(), I(3));

    TClientTable empty;
    empty.CreateDataSet(LessonFields());
    EXPECT_TRUE(empty.Eof());
    EXPECT_TRUE(empty.Bof());
    EXPECT_EQ(empty.RecNo(), -1);
    EXPECT_EQ(empty.RecordCount(), 0);
    empty.Edit(); // editing an empty table inserts
    EXPECT_EQ(empty.State(), TTableState::Insert);
    EXPECT_EQ(empty.RecNo(), -1);
}

TEST(Cursor, WalkReturnsToItsBookmarkWithFilterAndOrderUnchanged) {
    TClientTable table;
    FillLessons(table);
    table.SetFilter("IDTEACHER = 7");
    table.SetFiltered(true);
    table.SetIndexFieldNames("WHENHOUR DESC");
    table.SetRecNo(2);
    const TValue current = table.FieldByName("IDTIMETABLE").Value();
    int scrolls = 0, notices = 0;
    table.AfterScroll = [&](TClientTable &) { ++scrolls; };
    table.AddObserver([&](TTableNotice, int) { ++notices; });

    // The walk as exports and record counts do it.
    const TTableEvent saved = std::exchange(table.AfterScroll, TTableEvent());
    table.DisableControls();
    const TBookmark mark = table.GetBookmark();
    int count = 0;
    for (table.First(); !table.Eof(); table.Next())
        ++count;
    EXPECT_TRUE(table.GotoBookmark(mark));
    table.EnableControls();
    table.AfterScroll = saved;

    EXPECT_EQ(count, 3);
    EXPECT_EQ(table.FieldByName("IDTIMETABLE").Value(), current);
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_EQ(table.Filter(), "IDTEACHER = 7");
    EXPECT_TRUE(table.Filtered());
    EXPECT_EQ(table.IndexFieldNames(), "WHENHOUR DESC");
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(notices, 1) << "one data-changed notice when the controls are unfrozen";

    table.Next();
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(notices, 2);
}

TEST(Cursor, BookmarksOutliveEditsButNotReloads) {
    TClientTable table;
    FillLessons(table);
    table.SetRecNo(4);
    const TBookmark mark = table.GetBookmark();
    table.First();
    table.Delete();
    table.Edit();
    table.FieldByName("NAME").SetAsString("x");
    table.Post();
    EXPECT_TRUE(table.GotoBookmark(mark));
    EXPECT_EQ(table.FieldByName("IDTIMETABLE").Value(), I(4));
    table.Delete();
    EXPECT_FALSE(table.BookmarkValid(mark));
    EXPECT_FALSE(table.GotoBookmark(mark));
    table.LoadFromBytes(table.DataPacket());
    EXPECT_FALSE(table.GotoBookmark(TBookmark{0, 0}));
}

TEST(Events, BeforeDeleteRefusingSilentlyLeavesTheRowAndShowsNothing) {
    ScriptedSeam seam;
    TClientTable table;
    FillLessons(table);
    bool afterDelete = false;
    table.BeforeDelete = [](TClientTable &) { throw SilentAbort(); };
    table.AfterDelete = [&](TClientTable &) { afterDelete = true; };
    EXPECT_FALSE(RunGuarded([&] { table.Delete(); }));
    EXPECT_EQ(table.RecordCount(), 5);
    EXPECT_EQ(table.ChangeCount(), 0);
    EXPECT_FALSE(afterDelete);
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST(Events, RefusalsLeaveTheTableInItsState) {
    const struct {
        const char *name;
        std::function<void(TClientTable &, TTableEvent)> hook;
        std::function<void(TClientTable &)> act;
        TTableState state;
    } cases[] = {
        {"before insert", [](TClientTable &t, TTableEvent e) { t.BeforeInsert = e; },
         [](TClientTable &t) { t.Insert(); }, TTableState::Browse},
        {"before edit", [](TClientTable &t, TTableEvent e) { t.BeforeEdit = e; },
         [](TClientTable &t) { t.Edit(); }, TTableState::Browse},
        {"before post", [](TClientTable &t, TTableEvent e) { t.BeforePost = e; },
         [](TClientTable &t) {
             t.Edit();
             t.FieldByName("NAME").SetAsString("z");
             t.Post();
         },
         TTableState::Edit},
    };
    for (const auto &c : cases) {
        for (bool silent : {true, false}) {
            TClientTable table;
            FillLessons(table);
            c.hook(table, [silent](TClientTable &) {
                if (silent)
                    throw SilentAbort();
                throw AppError("refused");
            });
            if (silent)
                EXPECT_THROW(c.act(table), SilentAbort) << c.name;
            else
                EXPECT_THROW(c.act(table), AppError) << c.name;
            EXPECT_EQ(table.State(), c.state) << c.name;
            EXPECT_EQ(table.RecordCount(), 5) << c.name;
            EXPECT_EQ(table.ChangeCount(), 0) << c.name;
        }
    }
}

TEST(Events, HandlersRunAroundEachAction) {
    TClientTable table;
    FillLessons(table);
    QStringList calls;
    auto log = [&calls](const char *name) {
        return [&calls, name](TClientTable &) { calls << name; };
    };
    table.BeforeInsert = log("before insert");
    table.OnNewRecord = [&calls](TClientTable &t) {
        calls << "new record";
        t.FieldByName("TIMETABLESTATUS").SetAsInteger(1);
    };
    table.AfterInsert = log("after insert");
    table.BeforeEdit = log("before edit");
    table.AfterEdit = log("after edit");
    table.BeforePost = log("before post");
    table.AfterPost = log("after post");
    table.BeforeDelete = log("before delete");
    table.AfterDelete = log("after delete");
    table.Insert();
    table.FieldByName("IDTIMETABLE").SetAsInteger(6);
    table.Post();
    table.Edit();
    table.FieldByName("NAME").SetAsString("Ivo");
    table.Post();
    table.Delete();
    EXPECT_EQ(calls, (QStringList{"before insert", "new record", "after insert", "before post",
                                  "after post", "before edit", "after edit", "before post",
                                  "after post", "before delete", "after delete"}));
    EXPECT_EQ(table.ChangeCount(), 0) << "the inserted row was deleted again";
}

TEST(Events, InsertGoesBeforeTheCurrentRowAndMovingPostsAnEdit) {
    TClientTable table;
    FillLessons(table);
    table.SetRecNo(2);
    table.Insert();
    EXPECT_EQ(table.RecordCount(), 5);
    EXPECT_EQ(table.VisibleRowCount(), 6) << "a grid shows the row being inserted";
    table.FieldByName("IDTIMETABLE").SetAsInteger(9);
    EXPECT_EQ(table.ValueAt(1, 0), I(9));
    EXPECT_EQ(table.ValueAt(2, 0), I(2));
    table.Next(); // posts
    EXPECT_EQ(Column(table, "IDTIMETABLE"), (QList<TValue>{I(1), I(9), I(2), I(3), I(4), I(5)}));
    table.First();
    table.Edit();
    table.FieldByName("NAME").SetAsString("Eve");
    table.Last();
    EXPECT_EQ(table.State(), TTableState::Browse);
    EXPECT_EQ(table.ChangeCount(), 2);
}

// What the program set on a field (formats, a flag) stays through every re-read of the table:
// a refresh, a save (which re-reads), a close and open. A field of another type does not
// take it, and a setting the program took back stays taken back.
TEST(Provider, FieldSettingsOfTheProgramSurviveRereads) {
    TClientTable source;
    FillLessons(source);
    FakeProvider provider;
    provider.packet = source.DataPacket();
    TClientTable table("cd_timetable");
    table.SetRemoteServer(&provider);
    table.Open();
    table.FieldDef(2).displayFormat = "dd.mm.yyyy hh:nn";
    table.FieldDef(5).displayFormat = "#,##0.00";
    table.FieldDef(5).editFormat = "0.00";
    table.FieldDef(4).readOnly = true;
    auto shown = [&] {
        table.First();
        return table.FieldByName("WHENHOUR").DisplayText() + " | " +
               table.FieldByName("PRICE").DisplayText();
    };
    ASSERT_EQ(shown(), "03.03.2009 09:00 | 300,00");

    table.Refresh();
    EXPECT_EQ(shown(), "03.03.2009 09:00 | 300,00") << "after a refresh";
    table.Edit();
    table.FieldByName("PRICE").SetAsFloat(310);
    table.Post();
    table.ApplyUpdates();
    table.Refresh();
    EXPECT_EQ(shown(), "03.03.2009 09:00 | 300,00") << "after a save and re-read";
    table.Close();
    table.Open();
    EXPECT_EQ(shown(), "03.03.2009 09:00 | 300,00") << "after close and open";
    EXPECT_EQ(table.FieldDefs()[5].editFormat, "0.00");
    EXPECT_TRUE(table.FieldDefs()[4].readOnly);

    table.FieldDef(2).displayFormat.clear();
    table.Refresh();
    EXPECT_EQ(shown(), "3.3.2009 9:00:00 | 300,00") << "a format taken back stays away";

    TClientTable other; // PRICE as text: the number format is not for it
    FillTable(other,
              {MakeField("IDTIMETABLE", TFieldType::I4), MakeField("PRICE", TFieldType::String, 9)},
              {{I(1), S("300")}});
    provider.packet = other.DataPacket();
    table.Refresh();
    EXPECT_EQ(table.FieldByName("PRICE").DisplayText(), "300");
    table.SetRemoteServer(nullptr);
}

TEST(Provider, OpenRefreshAndApplyGoThroughTheProvider) {
    TClientTable source;
    FillLessons(source);
    FakeProvider provider;
    provider.packet = source.DataPacket(TPacketEncoding::SingleByte);
    TClientTable table("cd_timetable");
    table.SetRemoteServer(&provider);
    EXPECT_EQ(provider.bound, 1);
    table.Open();
    EXPECT_EQ(table.RecordCount(), 5);
    EXPECT_EQ(table.ApplyUpdates(0), 0);
    EXPECT_EQ(provider.applies, 0) << "nothing to apply, nothing sent";

    // Refresh keeps the current row by its key even when the row moved.
    table.SetRecNo(4);
    source.First();
    source.Delete();
    source.MergeChangeLog();
    provider.packet = source.DataPacket();
    table.Refresh();
    EXPECT_EQ(table.FieldByName("IDTIMETABLE").Value(), I(4));
    EXPECT_EQ(table.RecordCount(), 4);

    table.Edit();
    table.FieldByName("NAME").SetAsString("Hana");
    table.Post();
    EXPECT_THROW(table.Refresh(), AppError) << "pending changes are not thrown away";
    table.ApplyUpdates(0);
    EXPECT_EQ(provider.applies, 1);
    EXPECT_EQ(table.ChangeCount(), 0);

    provider.failure = "server down";
    EXPECT_THROW(table.Refresh(), AppError);
    EXPECT_EQ(table.RecordCount(), 4) << "a failed fetch leaves the table as it was";
    table.Close();
    EXPECT_THROW(table.Open(), AppError);
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(provider.fetches, 4);
    table.SetRemoteServer(nullptr);
    EXPECT_EQ(provider.bound, 0);
}
