// Selects records for an enumeration. Declared for callers; the record
// store does not enumerate.
#pragma once

#include <cstdint>
#include <vector>

namespace javax::microedition::rms {

class RecordFilter {
public:
    virtual ~RecordFilter() = default;
    virtual bool matches(const std::vector<std::uint8_t>& candidate) = 0;
};

}  // namespace javax::microedition::rms
