#include <cstdio>

#include "hpi/plugin.h"
#include "hpi/version_dialog.h"

namespace hpi {

int ShowVersionDialog(HpiWindow /*owner*/) {
  std::fprintf(stderr, "%s\n%s\n", ThisPlugin().versionLine, ThisPlugin().info.description);
  return 1;
}

}  // namespace hpi
