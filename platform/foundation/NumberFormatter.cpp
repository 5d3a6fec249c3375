#include "platform/foundation/NumberFormatter.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/Log.h"

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/parsepos.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace foundation {

namespace {

// ICU's own bound on fraction and significant digits.
constexpr int kMaximumDigits = 999;

int clampDigits(int digits) { return std::clamp(digits, 0, kMaximumDigits); }

std::string toUtf8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

UNumberFormatRoundingMode icuRoundingMode(NumberFormatter::RoundingMode mode) {
    switch (mode) {
        case NumberFormatter::RoundingMode::ceiling: return UNUM_ROUND_CEILING;
        case NumberFormatter::RoundingMode::floor: return UNUM_ROUND_FLOOR;
        case NumberFormatter::RoundingMode::down: return UNUM_ROUND_DOWN;
        case NumberFormatter::RoundingMode::up: return UNUM_ROUND_UP;
        case NumberFormatter::RoundingMode::halfEven: return UNUM_ROUND_HALFEVEN;
        case NumberFormatter::RoundingMode::halfDown: return UNUM_ROUND_HALFDOWN;
        case NumberFormatter::RoundingMode::halfUp: return UNUM_ROUND_HALFUP;
    }
    return UNUM_ROUND_HALFEVEN;
}

// The symbols of a locale are fixed data of ICU, so they are loaded once per locale
// identifier. Which locale a formatter uses is still decided at each creation.
std::shared_ptr<const icu::DecimalFormatSymbols> symbolsFor(const std::string& identifier) {
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const icu::DecimalFormatSymbols>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto found = cache.find(identifier);
    if (found != cache.end()) return found->second;
    UErrorCode status = U_ZERO_ERROR;
    auto symbols = std::make_shared<icu::DecimalFormatSymbols>(icu::Locale(identifier.c_str()), status);
    if (U_FAILURE(status)) {
        Log::warning("number formatter: no number symbols for locale \"" + identifier + "\": " + u_errorName(status));
        status = U_ZERO_ERROR;
        symbols = std::make_shared<icu::DecimalFormatSymbols>(icu::Locale::getRoot(), status);
    }
    if (cache.size() > 64) cache.clear();
    cache.emplace(identifier, symbols);
    return symbols;
}

struct Settings {
    std::string localeIdentifier;
    std::optional<std::string> decimalSeparator;
    NumberFormatter::Style style = NumberFormatter::Style::decimal;
    bool grouping = true;
    int minimumFractionDigits = 0;
    int maximumFractionDigits = 3;
    NumberFormatter::RoundingMode roundingMode = NumberFormatter::RoundingMode::halfEven;
    friend bool operator==(const Settings&, const Settings&) = default;

    std::string key() const {
        std::string key = localeIdentifier;
        key += '\x1f';
        key += decimalSeparator ? "S" + *decimalSeparator : std::string("-");
        key += '\x1f';
        key += std::to_string(static_cast<int>(style)) + ':' + (grouping ? '1' : '0') + ':' +
               std::to_string(minimumFractionDigits) + ':' + std::to_string(maximumFractionDigits) + ':' +
               std::to_string(static_cast<int>(roundingMode));
        return key;
    }
};

icu::DecimalFormatSymbols symbolsWithOverrides(const Settings& settings) {
    icu::DecimalFormatSymbols symbols(*symbolsFor(settings.localeIdentifier));
    if (settings.decimalSeparator) {
        symbols.setSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol,
                          icu::UnicodeString::fromUTF8(*settings.decimalSeparator));
    }
    // The calculator's scientific form is always mantissa "E" exponent.
    symbols.setSymbol(icu::DecimalFormatSymbols::kExponentialSymbol, icu::UnicodeString(u"E"));
    return symbols;
}

// Scientific style as the phone has it: the fraction-digit settings count significant
// digits of the mantissa; a maximum of 0 shows every digit of the number.
icu::number::Precision precisionFor(const Settings& settings) {
    using icu::number::Precision;
    if (settings.style == NumberFormatter::Style::decimal) {
        return Precision::minMaxFraction(settings.minimumFractionDigits, settings.maximumFractionDigits);
    }
    if (settings.maximumFractionDigits == 0) return Precision::unlimited();
    const int maximum = settings.maximumFractionDigits;
    const int minimum = std::clamp(settings.minimumFractionDigits, 1, maximum);
    return Precision::minMaxSignificantDigits(minimum, maximum);
}

using Formatter = icu::number::LocalizedNumberFormatter;

// Building an ICU formatter is the costly part of formatting; formatters are immutable and
// safe to share, so each combination of settings is built once per process.
std::shared_ptr<const Formatter> formatterFor(const Settings& settings) {
    // The few settings a run of numbers takes in turn (every line of a calculation) are found
    // among the last ones used, without building their key.
    thread_local std::array<std::optional<std::pair<Settings, std::shared_ptr<const Formatter>>>, 4> recent;
    thread_local std::size_t next = 0;
    for (const auto& entry : recent)
        if (entry && entry->first == settings) return entry->second;
    const auto remember = [&](const std::shared_ptr<const Formatter>& formatter) {
        recent[next].emplace(settings, formatter);
        next = (next + 1) % recent.size();
    };
    static std::mutex mutex;
    static std::unordered_map<std::string, std::shared_ptr<const Formatter>> cache;
    const std::string key = settings.key();
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto found = cache.find(key);
        if (found != cache.end()) {
            remember(found->second);
            return found->second;
        }
    }
    auto formatter = std::make_shared<const Formatter>(
        icu::number::NumberFormatter::withLocale(icu::Locale(settings.localeIdentifier.c_str()))
            .symbols(symbolsWithOverrides(settings))
            .notation(settings.style == NumberFormatter::Style::scientific ? icu::number::Notation::scientific()
                                                                            : icu::number::Notation::simple())
            .grouping(settings.grouping && settings.style == NumberFormatter::Style::decimal ? UNUM_GROUPING_AUTO
                                                                                              : UNUM_GROUPING_OFF)
            .precision(precisionFor(settings))
            .roundingMode(icuRoundingMode(settings.roundingMode)));
    std::lock_guard<std::mutex> lock(mutex);
    if (cache.size() > 512) cache.clear();
    cache.emplace(key, formatter);
    remember(formatter);
    return formatter;
}

}  // namespace

