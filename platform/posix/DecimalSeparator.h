// The decimal separator of the environment's locale, read once.
#pragma once

namespace Platform {

char LocaleDecimalSeparator();

}  // namespace Platform
