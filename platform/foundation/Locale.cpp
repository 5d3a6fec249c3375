#include "platform/foundation/Locale.h"

#include <unicode/locid.h>

namespace foundation {

std::string Locale::currentIdentifier() { return icu::Locale::getDefault().getName(); }

void Locale::setCurrent(const std::string& identifier) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(identifier.c_str()), status);
}

std::string Locale::languageCode() { return icu::Locale::getDefault().getLanguage(); }

}  // namespace foundation
