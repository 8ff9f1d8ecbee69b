#pragma once
#include <QDateTime>

// The one clock of the program; tests fix it.
namespace Clock {
QDateTime now();
void setFixed(const QDateTime& t);
void reset();
} // namespace Clock
