// ICO and CUR: the icon directory, its entries and each image.
#include "voltane.h"

namespace voltane {

bool AnalyseIcon(hpi::Analysis& /*analysis*/, int /*level*/) {
  hpi::SetPluginError(hpi::kWrongFormat);
  return false;
}

}  // namespace voltane
