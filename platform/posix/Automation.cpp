// POSIX has no automation library: the general rules of base/ convert instead.
#include "platform/Automation.h"

namespace Platform {

AutomationOutcome ChangeAutomationType(const AutomationScalar&, std::uint16_t, AutomationResult&) {
    return AutomationOutcome::NotOffered;
}

AutomationOutcome AutomationBoolFromText(const std::string&, bool&) { return AutomationOutcome::NotOffered; }

}  // namespace Platform
