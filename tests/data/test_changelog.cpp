#include "data/clienttable.h"
#include "data/nullmarkers.h"
#include "errors/apperror.h"
#include "tablefixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

QList<TFieldDef> PersonFields() {
    return {MakeField("ID", TFieldType::I4), MakeField("NAME", TFieldType::String, 20),
            MakeField("PHONE", TFieldType::String, 20), MakeField("HOURS", TFieldType::I4)};
}

void FillPeople(TClientTable &table) {
    FillTable(table, PersonFields(),
              {{I(1), S("Ann"), Null(), I(2)},
               {I(2), S("Bob"), S("555"), I(5)},
               {I(3), S("Cyril"), Null(), I(1)}});
}

void EditRow(TClientTable &table, int id, const QList<QPair<QString, TValue>> &values) {
    ASSERT_TRUE(table.Locate("ID", {I(id)}));
    table.Edit();
    for (const auto &[name, value] : values)
        table.FieldByName(name).SetValue(value);
    table.Post();
}

std::string Delta(const TClientTable &table) {
    return ChangeSetWithNullMarkers(table).toStdString();
}

} // namespace

TEST(ChangeLog, ChangeSetWithInsertDeleteAndNullingEditMatchesTheGoldenFile) {
    TClientTable table;
    FillPeople(table);
    EditRow(table, 2, {{"PHONE", Null()}, {"HOURS", I(7)}});
    ASSERT_TRUE(table.Locate("ID", {I(3)}));
    table.Delete();
    table.Append();
    table.FieldByName("ID").SetAsInteger(4);
    table.FieldByName("NAME").SetAsString(QString::fromUtf8("Nový"));
    table.Post();

    EXPECT_EQ(table.ChangeCount(), 3);
    const QByteArray golden = FixtureBytes("changeset.xml");
    EXPECT_EQ(ChangeSetWithNullMarkers(table), golden);
    QByteArray plain = golden;
    plain.replace("><PARAM Name=\"NULLSINREC_2\" Value=\"PHONE\"/></PARAMS>", "/>");
    EXPECT_EQ(table.Delta(), plain);

    // Read back, a change set shows the rows its writer had, with its changes pending: the
    // modified row with the old values, the changed value and the null of its marker, the
    // inserted row, and no deleted row.
    TClientTable scratch;
    scratch.LoadFromBytes(golden);
    EXPECT_EQ(Column(scratch, "ID"), IdList({2, 4}));
    EXPECT_EQ(Column(scratch, "NAME"), (QList<TValue>{S("Bob"), S(QString::fromUtf8("Nový"))}));
    EXPECT_EQ(Column(scratch, "PHONE"), (QList<TValue>{Null(), Null()}));
    EXPECT_EQ(Column(scratch, "HOURS"), (QList<TValue>{I(7), Null()}));
    EXPECT_EQ(scratch.ChangeCount(), 3);
    EXPECT_EQ(scratch.Delta(), plain);
    EXPECT_EQ(ChangeSetWithNullMarkers(scratch), golden);
}

