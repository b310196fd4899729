// Walks a store's records. Declared for callers; enumerateRecords answers
// null.
#pragma once

#include <cstdint>
#include <vector>

namespace javax::microedition::rms {

class RecordEnumeration {
public:
    virtual ~RecordEnumeration() = default;
    virtual int numRecords() = 0;
    virtual std::vector<std::uint8_t> nextRecord() = 0;
    virtual int nextRecordId() = 0;
    virtual std::vector<std::uint8_t> previousRecord() = 0;
    virtual int previousRecordId() = 0;
    virtual bool hasNextElement() = 0;
    virtual bool hasPreviousElement() = 0;
    virtual void reset() = 0;
    virtual void rebuild() = 0;
    virtual void keepUpdated(bool keepUpdated) = 0;
    virtual bool isKeptUpdated() = 0;
    virtual void destroy() = 0;
};

}  // namespace javax::microedition::rms
