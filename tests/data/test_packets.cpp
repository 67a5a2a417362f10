#include "data/clienttable.h"
#include "wire/packetframing.h"
#include "wire/packetreader.h"
#include "wire/packetwriter.h"
#include "errors/apperror.h"
#include "tablefixture.h"

#include <QBuffer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace {

QByteArray Packet(const QByteArray &fields, const QByteArray &rows,
                  const QByteArray &params = "<PARAMS/>") {
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET "
           "Version=\"2.0\"><METADATA><FIELDS>" +
           fields + "</FIELDS>" + params + "</METADATA><ROWDATA>" + rows +
           "</ROWDATA></DATAPACKET>";
}

const QByteArray kIdName = "<FIELD attrname=\"ID\" fieldtype=\"i4\"/><FIELD attrname=\"NAME\" "
                           "fieldtype=\"string\" WIDTH=\"20\"/>";

QString LoadError(const QByteArray &packet) {
    TClientTable table;
    try {
        table.LoadFromBytes(packet);
    } catch (const AppError &e) {
        EXPECT_FALSE(table.Active()) << "a failed load leaves the table closed";
        return e.message();
    }
    return QString();
}

} // namespace

TEST(Packets, EveryFieldTypeRoundTripsByteExactInBothEncodings) {
    const QByteArray single = FixtureBytes("alltypes_1250.xml");
    const QByteArray utf8 = FixtureBytes("alltypes_utf8.xml");
    ASSERT_FALSE(single.isEmpty());
    ASSERT_FALSE(utf8.isEmpty());
    for (const QByteArray &source : {single, utf8}) {
        TClientTable table;
        table.LoadFromBytes(source);
        EXPECT_EQ(table.DataPacket(TPacketEncoding::SingleByte), single);
        EXPECT_EQ(table.DataPacket(TPacketEncoding::Utf8), utf8);
    }
}

TEST(Packets, ValuesReadAsTheirTypes) {
    TClientTable table;
    table.LoadFromBytes(FixtureBytes("alltypes_1250.xml"));
    ASSERT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.FieldByName("TINY").Value(), I(-128));
    EXPECT_EQ(table.FieldByName("UINT").Value(), I(4294967295LL));
    EXPECT_EQ(table.FieldByName("BIG").Value(), I(std::numeric_limits<qint64>::min()));
    EXPECT_EQ(table.FieldByName("AMOUNT").Value(), F(1234.5));
    EXPECT_EQ(table.FieldByName("ACTIVE").Value(), B(true));
    EXPECT_EQ(table.FieldByName("BORN").Value(), DT(1999, 12, 31));
    EXPECT_EQ(table.FieldByName("STARTS").Value().toQDateTime().time(), QTime(8, 5, 7, 250));
    EXPECT_EQ(table.FieldByName("WHENHOUR").Value(), DT(2009, 3, 3, 23, 30));
    EXPECT_EQ(table.FieldByName("NAME").Value(), S("Ann O'Neil & \"Syn\" <a\\b>\r\nline\ttab"));
    EXPECT_EQ(table.FieldByName("NAME_L").Value(), S(QString::fromUtf8("Žluťoučký kůň Ω")));
    EXPECT_EQ(table.FieldByName("PHOTO").Value(),
              TValue::FromBytes(QByteArray("\x00\x01\x02\xfa\xff\n\r", 7)));
    EXPECT_EQ(table.FieldByName("NOTE").Value(), S(QString::fromUtf8("Poznámka\r\nřádek 2")));
    EXPECT_EQ(table.GetOptionalParam("LIMIT"), I(250));
    EXPECT_EQ(table.OptionalParams()[0].roundTrip, true);
    EXPECT_TRUE(table.FieldDefs()[17].readOnly);
    EXPECT_EQ(table.FieldDefs()[9].decimals, 2);
    EXPECT_EQ(table.FieldDefs()[8].subtype, "Money");

    table.Next();
    EXPECT_EQ(table.UpdateStatus(), TUpdateStatus::Inserted) << "RowState 4 read back";
    EXPECT_TRUE(table.FieldByName("TINY").IsNull());
    EXPECT_EQ(table.FieldByName("NAME").Value(), S("")) << "an empty text is not null";
}

