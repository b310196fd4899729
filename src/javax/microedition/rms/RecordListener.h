// Hears about record changes. Declared for callers; the record store never
// calls listeners.
#pragma once

#include <memory>

namespace javax::microedition::rms {

class RecordStore;

class RecordListener {
public:
    virtual ~RecordListener() = default;
    virtual void recordAdded(const std::shared_ptr<RecordStore>& recordStore, int recordId) = 0;
    virtual void recordChanged(const std::shared_ptr<RecordStore>& recordStore, int recordId) = 0;
    virtual void recordDeleted(const std::shared_ptr<RecordStore>& recordStore, int recordId) = 0;
};

}  // namespace javax::microedition::rms
