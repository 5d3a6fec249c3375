#include "platform/foundation/TimeZone.h"

#include "platform/foundation/Log.h"

#include <unicode/timezone.h>

namespace foundation {

namespace {

std::string utf8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace

std::optional<TimeZone> TimeZone::named(const std::string& name) {
    if (name.empty()) return std::nullopt;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(name)));
    // ICU answers an unknown name with its "Etc/Unknown" zone rather than with nothing.
    if (!zone || *zone == icu::TimeZone::getUnknown()) {
        Log::warning("no time zone named \"" + name + "\"");
        return std::nullopt;
    }
    return TimeZone(std::shared_ptr<const icu::TimeZone>(std::move(zone)));
}

TimeZone TimeZone::utc() { return TimeZone(std::shared_ptr<const icu::TimeZone>(icu::TimeZone::getGMT()->clone())); }

TimeZone TimeZone::current() { return TimeZone(std::shared_ptr<const icu::TimeZone>(icu::TimeZone::createDefault())); }

std::string TimeZone::identifier() const {
    icu::UnicodeString id;
    return utf8(zone_->getID(id));
}

int TimeZone::rawOffsetSeconds() const { return zone_->getRawOffset() / 1000; }

}  // namespace foundation
