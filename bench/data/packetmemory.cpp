// Peak memory of loading a packet, measured from outside with /usr/bin/time -v:
//   bench_packetmemory generate ROWS FILE   writes a benchmark packet
//   bench_packetmemory read FILE            only reads the file (the baseline)
//   bench_packetmemory load FILE            reads it and loads it into a client table
#include "data/clienttable.h"
#include "packetgenerator.h"

#include <QFile>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    if (argc == 4 && !std::strcmp(argv[1], "generate")) {
        QFile file(QString::fromLocal8Bit(argv[3]));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray packet = GenerateBenchmarkPacket(atoi(argv[2]));
        file.write(packet);
        std::printf("%lld bytes\n", static_cast<long long>(packet.size()));
        return 0;
    }
    if (argc != 3)
        return 2;
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray packet = file.readAll();
    if (!std::strcmp(argv[1], "load")) {
        TClientTable table;
        table.LoadFromBytes(packet);
        std::printf("%d rows\n", table.RecordCount());
    } else {
        std::printf("%lld bytes\n", static_cast<long long>(packet.size()));
    }
    return 0;
}
