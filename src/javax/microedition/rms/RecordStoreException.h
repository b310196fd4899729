// Base of the record-store failures.
#pragma once

#include "java/lang/Exceptions.h"

namespace javax::microedition::rms {

TARVOKIN_EXCEPTION(RecordStoreException, java::lang::Exception, "javax.microedition.rms.RecordStoreException");

}  // namespace javax::microedition::rms