TEST(Packets, DateTimeFormsOmitMidnightAndKeepMilliseconds) {
    const struct {
        TValue value;
        const char *text;
    } cases[] = {
        {DT(2009, 3, 4), "WHEN=\"20090304\""},
        {DT(2009, 3, 4, 0, 0, 0, 1), "WHEN=\"20090304T00:00:00001\""},
        {DT(2009, 3, 3, 23, 30, 15, 500), "WHEN=\"20090303T23:30:15500\""},
        {DT(1969, 12, 31, 23, 59, 59, 999), "WHEN=\"19691231T23:59:59999\""},
    };
    for (const auto &c : cases) {
        TClientTable table;
        FillTable(table, {MakeField("WHEN", TFieldType::DateTime)}, {{c.value}});
        const QByteArray packet = table.DataPacket();
        EXPECT_THAT(packet.toStdString(), HasSubstr(c.text));
        TClientTable back;
        back.LoadFromBytes(packet);
        EXPECT_EQ(back.Field(0).Value(), c.value) << c.text;
    }
}

TEST(Packets, EscapesRoundTripAndLooseEntitiesDecode) {
    const QString text = QStringLiteral("it's A&B \\ path\r\nnext\t\"q\" <x>");
    TClientTable table;
    FillTable(table, {MakeField("T", TFieldType::String, 100)}, {{S(text)}});
    const QByteArray packet = table.DataPacket(TPacketEncoding::SingleByte);
    EXPECT_THAT(
        packet.toStdString(),
        HasSubstr(
            "T=\"it&apos;s A&amp;B &#092; path&#013;&#010;next&#009;&quot;q&quot; &lt;x&gt;\""));
    TClientTable back;
    back.LoadFromBytes(packet);
    EXPECT_EQ(back.Field(0).Value(), S(text));

    // Other writers' forms: hexadecimal references, single quotes, raw line breaks as blanks.
    back.LoadFromBytes(Packet(kIdName, "<ROW ID='1' NAME='a&#x10D;&#269;\"b\r\nc'/>"));
    EXPECT_EQ(back.Field(1).Value(), S(QString::fromUtf8("ačč\"b c")));
}

TEST(Packets, DeclarationChoosesTheEncoding) {
    const QByteArray name = QByteArray("\xe8\x61", 2); // "ča" in Windows-1250
    TClientTable table;
    table.LoadFromBytes(Packet(kIdName, "<ROW ID=\"1\" NAME=\"" + name + "\"/>"));
    EXPECT_EQ(table.Field(1).Value(), S(QString::fromUtf8("ča")));

    QByteArray utf8 = Packet(kIdName, "<ROW ID=\"1\" NAME=\"\xc4\x8d"
                                      "a\"/>");
    utf8.replace("version=\"1.0\"", "version=\"1.0\" encoding=\"UTF-8\"");
    table.LoadFromBytes(utf8);
    EXPECT_EQ(table.Field(1).Value(), S(QString::fromUtf8("ča")));

    // Names of packet properties are read in the packet's encoding and written back in it.
    const QByteArray property = QByteArray("\xe8\x61", 2); // "ča" in Windows-1250
    table.LoadFromBytes(Packet(kIdName, "", "<PARAMS " + property + "=\"1\"/>"));
    ASSERT_EQ(table.PacketProperties().size(), 1);
    EXPECT_EQ(table.PacketProperties()[0].first, QString::fromUtf8("ča"));
    TClientTable reread;
    reread.LoadFromBytes(table.DataPacket());
    EXPECT_EQ(reread.PacketProperties(), table.PacketProperties());
    // A name the single-byte encoding lacks is refused there, not written as "?".
    QByteArray wide = Packet(kIdName, "", "<PARAMS PRIMARY\xe4\xb8\xad_KEY=\"1\"/>");
    wide.replace("version=\"1.0\"", "version=\"1.0\" encoding=\"UTF-8\"");
    table.LoadFromBytes(wide);
    EXPECT_THROW(table.DataPacket(TPacketEncoding::SingleByte), AppError);
    reread.LoadFromBytes(table.DataPacket(TPacketEncoding::Utf8));
    EXPECT_EQ(reread.PacketProperties()[0].first, QString::fromUtf8("PRIMARY中_KEY"));

    // Text that is already decoded keeps its characters whatever the declaration says.
    table.LoadFromText(QString::fromUtf8(Packet(kIdName, "<ROW ID=\"1\" NAME=\"\xc5\xbe\"/>")));
    EXPECT_EQ(table.Field(1).Value(), S(QString::fromUtf8("ž")));
}

