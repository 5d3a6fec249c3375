#pragma once

#include "engine/CalculatorLine.h"
#include "platform/foundation/PropertyListValue.h"

#include <ostream>

// Readable values in test failure messages.
namespace foundation {
void PrintTo(const PropertyListValue& value, std::ostream* out);
}
namespace ostrelo {
void PrintTo(const CalculatorLine& line, std::ostream* out);
}
