// Names from the WAVE format tables: format tags, speaker positions and the
// SubFormat GUIDs of WAVE_FORMAT_EXTENSIBLE.
#include <algorithm>
#include <cstring>
#include <string>

#include "wave.h"

namespace sorvane {
namespace {

struct FormatRow {
  std::uint16_t tag;
  const char* name;
};
// Sorted by tag.
constexpr FormatRow kFormats[] = {
    {0x0001, "PCM"},
    {0x0002, "Microsoft ADPCM"},
    {0x0003, "IEEE Float"},
    {0x0004, "Compaq Computer's VSELP"},
    {0x0005, "IBM CVSD"},
    {0x0006, "ALAW"},
    {0x0007, "MULAW"},
    {0x0010, "OKI ADPCM"},
    {0x0011, "Intel's DVI ADPCM"},
    {0x0012, "Videologic's MediaSpace ADPCM"},
    {0x0013, "Sierra ADPCM"},
    {0x0014, "G.723 ADPCM"},
    {0x0015, "DSP Solution's DIGISTD"},
    {0x0016, "DSP Solution's DIGIFIX"},
    {0x0017, "Dialogic OKI ADPCM"},
    {0x0018, "MediaVision ADPCM"},
    {0x0019, "HP CU"},
    {0x0020, "Yamaha ADPCM"},
    {0x0021, "Speech Compression's Sonarc"},
    {0x0022, "DSP Group's True Speech"},
    {0x0023, "Echo Speech's EchoSC1"},
    {0x0024, "Audiofile AF36"},
    {0x0025, "APTX"},
    {0x0026, "AudioFile AF10"},
    {0x0027, "Prosody 1612"},
    {0x0028, "LRC"},
    {0x0030, "Dolby AC2"},
    {0x0031, "GSM610"},
    {0x0032, "MSNAudio"},
    {0x0033, "Antex ADPCME"},
    {0x0034, "Control Res VQLPC"},
    {0x0035, "Digireal"},
    {0x0036, "DigiADPCM"},
    {0x0037, "Control Res CR10"},
    {0x0038, "NMS VBXADPCM"},
    {0x0039, "Roland RDAC"},
    {0x003A, "EchoSC3"},
    {0x003B, "Rockwell ADPCM"},
    {0x003C, "Rockwell Digit LK"},
    {0x003D, "Xebec"},
    {0x0040, "Antex Electronics G.721"},
    {0x0041, "G.728 CELP"},
    {0x0042, "MSG723"},
    {0x0050, "MPEG Layer 1,2"},
    {0x0051, "RT24"},
    {0x0055, "MPEG Layer 3"},
    {0x0059, "Cirrus"},
    {0x0061, "ESPCM"},
    {0x0062, "Voxware (obsolete)"},
    {0x0063, "Canopus Atrac"},
    {0x0064, "G.726 ADPCM"},
    {0x0065, "G.722 ADPCM"},
    {0x0066, "DSAT"},
    {0x0067, "DSAT Display"},
    {0x0069, "Voxware Byte Aligned (obsolete)"},
    {0x0070, "Voxware AC8 (obsolete)"},
    {0x0071, "Voxware AC10 (obsolete)"},
    {0x0072, "Voxware AC16 (obsolete)"},
    {0x0073, "Voxware AC20 (obsolete)"},
    {0x0074, "Voxware MetaVoice (obsolete)"},
    {0x0075, "Voxware MetaSound (obsolete)"},
    {0x0076, "Voxware RT29HW (obsolete)"},
    {0x0077, "Voxware VR12 (obsolete)"},
    {0x0078, "Voxware VR18 (obsolete)"},
    {0x0079, "Voxware TQ40 (obsolete)"},
    {0x0080, "Softsound"},
    {0x0081, "Voxware TQ60 (obsolete)"},
    {0x0082, "MSRT24"},
    {0x0083, "G.729A"},
    {0x0084, "MVI MV12"},
    {0x0085, "DF G.726"},
    {0x0086, "DF GSM610"},
    {0x0088, "ISIAudio"},
    {0x0089, "Onlive"},
    {0x0091, "SBC24"},
    {0x0092, "Dolby AC3 SPDIF"},
    {0x0097, "ZyXEL ADPCM"},
    {0x0098, "Philips LPCBB"},
    {0x0099, "Packed"},
    {0x0100, "Rhetorex ADPCM"},
    {0x0101, "BeCubed Software's IRAT"},
    {0x0111, "Vivo G.723"},
    {0x0112, "Vivo Siren"},
    {0x0123, "Digital G.723"},
    {0x0200, "Creative ADPCM"},
    {0x0202, "Creative FastSpeech8"},
    {0x0203, "Creative FastSpeech10"},
    {0x0220, "Quarterdeck"},
    {0x0300, "FM Towns Snd"},
    {0x0400, "BTV Digital"},
    {0x0680, "VME VMPCM"},
    {0x1000, "OLIGSM"},
    {0x1001, "OLIADPCM"},
    {0x1002, "OLICELP"},
    {0x1003, "OLISBC"},
    {0x1004, "OLIOPR"},
    {0x1100, "LH Codec"},
    {0x1400, "Norris"},
    {0x1500, "Soundspace Music Compression"},
    {0x2000, "DVM"},
    {0xFFFE, "SubFormat"},
    {0xFFFF, "Development"},
};

struct Speaker {
  std::uint32_t bit;
  const char* shortName;
  const char* name;
};
constexpr Speaker kSpeakers[] = {
    {0x1, "FL", "SPEAKER_FRONT_LEFT"},
    {0x2, "FR", "SPEAKER_FRONT_RIGHT"},
    {0x4, "FC", "SPEAKER_FRONT_CENTER"},
    {0x8, "LFE", "SPEAKER_LOW_FREQUENCY"},
    {0x10, "BL", "SPEAKER_BACK_LEFT"},
    {0x20, "BR", "SPEAKER_BACK_RIGHT"},
    {0x40, "FLC", "SPEAKER_FRONT_LEFT_OF_CENTER"},
    {0x80, "FRC", "SPEAKER_FRONT_RIGHT_OF_CENTER"},
    {0x100, "BC", "SPEAKER_BACK_CENTER"},
    {0x200, "SL", "SPEAKER_SIDE_LEFT"},
    {0x400, "SR", "SPEAKER_SIDE_RIGHT"},
    {0x800, "TC", "SPEAKER_TOP_CENTER"},
    {0x1000, "TFL", "SPEAKER_TOP_FRONT_LEFT"},
    {0x2000, "TFC", "SPEAKER_TOP_FRONT_CENTER"},
    {0x4000, "TFR", "SPEAKER_TOP_FRONT_RIGHT"},
    {0x8000, "TBL", "SPEAKER_TOP_BACK_LEFT"},
    {0x10000, "TBC", "SPEAKER_TOP_BACK_CENTER"},
    {0x20000, "TBR", "SPEAKER_TOP_BACK_RIGHT"},
    {0x80000000, "ALL", "SPEAKER_ALL"},
};

// The GUID's bytes after Data1 (Data2, Data3 in the file's byte order, Data4).
struct GuidTail {
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};
// KSDATAFORMAT_SUBTYPE_xxx GUIDs are {tag-0000-0010-8000-00AA00389B71} with the format tag in Data1.
constexpr GuidTail kMediaSubtype = {0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GuidTail kAmbisonic = {0x0721, 0x11D3, {0x86, 0x44, 0xC8, 0xC1, 0xCA, 0x00, 0x00, 0x00}};

struct SubFormat {
  std::uint32_t data1;
  const GuidTail* tail;
  const char* name;
};
constexpr SubFormat kSubFormats[] = {
    {0x0001, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_PCM"},
    {0x0002, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_ADPCM"},
    {0x0003, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_IEEE_FLOAT"},
    {0x0006, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_ALAW"},
    {0x0007, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_MULAW"},
    {0x0050, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_MPEG"},
    {0x0092, &kMediaSubtype, "KSDATAFORMAT_SUBTYPE_IEC61937_DOLBY_DIGITAL"},
    {0x0001, &kAmbisonic, "KSDATAFORMAT_SUBTYPE_AMBISONIC_B_FORMAT_PCM"},
    {0x0003, &kAmbisonic, "KSDATAFORMAT_SUBTYPE_AMBISONIC_B_FORMAT_IEEE_FLOAT"},
};

}  // namespace

const char* FormatName(std::uint32_t formatTag) {
  std::uint16_t tag = static_cast<std::uint16_t>(formatTag);
  const FormatRow* row = std::lower_bound(std::begin(kFormats), std::end(kFormats), tag,
                                          [](const FormatRow& r, std::uint16_t t) { return r.tag < t; });
  return row != std::end(kFormats) && row->tag == tag ? row->name : "Unknown Format";
}

const char* SubFormatName(const SoundFile& file, const std::uint8_t guid[16]) {
  std::uint32_t data1 = file.Number(guid, 4);
  std::uint32_t data2 = file.Number(guid + 4, 2);
  std::uint32_t data3 = file.Number(guid + 6, 2);
  for (const SubFormat& known : kSubFormats) {
    const GuidTail& tail = *known.tail;
    if (known.data1 == data1 && tail.data2 == data2 && tail.data3 == data3 &&
        std::memcmp(tail.data4, guid + 8, 8) == 0) {
      return known.name;
    }
  }
  return nullptr;
}

void WriteSpeakers(hpi::Writer& out, std::uint32_t channelMask) {
  std::string names;
  for (const Speaker& speaker : kSpeakers) {
    if ((channelMask & speaker.bit) == 0) continue;
    if (!names.empty()) names += ' ';
    names += speaker.shortName;
  }
  out.WriteComment(names.empty() ? "no speaker positions" : names);
  for (const Speaker& speaker : kSpeakers) {
    if ((channelMask & speaker.bit) != 0) out.WriteNote(speaker.name);
  }
}

}  // namespace sorvane
