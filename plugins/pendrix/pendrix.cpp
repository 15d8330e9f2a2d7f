#include "pendrix.h"

namespace pendrix {
namespace {

constexpr std::size_t kSupportBytes = 8;

}  // namespace
}  // namespace pendrix

const hpi::PluginDescriptor& hpi::ThisPlugin() {
  static const hpi::PluginDescriptor plugin{
      {"Pendrix.hpi ver. 1.00 PNG/MNG/JNG file analyze Plug-In \nCopyright (C) 2026 tarvo",
       "MNG image(*.png;*.mng;*jng)", "*.png;*.mng;*jng"},
      pendrix::Messages(),
      pendrix::kSupportBytes,
      false,
      pendrix::IsSupported,
      nullptr,
      pendrix::WalkChunks,
      "Pendrix.hpi ver.1.00. PNG/MNG/JNG file analyzer Plug-In",
  };
  return plugin;
}