class NumberFormatter::Impl {
public:
    Settings settings;
    mutable std::shared_ptr<const Formatter> formatter;  // for the current settings; built on first use

    void changed() { formatter.reset(); }
};

NumberFormatter::NumberFormatter() : NumberFormatter(Locale::currentIdentifier()) {}

NumberFormatter::NumberFormatter(const std::string& localeIdentifier) : impl_(std::make_unique<Impl>()) {
    impl_->settings.localeIdentifier = localeIdentifier;
}

NumberFormatter::~NumberFormatter() = default;

void NumberFormatter::setLocale(const std::string& localeIdentifier) {
    impl_->settings.localeIdentifier = localeIdentifier;
    impl_->settings.decimalSeparator.reset();
    impl_->changed();
}

void NumberFormatter::setNumberStyle(Style style) {
    impl_->settings.style = style;
    impl_->changed();
}

NumberFormatter::Style NumberFormatter::numberStyle() const { return impl_->settings.style; }

void NumberFormatter::setUsesGroupingSeparator(bool uses) {
    impl_->settings.grouping = uses;
    impl_->changed();
}

bool NumberFormatter::usesGroupingSeparator() const { return impl_->settings.grouping; }

void NumberFormatter::setMinimumFractionDigits(int digits) {
    Settings& settings = impl_->settings;
    settings.minimumFractionDigits = clampDigits(digits);
    settings.maximumFractionDigits = std::max(settings.maximumFractionDigits, settings.minimumFractionDigits);
    impl_->changed();
}

