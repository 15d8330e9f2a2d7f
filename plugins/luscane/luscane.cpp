#include "luscane.h"

#include <cstring>

namespace luscane {
namespace {

constexpr hpi::MessageRow kRows[] = {
    {kWrongSignature, "[HPI_PLUGIN] Wrong GIF signature. This file is not GIF!",
     "[HPI_PLUGIN] GIF signatureが不正です。GIFファイルではありません"},
    {kWrongVersion, "[HPI_PLUGIN] Wrong GIF version!", "[HPI_PLUGIN] GIF バージョンが不正です"},
    {kWrongImageData, "[HPI_PLUGIN] Wrong Table Based Image Data block!",
     "[HPI_PLUGIN] Table Based Image Dataブロックが不正です"},
    {kExtensionIn87a, "[HPI_PLUGIN] Extension block can't be used under GIF 87a version ",
     "[HPI_PLUGIN] 87aバージョンではExtensionブロックは許可されません"},
    {kWrongPlainText, "[HPI_PLUGIN] Wrong Plain Text Extension block!",
     "[HPI_PLUGIN] Plain Text Extensionブロックが不正です"},
    {kWrongComment, "[HPI_PLUGIN] Wrong Comment Extension block!", "[HPI_PLUGIN] Comment Extensionブロックが不正です"},
    {kWrongGraphicControl, "[HPI_PLUGIN] Wrong Graphic Control Extension block!",
     "[HPI_PLUGIN] Graphic Control Extensionブロックが不正です"},
    {kWrongApplication, "[HPI_PLUGIN] Wrong Application Extension block!",
     "[HPI_PLUGIN] Application Extensionブロックが不正です"},
};
constexpr hpi::MessageTable kMessages{kRows, true};

constexpr std::size_t kSignatureSize = 3;

int IsSupported(const std::uint8_t* head, std::size_t length) {
  return length >= kSignatureSize && std::memcmp(head, "GIF", kSignatureSize) == 0 ? 1 : 0;
}

constexpr hpi::PluginDescriptor kLuscane{
    {"Luscane.hpi ver. 1.00 GIF file header analyze Plug-In \nCopyright (C) 2026 tarvo", "GIF image(*.gif)", "*.gif"},
    kMessages,
    kSignatureSize,
    false,
    IsSupported,
    nullptr,
    AnalyseGif,
    "Luscane.hpi ver.1.00. GIF file header and data analyzer Plug-In",
};

}  // namespace
}  // namespace luscane

const hpi::PluginDescriptor& hpi::ThisPlugin() { return luscane::kLuscane; }
