#include "engine/CalculatorStack.h"
#include "engine/MemoryCalculatorStack.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/storage/StorePrinting.h"
#include "tests/support/TestEnvironment.h"

using foundation::PropertyListValue;
using foundation::UserDefaults;
using ostrelo::CalculatorLine;
using ostrelo::CalculatorStack;
using ostrelo::MemoryCalculatorStack;
using ostrelo::StackLineRecord;

namespace {

using Stored = PropertyListValue::Dictionary;

class CalculatorStackTest : public testsupport::SuiteTest {
protected:
    static Stored stored() { return UserDefaults().dictionaryRepresentation(); }
    static void store(const std::string& key, const PropertyListValue& value) { ASSERT_TRUE(UserDefaults().set(key, value)); }
    static PropertyListValue record(const CalculatorLine& line) { return StackLineRecord::encode(line); }

    static void push(CalculatorStack& stack, const CalculatorLine& l) {
        stack.pushLine(l.item, l.type, l.digits, l.separator, l.fraction, l.parentheses, l.number);
    }
    static void insert(CalculatorStack& stack, const CalculatorLine& l) {
        stack.insertFirstLine(l.item, l.type, l.digits, l.separator, l.fraction, l.parentheses, l.number);
    }
    static void pushMemory(MemoryCalculatorStack& stack, const CalculatorLine& l) {
        stack.pushMemoryLine(l.item, l.type, l.digits, l.separator, l.fraction, l.parentheses, l.number);
    }

    const CalculatorLine a{"12,5", "N", 12.5, 3, true, 1, 0};
    const CalculatorLine b{"×", "O", 0.0, 1, false, 0, 0};
    const CalculatorLine c{"", "N", -0.1, 9, true, 8, 2};
    const CalculatorLine fresh{"(", "(", 0.0, 1, false, 0, 1};
};

TEST_F(CalculatorStackTest, PushingStoresEachLineUnderTheNextKeyAndTheCount) {
    CalculatorStack stack;
    EXPECT_TRUE(stack.items.empty());
    EXPECT_EQ(stack.userDefaultsCount, 0);
    push(stack, a);
    EXPECT_EQ(stored(), (Stored{{"count", 1}, {"1", record(a)}}));
    push(stack, b);
    EXPECT_EQ(stored(), (Stored{{"count", 2}, {"1", record(a)}, {"2", record(b)}}));
    EXPECT_EQ(stack.items, (std::vector<CalculatorLine>{a, b}));
    EXPECT_EQ(stack.userDefaultsCount, 2);
    EXPECT_EQ(stack.lineCount(), 2);
    // "count" is an integer, never a double or a bool.
    EXPECT_TRUE(UserDefaults().object("count")->isInteger());
}

TEST_F(CalculatorStackTest, TheStoredArrayHasSevenValuesInTheStoredOrderAndKinds) {
    CalculatorStack stack;
    push(stack, c);
    const auto array = UserDefaults().arrayForKey("1");
    ASSERT_TRUE(array.has_value());
    EXPECT_EQ(*array, (PropertyListValue::Array{"", "N", -0.1, std::int64_t{9}, true, std::int64_t{8}, std::int64_t{2}}));
    EXPECT_TRUE((*array)[2].isReal());
    EXPECT_TRUE((*array)[3].isInteger());
    EXPECT_TRUE((*array)[4].isBool());
    EXPECT_EQ(CalculatorStack().items, std::vector<CalculatorLine>{c});
    // A stored array written elsewhere reads with the number from index 2 and the digits from index 3.
    auto line = StackLineRecord::decode(PropertyListValue::Array{"7", "N", 7.25, std::int64_t{4}, false, std::int64_t{2}, std::int64_t{0}});
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->number, 7.25);
    EXPECT_EQ(line->digits, 4);
    EXPECT_EQ(line->fraction, 2);
}

TEST_F(CalculatorStackTest, PoppingRemovesTheLastKeyAndLowersTheCount) {
    CalculatorStack stack;
    push(stack, a);
    push(stack, b);
    push(stack, c);
    auto popped = stack.popLine();
    ASSERT_TRUE(popped.has_value());
    EXPECT_EQ(*popped, c);
    EXPECT_EQ(stored(), (Stored{{"count", 2}, {"1", record(a)}, {"2", record(b)}}));
    EXPECT_EQ(stack.items, (std::vector<CalculatorLine>{a, b}));
    EXPECT_EQ(stack.userDefaultsCount, 2);
}