void NumberFormatter::setMaximumFractionDigits(int digits) {
    Settings& settings = impl_->settings;
    settings.maximumFractionDigits = clampDigits(digits);
    settings.minimumFractionDigits = std::min(settings.minimumFractionDigits, settings.maximumFractionDigits);
    impl_->changed();
}

int NumberFormatter::minimumFractionDigits() const { return impl_->settings.minimumFractionDigits; }

int NumberFormatter::maximumFractionDigits() const { return impl_->settings.maximumFractionDigits; }

void NumberFormatter::setRoundingMode(RoundingMode mode) {
    impl_->settings.roundingMode = mode;
    impl_->changed();
}

std::string NumberFormatter::decimalSeparator() const {
    if (impl_->settings.decimalSeparator) return *impl_->settings.decimalSeparator;
    return toUtf8(symbolsFor(impl_->settings.localeIdentifier)
                      ->getConstSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));
}

void NumberFormatter::setDecimalSeparator(const std::string& separator) {
    impl_->settings.decimalSeparator = separator;
    impl_->changed();
}

std::string NumberFormatter::groupingSeparator() const {
    return toUtf8(symbolsFor(impl_->settings.localeIdentifier)
                      ->getConstSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol));
}

std::string NumberFormatter::latinDigits(const std::string& text) const {
    // Digits of any other numbering system lie outside ASCII: an ASCII text has none to replace.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return text;
    std::string result = text;
    const std::array<std::string, 10> own = ownDigits();
    for (int digit = 0; digit <= 9; ++digit)
        Characters::replaceOccurrences(result, own[static_cast<std::size_t>(digit)],
                                       std::string(1, static_cast<char>('0' + digit)));
    return result;
}

std::array<std::string, 10> NumberFormatter::ownDigits() const {
    const auto symbols = symbolsFor(impl_->settings.localeIdentifier);
    std::array<std::string, 10> own;
    for (int digit = 0; digit <= 9; ++digit) {
        std::string symbol = toUtf8(symbols->getConstDigitSymbol(digit));
        if (symbol != std::string(1, static_cast<char>('0' + digit))) own[static_cast<std::size_t>(digit)] = std::move(symbol);
    }
    return own;
}

std::string NumberFormatter::stringFromNumber(double value) const {
    if (!impl_->formatter) impl_->formatter = formatterFor(impl_->settings);
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = impl_->formatter->formatDouble(value, status).toString(status);
    if (U_FAILURE(status)) {
        Log::error(std::string("number formatter: cannot format a number: ") + u_errorName(status));
        return {};
    }
    return toUtf8(text);
}

std::optional<double> NumberFormatter::numberFromString(const std::string& text) const {
    const Settings& settings = impl_->settings;
    if (text.empty()) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale(settings.localeIdentifier.c_str());
    std::unique_ptr<icu::NumberFormat> format(icu::NumberFormat::createInstance(
        locale, settings.style == Style::scientific ? UNUM_SCIENTIFIC : UNUM_DECIMAL, status));
    auto* decimal = dynamic_cast<icu::DecimalFormat*>(format.get());
    if (U_FAILURE(status) || decimal == nullptr) {
        Log::error(std::string("number formatter: no parser for locale \"") + settings.localeIdentifier + "\"");
        return std::nullopt;
    }
    decimal->setDecimalFormatSymbols(symbolsWithOverrides(settings));
    decimal->setGroupingUsed(settings.grouping && settings.style == Style::decimal);
    decimal->setLenient(false);
    decimal->setParseNoExponent(settings.style == Style::decimal);

    const icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
    icu::Formattable result;
    icu::ParsePosition position(0);
    decimal->parse(input, result, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) return std::nullopt;
    const double value = result.getDouble(status);
    if (U_FAILURE(status)) return std::nullopt;
    return value;
}

}  // namespace foundation
