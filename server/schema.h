#pragma once

#include <QStringList>

// The school database's tables and indexes as portable SQL statements, in creation order.
QStringList SchemaStatements();