// A packet with row states, as a peer writes it: a row of old values before its modified row,
// a deleted row, an inserted row. It loads as its writer's current rows; with its change log
// the changes are pending, without it the rows keep their states as marks only.
TEST(ChangeLog, PacketWithRowStatesLoadsAsItsCurrentRows) {
    const QByteArray fixture = FixtureBytes("rowstates.xml");
    ASSERT_FALSE(fixture.isEmpty());
    TClientTable table;
    table.LoadFromBytes(fixture);
    EXPECT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(Column(table, "ID"), IdList({1, 2, 4, 5}));
    EXPECT_EQ(Column(table, "HOURS"), (QList<TValue>{I(2), I(7), Null(), I(3)}));
    EXPECT_EQ(Column(table, "PHONE"), (QList<TValue>{Null(), Null(), Null(), Null()}));
    EXPECT_EQ(table.ChangeCount(), 3);
    ASSERT_TRUE(table.Locate("ID", {I(2)}));
    EXPECT_EQ(table.UpdateStatus(), TUpdateStatus::Modified);
    EXPECT_EQ(table.FieldByName("PHONE").OldValue(), S("555"));

    // The same rows and edits made here write the same packet, which loads again as 4 rows.
    TClientTable own;
    FillTable(own, PersonFields(),
              {{I(1), S("Ann"), Null(), I(2)},
               {I(2), S("Bob"), S("555"), I(5)},
               {I(3), S("Cyril"), Null(), I(1)},
               {I(5), S("Eva"), Null(), I(3)}});
    EditRow(own, 2, {{"PHONE", Null()}, {"HOURS", I(7)}});
    ASSERT_TRUE(own.Locate("ID", {I(3)}));
    own.Delete();
    ASSERT_TRUE(own.Locate("ID", {I(5)}));
    own.Insert();
    own.FieldByName("ID").SetAsInteger(4);
    own.FieldByName("NAME").SetAsString(QString::fromUtf8("Nový"));
    own.Post();
    EXPECT_EQ(own.DataPacket(), fixture);
    EXPECT_EQ(table.Delta(), own.Delta());
    EXPECT_EQ(table.DataPacket(), fixture);

    EXPECT_TRUE(table.UndoLastChange()) << "the insert";
    EXPECT_TRUE(table.UndoLastChange()) << "the delete";
    EXPECT_EQ(Column(table, "ID"), IdList({1, 2, 3, 5}));
    table.CancelUpdates();
    EXPECT_EQ(Column(table, "HOURS"), (QList<TValue>{I(2), I(5), I(1), I(3)}));

    // Without its change log the rows are taken as they are.
    TClientTable marked;
    marked.LoadFromBytes(QByteArray(fixture).replace(" CHANGE_LOG=\"3 2 8 4 0 2 5 0 4\"", ""));
    EXPECT_EQ(Column(marked, "ID"), IdList({1, 2, 4, 5}));
    EXPECT_EQ(Column(marked, "HOURS"), (QList<TValue>{I(2), I(7), Null(), I(3)}));
    EXPECT_EQ(marked.ChangeCount(), 0);
    EXPECT_TRUE(marked.Delta().isEmpty());
    ASSERT_TRUE(marked.Locate("ID", {I(4)}));
    EXPECT_EQ(marked.UpdateStatus(), TUpdateStatus::Inserted);
}

// The change log of a full packet names each change as a triple (the row, the row it replaces,
// its state), as other readers of packets expect: the modified row 3 replaces the old values
// in row 2. A packet of the earlier form, the positions of the changed rows, loads with the
// same rows and changes and is written back in triples.
TEST(ChangeLog, ChangeLogIsWrittenAsTriplesAndReadInBothForms) {
    const QByteArray triples = FixtureBytes("rowstates.xml");
    const QByteArray positions = FixtureBytes("rowstates_positions.xml");
    ASSERT_THAT(triples.toStdString(), HasSubstr("CHANGE_LOG=\"3 2 8 4 0 2 5 0 4\""));
    ASSERT_THAT(positions.toStdString(), HasSubstr("CHANGE_LOG=\"2 3 4 5\""));
    TClientTable fromTriples, fromPositions;
    fromTriples.LoadFromBytes(triples);
    fromPositions.LoadFromBytes(positions);
    for (TClientTable *table : {&fromTriples, &fromPositions}) {
        EXPECT_EQ(Column(*table, "ID"), IdList({1, 2, 4, 5}));
        EXPECT_EQ(table->ChangeCount(), 3);
        EXPECT_EQ(table->Delta(), fromTriples.Delta());
        EXPECT_EQ(table->DataPacket(), triples);
    }
}

TEST(ChangeLog, DamagedRowStatesAreAClearError) {
    const QByteArray head =
        "<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"ID\" fieldtype=\"i4\"/><FIELD attrname=\"N\" fieldtype=\"i4\"/>"
        "</FIELDS><PARAMS";
    const struct {
        QByteArray params, rows;
        const char *message;
    } cases[] = {
        {"/>", "<ROW RowState=\"1\" ID=\"1\" N=\"1\"/>", "row 1 holds old values"},
        {"/>", "<ROW RowState=\"1\" ID=\"1\"/><ROW RowState=\"4\" ID=\"2\"/>",
         "row 1 holds old values"},
        {" DATASET_DELTA=\"TRUE\"/>", "<ROW RowState=\"8\" N=\"2\"/>", "row 1 holds changes"},
        {" CHANGE_LOG=\"1 0 4 9 0 4\"/>", "<ROW RowState=\"4\" ID=\"1\"/>", "names row 9"},
        {" CHANGE_LOG=\"2 3\"/>", "<ROW RowState=\"4\" ID=\"1\"/>", "names row 2"},
        {" CHANGE_LOG=\"1 0 8\"/>", "<ROW RowState=\"4\" ID=\"1\"/>", "the state 8"},
        {" CHANGE_LOG=\"1 x\"/>", "<ROW RowState=\"4\" ID=\"1\"/>", "not a number"},
    };
    for (const auto &c : cases) {
        TClientTable table;
        try {
            table.LoadFromBytes(head + c.params + "</METADATA><ROWDATA>" + c.rows +
                                "</ROWDATA></DATAPACKET>");
            ADD_FAILURE() << c.rows.toStdString();
        } catch (const AppError &e) {
            EXPECT_THAT(e.message().toStdString(), HasSubstr(c.message));
            EXPECT_FALSE(table.Active());
        }
    }
}

