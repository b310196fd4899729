// No store has the requested name.
#pragma once

#include "javax/microedition/rms/RecordStoreException.h"

namespace javax::microedition::rms {

TARVOKIN_EXCEPTION(RecordStoreNotFoundException, RecordStoreException, "javax.microedition.rms.RecordStoreNotFoundException");

}  // namespace javax::microedition::rms
