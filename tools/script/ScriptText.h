#pragma once

#include "platform/foundation/PropertyListValue.h"
#include "tools/script/ScriptLine.h"

#include <optional>
#include <string>

namespace script {

// A text as a script writes it: in double quotes, with `"`, `\` and line breaks escaped, and
// other control characters as `\xHH`.
std::string inQuotes(const std::string& text);
// A number in its shortest form ("0.6", "12").
std::string numberText(double value);
// A finite number; none for any other word.
std::optional<double> parseNumber(const std::string& word);
// A typed store value: `true`, `false`, an integer, a double (with "." or an exponent) or a
// quoted text. None (with `error`) for a bare word that is none of these.
std::optional<foundation::PropertyListValue> parseStoreValue(const ScriptWord& word, std::string& error);
// A stored value as a script writes it (arrays and dictionaries in brackets).
std::string storeValueText(const foundation::PropertyListValue& value);

}  // namespace script
