// No room: 128 stores exist, or a store holds its 254 records.
#pragma once

#include "javax/microedition/rms/RecordStoreException.h"

namespace javax::microedition::rms {

TARVOKIN_EXCEPTION(RecordStoreFullException, RecordStoreException, "javax.microedition.rms.RecordStoreFullException");

}  // namespace javax::microedition::rms
