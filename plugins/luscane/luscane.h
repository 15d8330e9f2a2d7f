// Luscane: GIF 87a and 89a files.
#pragma once

#include "hpi/plugin.h"

namespace luscane {

enum Code : int {
  kWrongSignature = 11,
  kWrongVersion = 12,
  kWrongImageData = 13,
  kExtensionIn87a = 14,
  kWrongPlainText = 15,
  kWrongComment = 16,
  kWrongGraphicControl = 17,
  kWrongApplication = 18,
};

bool AnalyseGif(hpi::Analysis& analysis);

}  // namespace luscane
