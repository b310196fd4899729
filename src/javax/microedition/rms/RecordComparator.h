// Orders records for an enumeration. Declared for callers; the record
// store does not enumerate.
#pragma once

#include <cstdint>
#include <vector>

namespace javax::microedition::rms {

class RecordComparator {
public:
    static constexpr int EQUIVALENT = 0;
    static constexpr int FOLLOWS = 1;
    static constexpr int PRECEDES = -1;

    virtual ~RecordComparator() = default;
    virtual int compare(const std::vector<std::uint8_t>& rec1, const std::vector<std::uint8_t>& rec2) = 0;
};

}  // namespace javax::microedition::rms
