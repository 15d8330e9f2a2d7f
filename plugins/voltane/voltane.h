// Voltane: Windows bitmaps (BMP), icons (ICO) and cursors (CUR).
#pragma once

#include "hpi/plugin.h"

namespace voltane {

enum Code : int {
  kLevelTooDeep = 7,  // no text of its own: the unknown-error text
  kWrongBmpMarker = 11,
};

inline constexpr int kTopLevel = 1;

bool AnalyseBmp(hpi::Analysis& analysis, int level);
bool AnalyseIcon(hpi::Analysis& analysis, int level);

}  // namespace voltane
