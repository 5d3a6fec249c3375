// The settings suite the rest of the code sees: which store a suite object uses, the typed
// reads, the registered defaults, and batches and transactions over the store.
#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/StoreHold.h"
#include "platform/foundation/UserDefaultsStore.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <shared_mutex>
#include <system_error>
#include <utility>

namespace foundation {

namespace {

// ---- Registered defaults: one table per process, shared by every suite object.

std::shared_mutex& registeredMutex() {
    static std::shared_mutex mutex;
    return mutex;
}

PropertyListValue::Dictionary& registeredDefaults() {
    static PropertyListValue::Dictionary defaults;
    return defaults;
}

std::optional<PropertyListValue> registeredValue(const std::string& key) {
    std::shared_lock lock(registeredMutex());
    const auto& defaults = registeredDefaults();
    auto found = defaults.find(key);
    if (found == defaults.end()) return std::nullopt;
    return found->second;
}

// ---- The typed reads' conversions, as the phone makes them.

template <typename Number>
std::optional<Number> parseNumber(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t' || *begin == '\n') ++begin;
    if (*begin == '+') ++begin;
    const char* end = text.c_str() + text.size();
    Number value{};
    auto [rest, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || rest == begin) return std::nullopt;
    return value;
}

std::int64_t doubleToInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);  // cut toward zero
}

// A string is true when it starts with Y, y, T or t, or holds a nonzero number.
bool stringToBool(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t\n");
    if (start == std::string::npos) return false;
    const char first = text[start];
    if (first == 'Y' || first == 'y' || first == 'T' || first == 't') return true;
    auto number = parseNumber<double>(text);
    return number && *number != 0.0;
}

std::optional<std::string> doubleToString(double value) {
    std::array<char, 64> text{};
    auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    return std::string(text.data(), end);
}

}  // namespace

// ---- The suite.

std::filesystem::path UserDefaults::groupDirectory() {
    if (const char* group = std::getenv("OSTRELO_GROUP_DIR"); group && *group) return group;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::filesystem::path(data) / "ostrelo";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local" / "share" / "ostrelo";
    std::error_code ignored;
    return std::filesystem::temp_directory_path(ignored) / "ostrelo";
}

// ---- The store of a suite object: the thread's batch's, else the connection its objects for the
// directory share.

struct UserDefaults::Batch::Current {
    std::shared_ptr<Store> store;
    std::filesystem::path directory;
};

UserDefaults::Batch::Current& UserDefaults::Batch::current() {
    thread_local Current batch;
    return batch;
}

std::shared_ptr<UserDefaults::Store> UserDefaults::threadStore(const std::filesystem::path& directory) {
    const Batch::Current& batch = Batch::current();
    if (batch.store && batch.directory == directory) return batch.store;
    thread_local std::filesystem::path homeDirectory;
    thread_local std::weak_ptr<Store> home;
    if (auto store = home.lock(); store && homeDirectory == directory && store->openedHere()) {
        Store::Access access(*store);
        store->reopenIfReplaced();
        return store;
    }
    auto store = std::make_shared<Store>(directory);
    // The store that ends a hold reads its stand-in through a connection of its own.
    if (StoreHold::ending()) return store;
    homeDirectory = directory;
    home = store;
    return store;
}

UserDefaults::UserDefaults(const std::filesystem::path& directory) : store_(threadStore(directory)) {}

UserDefaults::~UserDefaults() = default;

std::optional<std::int64_t> UserDefaults::dataVersion() const {
    Store::Access access(*store_);
    return store_->dataVersion();
}

std::uint64_t UserDefaults::storeFile() const {
    Store::Access access(*store_);
    store_->reopenIfReplaced();
    return store_->file();
}

std::optional<PropertyListValue> UserDefaults::object(const std::string& key) const {
    {
        Store::Access access(*store_);
        if (auto stored = store_->read(key)) return stored;
    }
    return registeredValue(key);
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return false;
    if (auto b = value->boolValue()) return *b;
    if (auto i = value->integerValue()) return *i != 0;
    if (auto d = value->realValue()) return *d != 0.0;
    if (auto s = value->stringValue()) return stringToBool(*s);
    return false;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return 0;
    if (auto i = value->integerValue()) return *i;
    if (auto d = value->realValue()) return doubleToInteger(*d);
    if (auto b = value->boolValue()) return *b ? 1 : 0;
    if (auto s = value->stringValue()) {
        if (auto i = parseNumber<std::int64_t>(*s)) return *i;
        if (auto d = parseNumber<double>(*s)) return doubleToInteger(*d);
    }
    return 0;
}

double UserDefaults::doubleForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return 0.0;
    if (auto d = value->numberAsDouble()) return *d;
    if (auto b = value->boolValue()) return *b ? 1.0 : 0.0;
    if (auto s = value->stringValue()) return parseNumber<double>(*s).value_or(0.0);
    return 0.0;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return std::nullopt;
    if (auto s = value->stringValue()) return s;
    if (auto i = value->integerValue()) return std::to_string(*i);
    if (auto b = value->boolValue()) return std::string(*b ? "1" : "0");
    if (auto d = value->realValue()) return doubleToString(*d);
    return std::nullopt;
}

