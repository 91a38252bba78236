#pragma once

// The date order code sits in platform so the storage bin can use it too.
#include "platform/date_order.h"
