#pragma once
#include "serial/CommApi.h"

namespace brenvik {

// The Windows communications functions behind the serial port.
CommApi& SystemCommApi();

}  // namespace brenvik