TEST(ChangeLog, ChangeCountCountsEachChangedRowOnce) {
    const struct {
        const char *name;
        std::function<void(TClientTable &)> act;
        int count;
    } cases[] = {
        {"nothing", [](TClientTable &) {}, 0},
        {"two edits of a row",
         [](TClientTable &t) {
             EditRow(t, 1, {{"HOURS", I(3)}});
             EditRow(t, 1, {{"HOURS", I(4)}});
         },
         1},
        {"post without change",
         [](TClientTable &t) {
             t.Edit();
             t.Post();
         },
         0},
        {"insert then edit",
         [](TClientTable &t) {
             t.AppendRecord({I(9)});
             EditRow(t, 9, {{"NAME", S("x")}});
         },
         1},
        {"insert then delete",
         [](TClientTable &t) {
             t.AppendRecord({I(9)});
             t.Delete();
         },
         0},
        {"edit then delete",
         [](TClientTable &t) {
             EditRow(t, 2, {{"HOURS", I(0)}});
             t.Delete();
         },
         1},
        {"edit, delete, insert",
         [](TClientTable &t) {
             EditRow(t, 1, {{"HOURS", I(0)}});
             t.Last();
             t.Delete();
             t.AppendRecord({I(9)});
         },
         3},
    };
    for (const auto &c : cases) {
        TClientTable table;
        FillPeople(table);
        c.act(table);
        EXPECT_EQ(table.ChangeCount(), c.count) << c.name;
        EXPECT_EQ(table.Delta().isEmpty(), c.count == 0) << c.name;
        EXPECT_EQ(ChangeSetWithNullMarkers(table).isEmpty(), c.count == 0) << c.name;
    }
}

TEST(ChangeLog, EditThenDeleteSendsTheOriginalValues) {
    TClientTable table;
    FillPeople(table);
    EditRow(table, 2, {{"NAME", S("Robert")}});
    table.Delete();
    EXPECT_THAT(
        table.Delta().toStdString(),
        HasSubstr(
            "<ROW RowState=\"2\" ID=\"2\" NAME=\"Bob\" PHONE=\"555\" HOURS=\"5\"/></ROWDATA>"));
}

TEST(ChangeLog, ThreeReadingsOfAField) {
    TClientTable table;
    FillPeople(table);
    EditRow(table, 1, {{"PHONE", S("777")}, {"HOURS", Null()}});
    TField phone = table.FieldByName("PHONE"), hours = table.FieldByName("HOURS");
    EXPECT_EQ(phone.OldValue(), Null());
    EXPECT_EQ(phone.NewValue(), S("777"));
    EXPECT_EQ(hours.OldValue(), I(2));
    EXPECT_EQ(hours.Value(), Null());
    EXPECT_EQ(table.UpdateStatus(), TUpdateStatus::Modified);

    table.Next(); // unchanged: old reading is the current value
    EXPECT_EQ(table.FieldByName("HOURS").OldValue(), I(5));
    table.Edit();
    table.FieldByName("HOURS").SetAsInteger(6);
    EXPECT_EQ(table.FieldByName("HOURS").OldValue(), I(5))
        << "while editing, old is the stored value";
    EXPECT_EQ(table.FieldByName("HOURS").Value(), I(6));
    table.Cancel();
    EXPECT_EQ(table.FieldByName("HOURS").Value(), I(5));

    table.AppendRecord({I(8)});
    EXPECT_EQ(table.FieldByName("ID").OldValue(), Null()) << "an inserted row has no old values";
}

