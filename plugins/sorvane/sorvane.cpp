#include "sorvane.h"

namespace sorvane {
namespace {

constexpr hpi::MessageRow kRows[] = {
    {kWrongRiffHeader, "[HPI_PLUGIN] Wrong RIFF WAVE header!", "[HPI_PLUGIN] RIFF WAVEヘッダが不正です"},
    {kWrongRiffId, "[HPI_PLUGIN] Wrong RIFF WAVE header!", "[HPI_PLUGIN] RIFF WAVEヘッダが不正です"},
    {kWrongWaveType, "[HPI_PLUGIN] Wrong RIFF WAVE header!", "[HPI_PLUGIN] RIFF WAVEヘッダが不正です"},
    {kWrongFmt, "[HPI_PLUGIN] Wrong fmt chunk!", "[HPI_PLUGIN] fmtチャンクが不正です"},
    {kWrongFact, "[HPI_PLUGIN] Wrong fact chunk!", "[HPI_PLUGIN] factチャンクが不正です"},
    {kWrongData, "[HPI_PLUGIN] Wrong data chunk!", "[HPI_PLUGIN] dataチャンクが不正です"},
    {kWrongCue, "[HPI_PLUGIN] Wrong cue chunk!", "[HPI_PLUGIN] cueチャンクが不正です"},
    {kWrongList, "[HPI_PLUGIN] Wrong list chunk!", "[HPI_PLUGIN] listチャンクが不正です"},
    {kWrongPlst, "[HPI_PLUGIN] Wrong plst chunk!", "[HPI_PLUGIN] plstチャンクが不正です"},
    {kWrongSmpl, "[HPI_PLUGIN] Wrong smpl chunk!", "[HPI_PLUGIN] smplチャンクが不正です"},
    {kWrongInst, "[HPI_PLUGIN] Wrong inst chunk!", "[HPI_PLUGIN] instチャンクが不正です"},
    {kWrongLtxt, "[HPI_PLUGIN] Wrong ltxt chunk!", "[HPI_PLUGIN] ltxtチャンクが不正です"},
    {kWrongChunk, "[HPI_PLUGIN] Wrong chunk format!", "[HPI_PLUGIN] チャンクフォーマットが不正です"},
    {kTooManyNest, "[HPI_PLUGIN] Too many nest!", "[HPI_PLUGIN] 解析データのネストが深すぎます"},
    {kWrongExtension, "[HPI_PLUGIN] Wrong extension data!", "[HPI_PLUGIN] 拡張データフォーマットがが不正です"},
    {kWrongForm, "[HPI_PLUGIN] Wrong FORM chunk!", "[HPI_PLUGIN] FORMチャンクが不正です"},
    {kWrongFver, "[HPI_PLUGIN] Wrong Format Version chunk!", "[HPI_PLUGIN] Format Version チャンクが不正です"},
    {kWrongComm, "[HPI_PLUGIN] Wrong Common chunk!", "[HPI_PLUGIN] Common チャンクが不正です"},
    {kWrongSsnd, "[HPI_PLUGIN] Wrong Sound Data Version chunk!", "[HPI_PLUGIN] Sound Data Version チャンクが不正です"},
    {kWrongMark, "[HPI_PLUGIN] Wrong Marker chunk!", "[HPI_PLUGIN] Marker チャンクが不正です"},
    {kWrongMidi, "[HPI_PLUGIN] Wrong MIDI Data chunk!", "[HPI_PLUGIN] MIDI Data チャンクが不正です"},
    {kWrongAesd, "[HPI_PLUGIN] Wrong Audio Recording chunk!", "[HPI_PLUGIN] Audio Recording チャンクが不正です"},
    {kWrongComt, "[HPI_PLUGIN] Wrong Comments chunk!", "[HPI_PLUGIN] Comments チャンクが不正です"},
    {kWrongAppl, "[HPI_PLUGIN] Wrong Application Specific chunk!",
     "[HPI_PLUGIN] Application Specific チャンクが不正です"},
    {kWrongName, "[HPI_PLUGIN] Wrong Name chunk!", "[HPI_PLUGIN] Name チャンクが不正です"},
    {kWrongAuth, "[HPI_PLUGIN] Wrong Author chunk!", "[HPI_PLUGIN] Author チャンクが不正です"},
    {kWrongCopyright, "[HPI_PLUGIN] Wrong Copyright chunk!", "[HPI_PLUGIN] Copyright チャンクが不正です"},
    {kWrongAnno, "[HPI_PLUGIN] Wrong Annotation chunk!", "[HPI_PLUGIN] Annotation チャンクが不正です"},
};
constexpr hpi::MessageTable kMessages{kRows, true};

constexpr std::size_t kHeadSize = 12;

bool Analyse(hpi::Analysis& analysis) {
  std::uint8_t head[kHeadSize];
  int got = hpi::ReadBlock(analysis.file, head, sizeof head);
  if (got < 0) return Fail(hpi::kStreamError);
  // A file cut inside its first 12 bytes is taken by its first four, so that
  // the walker shows what is there.
  Kind kind = got == static_cast<int>(sizeof head) ? KindOf(head, sizeof head)
                                                   : KindOfPrefix(head, static_cast<std::size_t>(got));
  if (kind == kNone && got != static_cast<int>(sizeof head)) return Fail(hpi::kFileReadError);
  if (kind == kNone) return Fail(hpi::kWrongFormat);
  if (!analysis.file.Seek(0)) return Fail(hpi::kFileReadError);
  switch (kind) {
    case kWave: return AnalyseWave(analysis);
    case kAiff:
    case kAifc: return AnalyseAiff(analysis);
    default: return AnalyseAu(analysis);
  }
}

constexpr hpi::PluginDescriptor kSorvane{
    {"Sorvane.hpi ver. 1.00 RIFF/AIFF/AIFC/AU file analyze Plug-In \nCopyright (C) 2026 tarvo",
     "RIFF/AIFF file(*.wav;*.aif;*.aiff;*.aifc;*.au;*.snd)", "*.wav;*.aif;*.aiff;*.aifc;*.au;*.snd"},
    kMessages,
    kHeadSize,
    false,
    IsSupported,
    nullptr,
    Analyse,
    "Sorvane.hpi ver.1.00. WAVE/AIFF/AIFC/AU file analyzer Plug-In",
};

}  // namespace

}  // namespace sorvane

const hpi::PluginDescriptor& hpi::ThisPlugin() { return sorvane::kSorvane; }
