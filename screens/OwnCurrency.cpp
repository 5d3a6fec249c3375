#include "screens/OwnCurrency.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Characters.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <cmath>

namespace ostrelo {

namespace {

using Transaction = foundation::UserDefaults::Transaction;

constexpr std::size_t codeLength = 3;

bool contains(const std::vector<std::string>& codes, const std::string& code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// Removes every pair rate of `code`: against each code of `list` and against itself.
bool removePairs(Transaction& transaction, const std::string& code, const std::vector<std::string>& list) {
    if (!transaction.removeObject(SharedSettings::ratePair(code, code))) return false;
    for (const std::string& other : list)
        if (!transaction.removeObject(SharedSettings::ratePair(code, other)) ||
            !transaction.removeObject(SharedSettings::ratePair(other, code)))
            return false;
    return true;
}

// A rate derived from the display value is written only when it is a usable rate; otherwise
// the key is removed, as the rate download does.
bool storeDerivedRate(Transaction& transaction, const std::string& key, double rate) {
    if (std::isfinite(rate) && rate > 0.0) return transaction.set(key, rate);
    return transaction.removeObject(key);
}

// A stored rate that is not a finite number above 0 (a text, say) counts as missing.
std::optional<double> usableRate(const std::optional<foundation::PropertyListValue>& stored) {
    const std::optional<double> rate = stored ? stored->numberAsDouble() : std::nullopt;
    if (!rate || !std::isfinite(*rate) || *rate <= 0.0) return std::nullopt;
    return rate;
}

}  // namespace

std::optional<std::string> OwnCurrency::requestedCode(const std::optional<foundation::PropertyListValue>& stored) {
    const std::optional<std::string> text = stored ? stored->stringValue() : std::nullopt;
    if (!text) return std::nullopt;
    using foundation::Characters;
    std::string code = Characters::uppercased(Characters::trimmingWhitespaceAndNewlines(*text));
    code = Characters::prefix(code, codeLength);
    if (Characters::count(code) != codeLength) return std::nullopt;
    return code;
}

OwnCurrency::Moved OwnCurrency::update(foundation::UserDefaults& suite) {
    Calculator& c = calculator_;
    const std::optional<std::string> requested = requestedCode(suite.object(SharedSettings::ownCurrencyRequest));
    const auto stored = suite.object(SharedSettings::ownCurrency);
    const std::optional<std::string> previous = stored ? stored->stringValue() : std::nullopt;
    if (!requested || contains(Calculator::currencyCodes(), *requested)) return clear(suite, previous);
    const auto ownRow = static_cast<std::size_t>(row);
    if (c.currency().size() > ownRow && c.currency()[ownRow] == *requested) return {};
    if (previous != requested) {
        const bool changed = suite.performTransaction([&](Transaction& transaction) {
            if (!transaction.set(SharedSettings::ownCurrency, *requested)) return false;
            return !previous || previous->empty() || removePairs(transaction, *previous, c.currency());
        });
        if (!changed) foundation::Log::warning("own currency: the change to " + *requested + " was not stored");
    }
    c.setOwnCurrency(*requested);
    return {};
}

OwnCurrency::Moved OwnCurrency::clear(foundation::UserDefaults& suite, const std::optional<std::string>& previous) {
    Calculator& c = calculator_;
    const std::vector<std::string> list = c.currency();
    const Moved moved{c.from() == row, c.to() == row};
    c.clearOwnCurrency();
    const bool hadPairs = previous && !previous->empty();
    if (!hadPairs && previous && !moved.from && !moved.to) return moved;  // nothing to write
    const bool cleared = suite.performTransaction([&](Transaction& transaction) {
        if (hadPairs && !removePairs(transaction, *previous, list)) return false;
        if (previous != std::string() && !transaction.set(SharedSettings::ownCurrency, "")) return false;
        if (moved.from && !transaction.set(SharedSettings::from, c.from())) return false;
        return !moved.to || transaction.set(SharedSettings::to, c.to());
    });
    if (!cleared) foundation::Log::warning("own currency: clearing it was not stored");
    return moved;
}

bool OwnCurrency::canStoreRates() const {
    const Calculator& c = calculator_;
    const double x = c.ostreloLine().number;
    const auto rows = static_cast<std::int64_t>(c.currency().size());
    if (!std::isfinite(x) || x <= 0.0 || c.dateCalculator()) return false;
    if (c.from() != row || rows <= row || c.to() < 0 || c.to() >= rows) return false;
    // The own currency against itself would overwrite its rate of 1 and rescale its pairs.
    return c.currency()[static_cast<std::size_t>(c.to())] != c.currency()[static_cast<std::size_t>(row)];
}

bool OwnCurrency::storeRates() const {
    if (!canStoreRates()) return false;
    const Calculator& c = calculator_;
    const double x = c.ostreloLine().number;
    const std::string& own = c.currency()[static_cast<std::size_t>(c.from())];
    const std::string& to = c.currency()[static_cast<std::size_t>(c.to())];
    const auto suite = SharedSettings::open();
    return suite->performTransaction([&](Transaction& transaction) {
        const auto pair = &SharedSettings::ratePair;
        if (!transaction.set(pair(own, to), x) || !transaction.set(pair(own, own), 1.0) ||
            !storeDerivedRate(transaction, pair(to, own), 1.0 / x))
            return false;
        for (const std::string& other : c.currency()) {
            if (other == to || other == own) continue;
            if (const auto rate = usableRate(transaction.object(pair(to, other)))) {
                if (!storeDerivedRate(transaction, pair(own, other), x * *rate) ||
                    !storeDerivedRate(transaction, pair(other, own), 1.0 / (x * *rate)))
                    return false;
            } else if (!transaction.set(pair(own, other), 1.0)) {
                return false;
            }
        }
        return true;
    });
}

}  // namespace ostrelo
