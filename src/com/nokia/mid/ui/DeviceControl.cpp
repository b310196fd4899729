#include "com/nokia/mid/ui/DeviceControl.h"

#include "TarvokinEmu/Trace.h"

namespace com::nokia::mid::ui {

namespace {
void opened() { TarvokinEmu::traceFirstUse("com.nokia.mid.ui.DeviceControl"); }
}  // namespace

void DeviceControl::flashLights(std::int64_t) { opened(); }
void DeviceControl::setLights(int, int) { opened(); }
void DeviceControl::startVibra(int, std::int64_t) { opened(); }
void DeviceControl::stopVibra() { opened(); }

}  // namespace com::nokia::mid::ui
