#include "app/core/SettingsLoader.h"
#include "engine/SharedSettings.h"
#include "tests/screens/FakeScreen.h"
#include "tests/support/TestEnvironment.h"

using foundation::PropertyListValue;
using screentest::FakeScreen;

namespace {

class SettingsLoaderTest : public testsupport::SuiteTest {};

// A stored currency row that is not an integer indexing the currency list (left from a list
// with an own currency, or a damaged store) counts as absent: USD to EUR, written back.
TEST_F(SettingsLoaderTest, CurrencyRowsOutsideTheListFallBackToTheirDefaults) {
    struct Row {
        const char* name;
        std::optional<PropertyListValue> from;
        std::optional<PropertyListValue> to;
        std::int64_t expectedFrom;
        std::int64_t expectedTo;
    };
    const Row rows[] = {
        {"absent", std::nullopt, std::nullopt, 29, 8},
        {"inside the list", PropertyListValue(30), PropertyListValue(0), 30, 0},
        {"past the end", PropertyListValue(31), PropertyListValue(57), 29, 8},
        {"negative", PropertyListValue(-1), PropertyListValue(3), 29, 3},
        {"of another type", PropertyListValue("3"), PropertyListValue(2.0), 29, 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto suite = ostrelo::SharedSettings::open();
        for (const char* key : {"from", "to"}) suite->removeObject(key);
        if (row.from) suite->set("from", *row.from);
        if (row.to) suite->set("to", *row.to);
        FakeScreen screen;
        ostrelo::SettingsLoader{screen}.loadSettings();
        EXPECT_EQ(screen.calculator.from, row.expectedFrom);
        EXPECT_EQ(screen.calculator.to, row.expectedTo);
        suite = ostrelo::SharedSettings::open();
        EXPECT_EQ(suite->object("from").value_or(0.5).integerValue(), row.expectedFrom);
        EXPECT_EQ(suite->object("to").value_or(0.5).integerValue(), row.expectedTo);
        screen.type({"1", "⇨"});
        EXPECT_EQ(screen.calculator.currency.size(), 31u);
    }
}

}  // namespace