TEST(Packets, BadInputIsAClearErrorAndLeavesTheTableClosed) {
    const QByteArray good = Packet(kIdName, "<ROW ID=\"1\" NAME=\"a\"/><ROW ID=\"2\" NAME=\"b\"/>");
    const struct {
        QByteArray packet;
        const char *message;
    } cases[] = {
        {QByteArray(), "empty"},
        {good.left(good.size() - 30), "incomplete"},
        {good.left(good.indexOf("<ROW ID=\"2\"") + 8), "incomplete"},
        {good.left(good.indexOf("<ROWDATA>")), "incomplete"},
        {QByteArray(good).replace("DATAPACKET", "PACKET"), "root element is not DATAPACKET"},
        {"not xml at all", "root element is not DATAPACKET"},
        {Packet("<FIELD attrname=\"X\" fieldtype=\"money\"/>", ""), "unknown type \"money\""},
        {Packet("<FIELD attrname=\"X\" fieldtype=\"nested\"/>", ""), "nested"},
        {Packet("", ""), "no fields"},
        {Packet("<FIELD attrname=\"RowState\" fieldtype=\"i4\"/>", "<ROW RowState=\"4\"/>"),
         "reserved name \"RowState\""},
        {Packet("<FIELD attrname=\"FULL NAME\" fieldtype=\"i4\"/>", ""), "cannot be written"},
        {Packet("<FIELD attrname=\"A&quot;B\" fieldtype=\"i4\"/>", ""), "cannot be written"},
        {Packet("<FIELD attrname=\"1X\" fieldtype=\"i4\"/>", ""), "cannot be written"},
        {Packet(kIdName, "<ROW ID=\"x1\"/>"), "\"x1\" is not a valid i4 value for field \"ID\""},
        {Packet(kIdName, "<ROW ID=\"4294967296\"/>"), "not a valid i4"},
        {Packet("<FIELD attrname=\"D\" fieldtype=\"date\"/>", "<ROW D=\"20090230\"/>"),
         "not a valid date"},
        {Packet("<FIELD attrname=\"D\" fieldtype=\"dateTime\"/>",
                "<ROW D=\"20090301T25:00:00000\"/>"),
         "not a valid dateTime"},
        {Packet("<FIELD attrname=\"B\" fieldtype=\"boolean\"/>", "<ROW B=\"yes\"/>"),
         "not a valid boolean"},
        {Packet("<FIELD attrname=\"P\" fieldtype=\"bin.hex\"/>", "<ROW P=\"@@@\"/>"),
         "not a valid bin.hex"},
        {Packet(kIdName, "<ROW ID=\"1\" NAMES=\"a\"/>"), "\"NAMES\", which names no field"},
        {Packet(kIdName, "<ROW ID=\"1\" NAME=\"a&bogus;\"/>"),
         "not a valid string value for field \"NAME\""},
        {Packet(kIdName, "<ROW ID=\"1\"><X/></ROW>"), "nested content"},
        {Packet(kIdName, "<RECORD ID=\"1\"/>"), "element \"RECORD\""},
        {good + "<extra/>", "content after ROWDATA"},
        {Packet(kIdName, "<ROW ID=\"1\" NAME=\"a\" ID=\"2\"/>"), "\"ID\" twice"},
        {Packet(kIdName, "<ROW RowState=\"4\" ID=\"1\" RowState=\"2\"/>"), "\"RowState\" twice"},
        {Packet(kIdName + "<FIELD attrname=\"Name\" fieldtype=\"i4\"/>", ""),
         "fields \"NAME\" and \"Name\" differ only in letter case"},
    };
    for (const auto &c : cases)
        EXPECT_THAT(LoadError(c.packet).toStdString(), HasSubstr(c.message))
            << c.packet.left(300).toStdString();
}

