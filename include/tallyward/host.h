// The host's services as the field-entry checks reach them, and the stand-ins that serve when the
// ERP host is absent.
#pragma once

#include <memory>
#include <string>

#include "tallyward/object.h"

namespace tallyward {

// The caller's context object (clsInfor) built from a JSON session file: its member Information
// answers the session members by name. Error 5 with the reason when the file cannot be used.
std::shared_ptr<Object> loadSession(const std::string& jsonPath);

// The built-in session: operator "demo", every switch off.
std::shared_ptr<Object> defaultSession();

}  // namespace tallyward
