// A record ID outside 1..getNumRecords().
#pragma once

#include "javax/microedition/rms/RecordStoreException.h"

namespace javax::microedition::rms {

TARVOKIN_EXCEPTION(InvalidRecordIDException, RecordStoreException, "javax.microedition.rms.InvalidRecordIDException");

}  // namespace javax::microedition::rms