TEST_F(CalculatorStackTest, PoppingOrRemovingFromAnEmptyStackChangesNothing) {
    CalculatorStack stack;
    EXPECT_FALSE(stack.popLine().has_value());
    EXPECT_FALSE(stack.removeFirstLine().has_value());
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(stack.userDefaultsCount, 0);

    push(stack, a);
    EXPECT_EQ(stack.popLine(), a);
    EXPECT_FALSE(stack.popLine().has_value());
    EXPECT_FALSE(stack.removeFirstLine().has_value());
    EXPECT_EQ(stored(), (Stored{{"count", 0}}));
    EXPECT_EQ(stack.userDefaultsCount, 0);
    EXPECT_TRUE(stack.items.empty());
}

TEST_F(CalculatorStackTest, InsertingAndRemovingTheFirstLineMoveTheStoredLines) {
    CalculatorStack stack;
    insert(stack, a);
    EXPECT_EQ(stored(), (Stored{{"count", 1}, {"1", record(a)}}));
    push(stack, b);
    insert(stack, fresh);
    EXPECT_EQ(stored(), (Stored{{"count", 3}, {"1", record(fresh)}, {"2", record(a)}, {"3", record(b)}}));
    EXPECT_EQ(stack.items, (std::vector<CalculatorLine>{fresh, a, b}));
    EXPECT_EQ(stack.userDefaultsCount, 3);

    EXPECT_EQ(stack.removeFirstLine(), fresh);
    EXPECT_EQ(stored(), (Stored{{"count", 2}, {"1", record(a)}, {"2", record(b)}}));
    EXPECT_EQ(stack.items, (std::vector<CalculatorLine>{a, b}));
    EXPECT_EQ(stack.removeFirstLine(), a);
    EXPECT_EQ(stack.removeFirstLine(), b);
    EXPECT_EQ(stored(), (Stored{{"count", 0}}));
}

TEST_F(CalculatorStackTest, MovingAMissingStoredLineRemovesTheTargetKey) {
    CalculatorStack stack;
    push(stack, a);
    push(stack, b);
    push(stack, c);
    UserDefaults().removeObject("2");  // another process took it away
    insert(stack, fresh);
    EXPECT_EQ(stored(), (Stored{{"count", 4}, {"1", record(fresh)}, {"2", record(a)}, {"4", record(c)}}));
    EXPECT_EQ(stack.removeFirstLine(), fresh);
    EXPECT_EQ(stored(), (Stored{{"count", 3}, {"1", record(a)}, {"3", record(c)}}));
}

TEST_F(CalculatorStackTest, AStoredValueThatIsNotAnArrayMovesAsAMissingLine) {
    CalculatorStack stack;
    push(stack, a);
    push(stack, b);
    push(stack, c);
    store("2", PropertyListValue(std::int64_t{7}));  // another writer left a number there
    insert(stack, fresh);
    EXPECT_EQ(stored(), (Stored{{"count", 4}, {"1", record(fresh)}, {"2", record(a)}, {"4", record(c)}}));
    store("3", PropertyListValue("text"));
    EXPECT_EQ(stack.removeFirstLine(), fresh);
    EXPECT_EQ(stored(), (Stored{{"count", 3}, {"1", record(a)}, {"3", record(c)}}));
}

TEST_F(CalculatorStackTest, ClearingRemovesTheKeysUpToTheStoredCount) {
    CalculatorStack stack;
    push(stack, a);
    push(stack, b);
    push(stack, c);
    // The stored count is above this stack's own count.
    store("count", 5);
    store("4", record(a));
    store("5", record(b));
    store("6", record(c));
    stack.clearStack();
    EXPECT_EQ(stored(), (Stored{{"count", 0}, {"6", record(c)}}));
    EXPECT_TRUE(stack.items.empty());
    EXPECT_EQ(stack.userDefaultsCount, 0);

    // And below it.
    push(stack, a);
    push(stack, b);
    push(stack, c);
    store("count", 1);
    stack.clearStack();
    EXPECT_EQ(stored(), (Stored{{"count", 0}, {"2", record(b)}, {"3", record(c)}, {"6", record(c)}}));

    // A stored count that is not an integer removes nothing.
    store("count", "3");
    stack.clearStack();
    EXPECT_EQ(stored(), (Stored{{"count", 0}, {"2", record(b)}, {"3", record(c)}, {"6", record(c)}}));

    // A huge stored count removes the matching keys without walking every number.
    store("count", std::int64_t{1} << 60);
    store("m2", record(a));
    store("02", record(a));
    stack.clearStack();
    EXPECT_EQ(stored(), (Stored{{"count", 0}, {"m2", record(a)}, {"02", record(a)}}));
}

