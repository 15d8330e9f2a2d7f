// The plug-in's version dialog (resource 102). Where there is no GUI the version
// texts go to standard error.
#pragma once

#include "hpi/hpi.h"

namespace hpi {

int ShowVersionDialog(HpiWindow owner);

}  // namespace hpi
