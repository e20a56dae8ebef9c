#pragma once

#include "app/report.h"

#include <QString>

#include <array>

// The eight buffer values typed for one event, buffer 0 first, as the fields hold them.
using EventValues = std::array<QString, 8>;

// Which buffers carry only the first event and which only the second, or why that cannot be told:
// the box one press of the analysis window's "Analyze" button shows.
Report compareEvents(const QString &firstName, const QString &secondName, const EventValues &first,
                     const EventValues &second);