TEST_F(CalculatorStackTest, ReloadingTakesTheLinesOtherProcessesStored) {
    CalculatorStack mine;
    push(mine, a);
    CalculatorStack other;
    push(other, b);
    push(other, c);
    EXPECT_EQ(other.items, (std::vector<CalculatorLine>{a, b, c}));
    EXPECT_EQ(mine.items, std::vector<CalculatorLine>{a});
    mine.reloadStack();
    EXPECT_EQ(mine.items, (std::vector<CalculatorLine>{a, b, c}));
    EXPECT_EQ(mine.userDefaultsCount, 3);
    store("count", 0);
    mine.reloadStack();
    EXPECT_TRUE(mine.items.empty());
    EXPECT_EQ(mine.userDefaultsCount, 0);
}

TEST_F(CalculatorStackTest, WronglyStoredCountsLoadAsAnEmptyStack) {
    const std::vector<PropertyListValue> counts = {"2", 2.0, true, std::int64_t{0}, std::int64_t{-3},
                                                   PropertyListValue::Array{2}};
    for (const auto& count : counts) {
        store("1", record(a));
        store("2", record(b));
        store("count", count);
        CalculatorStack stack;
        EXPECT_TRUE(stack.items.empty());
        EXPECT_EQ(stack.userDefaultsCount, 0);
        stack.items.push_back(a);
        stack.reloadStack();
        EXPECT_TRUE(stack.items.empty());
        EXPECT_EQ(stack.userDefaultsCount, 0);
    }
    UserDefaults().removeObject("count");
    EXPECT_TRUE(CalculatorStack().items.empty());
}

TEST_F(CalculatorStackTest, AMissingOrMalformedLineEndsTheLoadThere) {
    using A = PropertyListValue::Array;
    const std::int64_t z = 0;
    const std::vector<PropertyListValue> malformed = {
        A{"", "N", 2.0, std::int64_t{1}, false, z},                  // six values
        A{"", "N", 2.0, std::int64_t{1}, false, z, z, z},            // eight values
        A{"", "N", "2.0", std::int64_t{1}, false, z, z},             // number as text
        A{"", "N", 2.0, 1.0, false, z, z},                           // digits as a double
        A{"", "N", 2.0, std::int64_t{1}, std::int64_t{1}, z, z},     // separator as an integer
        A{"", "N", 2.0, std::int64_t{1}, false, false, z},           // fraction as a bool
        A{std::int64_t{5}, "N", 2.0, std::int64_t{1}, false, z, z},  // item as an integer
        A{"", PropertyListValue::Array{}, 2.0, std::int64_t{1}, false, z, z},
        "1,N,2.0",
        PropertyListValue::Dictionary{{"item", ""}},
        std::int64_t{7},
    };
    for (const auto& bad : malformed) {
        store("count", 3);
        store("1", record(a));
        store("2", bad);
        store("3", record(c));
        CalculatorStack stack;
        EXPECT_EQ(stack.items, std::vector<CalculatorLine>{a});
        EXPECT_EQ(stack.userDefaultsCount, 1);
        // Loading writes nothing: the stored count stays as it was.
        EXPECT_EQ(UserDefaults().object("count"), PropertyListValue(3));

        stack.reloadStack();
        EXPECT_EQ(stack.items, std::vector<CalculatorLine>{a});
        EXPECT_EQ(stack.userDefaultsCount, 1);

        // The next push continues after the lines loaded and leaves a consistent store.
        push(stack, b);
        EXPECT_EQ(UserDefaults().object("count"), PropertyListValue(2));
        EXPECT_EQ(CalculatorStack().items, (std::vector<CalculatorLine>{a, b}));
    }
    // A missing line below the count.
    store("count", 3);
    UserDefaults().removeObject("2");
    CalculatorStack stack;
    EXPECT_EQ(stack.items, std::vector<CalculatorLine>{a});
    EXPECT_EQ(stack.userDefaultsCount, 1);
    // A missing first line gives an empty stack.
    UserDefaults().removeObject("1");
    EXPECT_TRUE(CalculatorStack().items.empty());
}