// ui8 takes the whole unsigned 64-bit range: read, shown, ordered, edited and written back.
TEST(Packets, UnsignedEightByteValuesKeepTheirFullRange) {
    const QByteArray fields = "<FIELD attrname=\"ID\" fieldtype=\"i4\"/>"
                              "<FIELD attrname=\"U\" fieldtype=\"ui8\"/>";
    const QByteArray rows = "<ROW ID=\"1\" U=\"18446744073709551615\"/>"
                            "<ROW ID=\"2\" U=\"9223372036854775808\"/><ROW ID=\"3\" U=\"0\"/>";
    const QByteArray packet = Packet(fields, rows);
    TClientTable table;
    table.LoadFromBytes(packet);
    EXPECT_EQ(table.FieldByName("U").Value(), TValue::FromUnsigned(18446744073709551615ULL));
    EXPECT_EQ(table.FieldByName("U").AsString(), "18446744073709551615");
    EXPECT_EQ(table.DataPacket(TPacketEncoding::SingleByte), packet);

    table.SetIndexFieldNames("U");
    EXPECT_EQ(Column(table, "ID"), IdList({3, 2, 1}));
    table.SetFilter("U > 9223372036854775807");
    table.SetFiltered(true);
    EXPECT_EQ(Column(table, "ID"), IdList({2, 1}));
    table.SetFiltered(false);
    EXPECT_TRUE(table.Locate("U", {S("18446744073709551615")}));
    EXPECT_EQ(table.FieldByName("ID").Value(), I(1));

    table.Edit();
    EXPECT_THROW(table.FieldByName("U").SetAsString("-1"), AppError);
    EXPECT_THROW(table.FieldByName("U").SetAsString("18446744073709551616"), AppError);
    table.FieldByName("U").SetAsString("18446744073709551614");
    table.Post();
    EXPECT_THAT(table.Delta().toStdString(), HasSubstr("U=\"18446744073709551614\""));

    EXPECT_THAT(
        LoadError(Packet(fields, "<ROW ID=\"1\" U=\"18446744073709551616\"/>")).toStdString(),
        HasSubstr("not a valid ui8"));
    EXPECT_THAT(LoadError(Packet(fields, "<ROW ID=\"1\" U=\"-1\"/>")).toStdString(),
                HasSubstr("not a valid ui8"));
}

// A text is written exactly or not at all: characters that no packet can carry are refused
// when typed into a text field, a memo (written as Base64) keeps them, and a writer never
// puts "?" in place of what it cannot write.
TEST(Packets, TextsAreKeptExactlyOrRefused) {
    TFieldDef note = MakeField("NOTE", TFieldType::BinHex);
    note.subtype = "Text";
    TClientTable table;
    FillTable(table,
              {MakeField("ID", TFieldType::I4), MakeField("NAME", TFieldType::String, 20), note},
              {{I(1), S("Ann"), Null()}});
    table.Edit();
    for (const QString &bad : {QString("a\x01b"), QString("bell\x07"), QString(QChar(0xFFFF)),
                               QString(QChar(0xD800)) + "x"}) {
        try {
            table.FieldByName("NAME").SetAsString(bad);
            ADD_FAILURE() << "accepted " << bad.toStdString();
        } catch (const AppError &e) {
            EXPECT_THAT(e.message().toStdString(),
                        HasSubstr("Text položky NAME obsahuje řídicí znak"));
        }
    }
    EXPECT_EQ(table.FieldByName("NAME").Value(), S("Ann"));
    const QString kept = QString::fromUtf8("tab\tline\r\nend \xc2\xa0Ω");
    const QString memo = QString::fromUtf8("Ω page\x0c"
                                           "break\x01\x1f"
                                           "end");
    table.FieldByName("NAME").SetAsString(kept);
    table.FieldByName("NOTE").SetAsString(memo);
    table.Post();
    EXPECT_THROW(table.SetOptionalParam("P", S("x\x02"), true), AppError);
    for (const QByteArray &packet : {table.DataPacket(), table.Delta()}) {
        TClientTable back;
        back.LoadFromBytes(packet);
        back.Last();
        EXPECT_EQ(back.FieldByName("NAME").Value(), S(kept));
        EXPECT_EQ(back.FieldByName("NOTE").Value(), S(memo));
    }
    try {
        table.DataPacket(TPacketEncoding::SingleByte);
        ADD_FAILURE() << "a memo with Ω was written in Windows-1250";
    } catch (const AppError &e) {
        EXPECT_THAT(e.message().toStdString(),
                    HasSubstr("field \"NOTE\" holds the character U+03a9"));
    }

    TTableContent content; // a store filled past the checks
    content.fields = {MakeField("NAME", TFieldType::String, 20)};
    content.store.reset(content.fields);
    content.rows.push_back({content.store.addRecord(), kNoRecord, 0, 0});
    content.store.setText(0, 0, u"x\x02");
    try {
        WriteDataPacket(content, TPacketEncoding::Utf8);
        ADD_FAILURE() << "a control character was written";
    } catch (const AppError &e) {
        EXPECT_THAT(e.message().toStdString(),
                    HasSubstr("field \"NAME\" holds the character U+0002"));
    }
}

