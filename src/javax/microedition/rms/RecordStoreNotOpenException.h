// The handle's store was deleted and its slot is free.
#pragma once

#include "javax/microedition/rms/RecordStoreException.h"

namespace javax::microedition::rms {

TARVOKIN_EXCEPTION(RecordStoreNotOpenException, RecordStoreException, "javax.microedition.rms.RecordStoreNotOpenException");

}  // namespace javax::microedition::rms