TEST_F(CalculatorStackTest, APendingResetIsHonouredWhenTheStackIsCreated) {
    {
        CalculatorStack stack;
        push(stack, a);
        push(stack, b);
        MemoryCalculatorStack memory;
        pushMemory(memory, c);
    }
    store("dateCalculator", true);
    store("dateDigits", 4);
    store("reset", true);
    CalculatorStack stack;
    EXPECT_TRUE(stack.items.empty());
    EXPECT_EQ(stack.userDefaultsCount, 0);
    // The line arrays stay in place, out of reach.
    EXPECT_EQ(stored(), (Stored{{"count", 0},
                                {"memory", 0},
                                {"reset", false},
                                {"dateCalculator", false},
                                {"dateDigits", 0},
                                {"1", record(a)},
                                {"2", record(b)},
                                {"m1", record(c)}}));
    auto [memoryItems, memoryCount] = MemoryCalculatorStack::loadMemoryItems();
    EXPECT_TRUE(memoryItems.empty());
    EXPECT_EQ(memoryCount, 0);
    // Later pushes overwrite the old arrays.
    push(stack, c);
    EXPECT_EQ(UserDefaults().object("1"), record(c));
    EXPECT_EQ(CalculatorStack().items, std::vector<CalculatorLine>{c});
}

TEST_F(CalculatorStackTest, OnlyTheBooleanTrueIsAResetRequest) {
    CalculatorStack stack;
    push(stack, a);
    for (const PropertyListValue& notTrue : std::vector<PropertyListValue>{std::int64_t{1}, "YES", 1.0, false}) {
        store("reset", notTrue);
        EXPECT_EQ(CalculatorStack().items, std::vector<CalculatorLine>{a});
        MemoryCalculatorStack memory;
        memory.loadMemoryHonouringReset();
        EXPECT_EQ(UserDefaults().object("reset"), notTrue);
        EXPECT_EQ(UserDefaults().object("count"), PropertyListValue(1));
    }
}

TEST_F(CalculatorStackTest, TheMemoryRegisterUsesItsOwnKeys) {
    MemoryCalculatorStack memory;
    pushMemory(memory, a);
    pushMemory(memory, c);
    EXPECT_EQ(stored(), (Stored{{"memory", 2}, {"m1", record(a)}, {"m2", record(c)}}));
    EXPECT_EQ(memory.items, (std::vector<CalculatorLine>{a, c}));
    EXPECT_EQ(memory.userDefaultsCount, 2);

    auto [items, count] = MemoryCalculatorStack::loadMemoryItems();
    EXPECT_EQ(items, (std::vector<CalculatorLine>{a, c}));
    EXPECT_EQ(count, 2);

    // The calculation keys are independent of the memory keys.
    CalculatorStack stack;
    push(stack, b);
    stack.clearStack();
    EXPECT_EQ(stored(), (Stored{{"count", 0}, {"memory", 2}, {"m1", record(a)}, {"m2", record(c)}}));

    // The stored count is above the register's own count.
    store("memory", 3);
    store("m3", record(b));
    store("m4", record(b));
    memory.clearMemory();
    EXPECT_EQ(stored(), (Stored{{"count", 0}, {"memory", 0}, {"m4", record(b)}}));
    EXPECT_TRUE(memory.items.empty());
    EXPECT_EQ(memory.userDefaultsCount, 0);
    EXPECT_TRUE(MemoryCalculatorStack::loadMemoryItems().first.empty());
}

TEST_F(CalculatorStackTest, TheMemoryReloadHonoursAResetButLeavesTheDateKeys) {
    MemoryCalculatorStack memory;
    pushMemory(memory, a);
    CalculatorStack stack;
    push(stack, b);
    store("dateCalculator", true);
    store("dateDigits", 2);

    MemoryCalculatorStack other;
    other.loadMemoryHonouringReset();
    EXPECT_EQ(other.items, std::vector<CalculatorLine>{a});
    EXPECT_EQ(other.userDefaultsCount, 1);

    store("reset", true);
    other.loadMemoryHonouringReset();
    EXPECT_TRUE(other.items.empty());
    EXPECT_EQ(other.userDefaultsCount, 0);
    EXPECT_EQ(stored(), (Stored{{"count", 0},
                                {"memory", 0},
                                {"reset", false},
                                {"dateCalculator", true},
                                {"dateDigits", 2},
                                {"1", record(b)},
                                {"m1", record(a)}}));

    // loadMemoryItems never looks at "reset".
    store("memory", 1);
    store("reset", true);
    EXPECT_EQ(MemoryCalculatorStack::loadMemoryItems().first, std::vector<CalculatorLine>{a});
    EXPECT_EQ(UserDefaults().object("reset"), PropertyListValue(true));

    // A malformed memory line ends the load there.
    store("memory", 2);
    store("m1", PropertyListValue::Array{"", "N"});
    auto [items, count] = MemoryCalculatorStack::loadMemoryItems();
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(count, 0);
}

}  // namespace
