#include "packetgenerator.h"

#include "data/clienttable.h"

#include <random>

QByteArray GenerateBenchmarkPacket(int rows) {
    static const char *const surnames[] = {"Novák",  "Svoboda", "Dvořák", "Černá", "Procházka",
                                           "Kučera", "Veselá",  "Horák",  "Němec", "Pokorný"};
    static const char *const names[] = {"Jan",    "Petr",  "Eva",    "Jiří",
                                        "Tereza", "Šárka", "Ondřej", "Lucie"};
    std::mt19937 random(12345);
    TClientTable table;
    table.CreateDataSet(
        {MakeField("ID", TFieldType::I4), MakeField("IDTEACHER", TFieldType::I4),
         MakeField("HOURS", TFieldType::I4), MakeField("NAME", TFieldType::String, 40),
         MakeField("EMAIL", TFieldType::String, 40), MakeField("PRICE", TFieldType::R8),
         MakeField("ACTIVE", TFieldType::Boolean)});
    table.DisableControls();
    for (int i = 0; i < rows; ++i) {
        const QString name = QString::fromUtf8(surnames[random() % 10]) + QLatin1Char(' ') +
                             QString::fromUtf8(names[random() % 8]) + QLatin1Char(' ') +
                             QString::number(random() % 1000);
        table.AppendRecord(
            {TValue::FromInteger(i + 1), TValue::FromInteger(1 + random() % 200),
             TValue::FromInteger(random() % 100), TValue::FromText(name),
             TValue::FromText(QStringLiteral("user%1@skola.cz").arg(random() % 100000)),
             TValue::FromFloat(double(random() % 100000) / 100), TValue::FromBool(random() % 2)});
    }
    table.MergeChangeLog();
    table.EnableControls();
    return table.DataPacket(TPacketEncoding::SingleByte);
}
