#pragma once

#include <cstdint>
#include <string>

// One usage event waiting to be reported.
struct UsageEvent {
    std::string name;  // UTF-8, e.g. "software_activation"
    int64_t time = 0;  // milliseconds since 1970-01-01 UTC, whole seconds
};