TEST(ChangeLog, UndoRevertsOneChangeAtATime) {
    TClientTable table;
    FillPeople(table);
    EditRow(table, 2, {{"HOURS", I(9)}});
    ASSERT_TRUE(table.Locate("ID", {I(1)}));
    table.Delete();
    table.AppendRecord({I(4), S("Dan")});

    EXPECT_TRUE(table.UndoLastChange()); // the insert
    EXPECT_EQ(Column(table, "ID"), (QList<TValue>{I(2), I(3)}));
    EXPECT_TRUE(table.UndoLastChange()); // the delete: the row returns to its place
    EXPECT_EQ(Column(table, "ID"), (QList<TValue>{I(1), I(2), I(3)}));
    EXPECT_EQ(table.ChangeCount(), 1);
    EXPECT_TRUE(table.UndoLastChange()); // the edit
    EXPECT_EQ(Column(table, "HOURS"), (QList<TValue>{I(2), I(5), I(1)}));
    EXPECT_EQ(table.ChangeCount(), 0);
    EXPECT_FALSE(table.UndoLastChange());
}

TEST(ChangeLog, CancelUpdatesRestoresTheLoadedState) {
    TClientTable table;
    FillPeople(table);
    table.SetIndexFieldNames("NAME DESC");
    const QByteArray before = table.DataPacket();
    EditRow(table, 1, {{"NAME", S("Zed")}});
    EditRow(table, 1, {{"HOURS", Null()}});
    table.Last();
    table.Delete();
    table.AppendRecord({I(4), S("Dan")});
    table.CancelUpdates();
    EXPECT_EQ(table.ChangeCount(), 0);
    EXPECT_EQ(table.DataPacket(), before);
    EXPECT_EQ(Column(table, "NAME"), (QList<TValue>{S("Cyril"), S("Bob"), S("Ann")}));
}

TEST(ChangeLog, MergeMakesCurrentValuesTheOldValues) {
    TClientTable table;
    FillPeople(table);
    EditRow(table, 1, {{"HOURS", I(3)}});
    table.Last();
    table.Delete();
    table.MergeChangeLog();
    EXPECT_EQ(table.ChangeCount(), 0);
    EXPECT_TRUE(table.Delta().isEmpty());
    ASSERT_TRUE(table.Locate("ID", {I(1)}));
    EXPECT_EQ(table.FieldByName("HOURS").OldValue(), I(3));
    EXPECT_EQ(table.UpdateStatus(), TUpdateStatus::Unchanged);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_FALSE(table.UndoLastChange());
    EXPECT_THAT(table.DataPacket().toStdString(), Not(HasSubstr("RowState")));
}

TEST(ChangeLog, NullMarkersNameOnlyFieldsChangedToNull) {
    const struct {
        const char *name;
        int id;
        QList<QPair<QString, TValue>> edit;
        const char *marker; // nullptr: no marker
    } cases[] = {
        {"one nulled, one changed",
         2,
         {{"PHONE", Null()}, {"HOURS", I(6)}},
         "<PARAM Name=\"NULLSINREC_2\" Value=\"PHONE\"/>"},
        {"two nulled, in field order",
         2,
         {{"HOURS", Null()}, {"NAME", Null()}},
         "<PARAM Name=\"NULLSINREC_2\" Value=\"NAME;HOURS\"/>"},
        {"null to value", 1, {{"PHONE", S("1")}}, nullptr},
    };
    for (const auto &c : cases) {
        TClientTable table;
        FillPeople(table);
        EditRow(table, c.id, c.edit);
        if (c.marker)
            EXPECT_THAT(Delta(table), HasSubstr(c.marker)) << c.name;
        else
            EXPECT_THAT(Delta(table), Not(HasSubstr("NULLSINREC"))) << c.name;
    }

    // A field that was null and stays null is never named; inserted and deleted rows get none.
    TClientTable table;
    FillPeople(table);
    EditRow(table, 1, {{"HOURS", I(9)}});
    table.AppendRecord({I(4), S("New")});
    ASSERT_TRUE(table.Locate("ID", {I(3)}));
    table.Delete();
    EXPECT_THAT(Delta(table), Not(HasSubstr("NULLSINREC")));
}