TEST(Packets, HugeAttributeIsRefused) {
    const QByteArray huge(50 * 1024 * 1024, 'x');
    EXPECT_THAT(LoadError(Packet(kIdName, "<ROW ID=\"1\" NAME=\"" + huge + "\"/>")).toStdString(),
                HasSubstr("too long"));
}

// Packets that declare more fields or more cells (rows times fields) than a table can hold are
// refused before their rows are allocated, each with one line in the log; a packet within the
// bounds loads.
TEST(Packets, OversizedPacketsAreRefusedBeforeAllocating) {
    const auto fields = [](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += "<FIELD attrname=\"F" + QByteArray::number(i) + "\" fieldtype=\"i4\"/>";
        return text;
    };
    const auto emptyRows = [](int count) {
        QByteArray text;
        text.reserve(qsizetype(count) * 6);
        for (int i = 0; i < count; ++i)
            text += "<ROW/>";
        return text;
    };
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &context, const QString &message) {
            if (QByteArrayView(context.category) == "tellavo.data")
                logged.append(message);
        });
    const struct {
        int fields, rows;
        const char *message;
    } cases[] = {
        {100000, 1, "more than 4096 fields"},
        {40000, 4999, "more than 4096 fields"},
        {10000, 200000, "more than 4096 fields"},
        {4096, 8193, "declares 8193 rows of 4096 fields, more than a table can hold"},
    };
    for (const auto &c : cases) {
        const QByteArray packet = Packet(fields(c.fields), emptyRows(c.rows));
        EXPECT_THAT(LoadError(packet).toStdString(), HasSubstr(c.message))
            << c.fields << " x " << c.rows;
    }
    EXPECT_EQ(logged.size(), std::size(cases));
    if (!logged.isEmpty())
        EXPECT_THAT(logged.front().toStdString(), HasSubstr("Packet refused"));
    qInstallMessageHandler(previous);

    TClientTable table;
    table.LoadFromBytes(Packet(fields(4096), emptyRows(100)));
    EXPECT_EQ(table.FieldCount(), 4096);
    EXPECT_EQ(table.RecordCount(), 100);
}

TEST(Packets, ManyRowsCrossChunkBoundaries) {
    QByteArray rows;
    for (int i = 0; i < 20000; ++i)
        rows += "<ROW ID=\"" + QByteArray::number(i) + "\" NAME=\"name number " +
                QByteArray::number(i) + "\"/>\n";
    TClientTable table;
    table.LoadFromBytes(Packet(kIdName, rows));
    ASSERT_EQ(table.RecordCount(), 20000);
    table.Last();
    EXPECT_EQ(table.Field(1).Value(), S("name number 19999"));
    EXPECT_EQ(table.DataPacket(TPacketEncoding::SingleByte),
              Packet(kIdName, QByteArray(rows).replace("\n", "")));
}

TEST(Packets, StreamsWriteAndReadWholePackets) {
    TClientTable table;
    table.LoadFromBytes(FixtureBytes("alltypes_utf8.xml"));
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    table.SaveToStream(buffer, TPacketEncoding::SingleByte);
    EXPECT_EQ(buffer.data(), FixtureBytes("alltypes_1250.xml"));
    buffer.seek(0);
    TClientTable back;
    back.LoadFromStream(buffer);
    EXPECT_EQ(back.RecordCount(), 3);
}

TEST(Framing, SectionsSplitAtTheSeparator) {
    QString reply = QStringLiteral("a=1<mybaseseparator/><P1/><mybaseseparator/><P2/>");
    EXPECT_EQ(NextPacketSection(reply), "a=1");
    EXPECT_EQ(NextPacketSection(reply), "<P1/>");
    EXPECT_EQ(NextPacketSection(reply), "<P2/>");
    EXPECT_EQ(NextPacketSection(reply), "");
    QByteArray bytes = "whole";
    EXPECT_EQ(NextPacketSection(bytes), "whole");
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(Framing, ApplyReplyCountBeforeTheBar) {
    const struct {
        QByteArray body;
        int count;
        QByteArray packet;
    } cases[] = {
        {"3|<P/>", 3, "<P/>"}, {"3", 3, ""}, {"", 0, ""}, {"x|<P/>", 0, "<P/>"}, {"12|", 12, ""}};
    for (const auto &c : cases) {
        const TApplyReply reply = ParseApplyReply(c.body);
        EXPECT_EQ(reply.appliedCount, c.count) << c.body.toStdString();
        EXPECT_EQ(reply.packet, c.packet) << c.body.toStdString();
    }
}