std::optional<PropertyListValue::Array> UserDefaults::arrayForKey(const std::string& key) const {
    auto value = object(key);
    if (value && value->arrayValue()) return *value->arrayValue();
    return std::nullopt;
}

std::optional<PropertyListValue::Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const {
    auto value = object(key);
    if (value && value->dictionaryValue()) return *value->dictionaryValue();
    return std::nullopt;
}

bool UserDefaults::set(const std::string& key, const PropertyListValue& value) {
    Store::Access access(*store_);
    return store_->write(key, value);
}

bool UserDefaults::removeObject(const std::string& key) {
    Store::Access access(*store_);
    return store_->remove(key);
}

void UserDefaults::registerDefaults(const PropertyListValue::Dictionary& defaults) {
    std::unique_lock lock(registeredMutex());
    for (const auto& [key, value] : defaults) registeredDefaults().insert_or_assign(key, value);
}

bool UserDefaults::synchronize() {
    Store::Access access(*store_);
    return store_->usable();
}

PropertyListValue::Dictionary UserDefaults::dictionaryRepresentation() const {
    Store::Access access(*store_);
    return store_->all();
}

PropertyListValue::Dictionary UserDefaults::objectsInRange(const std::string& from, const std::string& to) const {
    Store::Access access(*store_);
    return store_->range(from, to);
}

// ---- Transactions.

namespace {

// The writes and reads of a transaction's body, on the store its suite holds the access of.
class StoreTransaction : public UserDefaults::Transaction {
public:
    using Write = std::function<bool(const std::string&, const PropertyListValue*)>;
    using Read = std::function<std::optional<PropertyListValue>(const std::string&)>;
    StoreTransaction(Write write, Read read) : write_(std::move(write)), read_(std::move(read)) {}

    bool set(const std::string& key, const PropertyListValue& value) override { return record(write_(key, &value)); }
    bool removeObject(const std::string& key) override { return record(write_(key, nullptr)); }
    std::optional<PropertyListValue> object(const std::string& key) const override { return read_(key); }
    bool failed() const { return failed_; }

private:
    bool record(bool ok) {
        if (!ok) failed_ = true;
        return ok;
    }
    Write write_;
    Read read_;
    bool failed_ = false;
};

}  // namespace

bool UserDefaults::performTransaction(const std::function<bool(Transaction&)>& body) {
    Store::Access access(*store_);
    Store& store = *store_;
    // Inside a batch the transaction is a savepoint of the batch's.
    const bool nested = store.inTransaction();
    if (!store.beginTransaction(nested)) return false;
    StoreTransaction transaction(
        [&store](const std::string& key, const PropertyListValue* value) {
            return value ? store.write(key, *value) : store.remove(key);
        },
        [&store](const std::string& key) {
            if (auto stored = store.read(key)) return stored;
            return registeredValue(key);
        });
    bool keep = false;
    try {
        keep = body(transaction) && !transaction.failed();
    } catch (...) {
        store.rollBackTransaction(nested);
        throw;
    }
    if (keep && store.commitTransaction(nested)) return true;
    store.rollBackTransaction(nested);
    return false;
}

// ---- Batches: the thread's suite objects made meanwhile share the batch's store.

bool UserDefaults::Batch::active() { return current().store != nullptr; }

UserDefaults::Batch::Batch(const std::filesystem::path& directory) {
    if (active()) return;
    start(threadStore(directory), std::chrono::milliseconds(StoreConnection::busyTimeoutMilliseconds), false);
}

UserDefaults::Batch::Batch(const UserDefaults& suite, std::chrono::milliseconds wait) {
    if (active()) return;
    {
        Store::Access access(*suite.store_);
        suite.store_->reopenIfReplaced();
    }
    start(suite.store_, wait, true);
}

void UserDefaults::Batch::start(std::shared_ptr<Store> store, std::chrono::milliseconds wait, bool quiet) {
    Store::Access access(*store);
    if (!store->beginBatch(static_cast<int>(wait.count()), quiet)) return;
    current() = {store, store->directory()};
    store_ = std::move(store);
}

UserDefaults::Batch::~Batch() { commit(); }

bool UserDefaults::Batch::commit() {
    if (ended_) return result_;
    ended_ = true;
    if (!store_) return result_;
    current() = {};
    // The batch may hold the store's last reference: it goes after the access to it has ended.
    const std::shared_ptr<Store> store = std::move(store_);
    Store::Access access(*store);
    auto [stored, failure, waited] = store->endBatch();
    if (!stored) failure_ = failure.empty() ? "the batch was not committed" : failure;
    waited_ = std::chrono::milliseconds(waited);
    return result_ = stored;
}

}  // namespace foundation