TEST(ChangeLog, NullMarkersReachRowsTheFilterHidesAndRowsWithAnEditedKey) {
    TClientTable table;
    FillPeople(table);
    table.SetFilter("HOURS > 0");
    table.SetFiltered(true);
    EditRow(table, 2, {{"HOURS", Null()}}); // the row leaves the filter
    EXPECT_EQ(table.RecordCount(), 2);
    EditRow(table, 1, {{"ID", I(10)}, {"NAME", Null()}});
    const std::string delta = Delta(table);
    EXPECT_THAT(delta, HasSubstr("<PARAM Name=\"NULLSINREC_2\" Value=\"HOURS\"/>"));
    EXPECT_THAT(delta, HasSubstr("<PARAM Name=\"NULLSINREC_1\" Value=\"NAME\"/>"));
}

TEST(ChangeLog, OnlyRoundTripParametersTravelInChangeSets) {
    TClientTable table;
    FillPeople(table);
    table.SetOptionalParam("KEEP", S("a"), true);
    table.SetOptionalParam("LOCAL", I(5), false);
    EditRow(table, 1, {{"HOURS", I(3)}});
    const std::string delta = table.Delta().toStdString();
    EXPECT_THAT(delta, HasSubstr("<PARAM Name=\"KEEP\" Value=\"a\" Roundtrip=\"True\"/>"));
    EXPECT_THAT(delta, Not(HasSubstr("LOCAL")));
    EXPECT_THAT(table.DataPacket().toStdString(),
                HasSubstr("<PARAM Name=\"LOCAL\" Value=\"5\" Type=\"i4\"/>"));
}

TEST(ChangeLog, UserTextIsCheckedWithTheStandardTexts) {
    TClientTable table;
    FillTable(table, LessonFields(), {{I(1)}});
    table.Edit();
    try {
        table.FieldByName("WHENHOUR").SetAsString("31.2.2009");
        FAIL() << "an invalid date was accepted";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "'31.2.2009' is not a valid date");
    }
    try {
        table.FieldByName("PRICE").SetAsString("12x");
        FAIL() << "an invalid number was accepted";
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "'12x' is not a valid floating point value for field 'PRICE'");
    }
    table.FieldByName("WHENHOUR").SetAsString("3.3.2009 23:30");
    table.FieldByName("PRICE").SetAsString("1 250,5");
    EXPECT_EQ(table.FieldByName("WHENHOUR").Value(), DT(2009, 3, 3, 23, 30));
    EXPECT_EQ(table.FieldByName("WHENHOUR").AsString(), "3.3.2009 23:30:00");
    EXPECT_EQ(table.FieldByName("PRICE").Value(), F(1250.5));
    EXPECT_EQ(table.FieldByName("PRICE").AsString(), "1250,5");
}

// A whole number that its field's type cannot hold is refused when it is set, so that no
// packet is written that neither the server nor this client could read back.
TEST(ChangeLog, IntegersOutsideTheFieldTypeAreRefused) {
    const struct {
        TFieldType type;
        TValue value;
        bool fits;
    } cases[] = {
        {TFieldType::I1, I(-128), true},        {TFieldType::I1, I(128), false},
        {TFieldType::UI1, I(255), true},        {TFieldType::UI1, I(-1), false},
        {TFieldType::I2, S("-32768"), true},    {TFieldType::I2, S("70000"), false},
        {TFieldType::UI2, F(65536), false},     {TFieldType::I4, I(2147483647), true},
        {TFieldType::I4, I(2147483648), false}, {TFieldType::UI4, I(4294967295), true},
        {TFieldType::UI4, I(-5), false},        {TFieldType::I8, I(-5000000000), true},
        {TFieldType::UI8, I(-1), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(FieldTypeName(c.type).toStdString() + " " + c.value.toText().toStdString());
        TClientTable table;
        FillTable(table, {MakeField("ID", TFieldType::I4), MakeField("N", c.type)}, {{I(1), I(0)}});
        table.Edit();
        try {
            table.FieldByName("N").SetValue(c.value);
            EXPECT_TRUE(c.fits) << "an out-of-range value was accepted";
        } catch (const AppError &e) {
            EXPECT_FALSE(c.fits) << e.message().toStdString();
            EXPECT_THAT(e.message().toStdString(), HasSubstr("field 'N'"));
        }
        table.Post();
        TClientTable reloaded;
        EXPECT_NO_THROW(reloaded.LoadFromBytes(table.DataPacket()));
    }
}
