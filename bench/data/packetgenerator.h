#pragma once

#include <QByteArray>

// A data packet of the benchmark shape: ID, IDTEACHER, HOURS (integers), NAME and EMAIL
// (texts with Czech letters), PRICE (float) and ACTIVE (boolean), in Windows-1250.
QByteArray GenerateBenchmarkPacket(int rows);
