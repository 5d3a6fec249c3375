#pragma once

#include <string>

namespace foundation {

// The current locale as ICU reads it from LC_ALL / LC_MESSAGES / LANG, replaceable
// for the whole process (tests pin it with setCurrent("de_DE")).
class Locale {
public:
    static std::string currentIdentifier();          // "en_US", "de_DE", ...
    static void setCurrent(const std::string& identifier);
    static std::string languageCode();               // "en", "de"; empty when the locale has none
};

}  // namespace foundation
