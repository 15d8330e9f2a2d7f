// The plug-in interface shared by the host and every plug-in: the six exports,
// the info and head record layouts, the analysed-data stream's tag words and the
// memory blocks that carry a stream or a report from a plug-in to the host.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__MINGW32__)
#define HPI_PRINTF(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define HPI_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

#if defined(_WIN32)
#include <windows.h>
#define HPI_CALL WINAPI
#define HPI_EXPORT __declspec(dllexport)
using HpiMemHandle = HLOCAL;
using HpiWindow = HWND;
#else
#include <cstdlib>
#define HPI_CALL
#define HPI_EXPORT __attribute__((visibility("default")))
using HpiMemHandle = void*;
using HpiWindow = void*;
#endif

namespace hpi {

// Plug-in info record filled by HPI_GetPluginInfo: NUL-terminated fields at fixed offsets.
inline constexpr std::size_t kInfoIdOffset = 0;
inline constexpr std::size_t kInfoIdSize = 10;
inline constexpr std::size_t kInfoReservedOffset = 10;
inline constexpr std::size_t kInfoDescriptionOffset = 27;
inline constexpr std::size_t kInfoDescriptionSize = 256;
inline constexpr std::size_t kInfoFilterNameOffset = 283;
inline constexpr std::size_t kInfoFilterNameSize = 100;
inline constexpr std::size_t kInfoFilterPatternOffset = 383;
inline constexpr std::size_t kInfoFilterPatternSize = 100;
inline constexpr std::size_t kInfoRecordSize = 483;
inline constexpr char kInterfaceId[] = "HPI00001";

// Head record offered to HPI_IsSupported: the file's first bytes (zero-padded),
// the low 32 bits of its size, its lower-case extension.
inline constexpr std::size_t kHeadBytes = 2000;
inline constexpr std::size_t kHeadSizeOffset = 2000;
inline constexpr std::size_t kHeadExtensionOffset = 2004;
inline constexpr std::size_t kHeadExtensionSize = 244;
inline constexpr std::size_t kHeadRecordSize = kHeadExtensionOffset + kHeadExtensionSize;
inline constexpr int kSupportReserved = 1112;

// Partial analyses. HPI_GetHeadAnalyzedData's first reserved argument carries
// request flags from the host; a host that passes 0 gets what it always got.
//
// With kRequestPartial set, a failed analysis still reports failure and still
// leaves its message for HPI_GetLastErrMsg, but hands over the stream written up
// to the failure: every complete record, then one fault item. The result is then
// the stream's length with kPartialResult set (0 as before when nothing could be
// handed over, such as a file that cannot be opened); a stream therefore never
// grows past kMaxStreamLength.
//
// A fault item is a name record at level 15 (kFaultLevel: the attribute level,
// which no other name record uses) holding the plug-in's message, followed by an
// offset record (where the failing read or check happened) and a size record (the
// bytes from there to the end of the file, 0 at or past the end). The host places
// it as a field of the innermost open group. A partial stream ends with its fault
// item; a fault item inside a successful stream is a warning after which the walk
// went on (a nested structure that could not be read, for instance).
inline constexpr int kRequestPartial = 0x1;
inline constexpr std::uint32_t kPartialResult = 0x80000000u;
inline constexpr std::uint32_t kMaxStreamLength = 0x7FFFFFFFu;
inline constexpr int kFaultLevel = 15;

// Message buffer handed to HPI_GetLastErrMsg.
inline constexpr std::size_t kMessageBufferSize = 260;

enum Language : int { kJapanese = 0, kEnglish = 1 };

// Analysed-data stream: records of a little-endian tag word (class, level, length)
// followed by the payload.
enum class RecordClass : std::uint8_t {
  Offset = 0x0,
  Size = 0x1,
  Unsigned = 0x2,
  Text = 0x3,
  Hex = 0x4,
  Name = 0x5,
  Comment = 0x6,
  Note = 0x7,
  Signed = 0x8,
  Real = 0x9,
  Long = 0xA,
  LongHex = 0xB,
  GroupEnd = 0xE,
  Stop = 0xF,
};

inline constexpr int kRootLevel = 0;
inline constexpr int kFieldLevel = 14;
inline constexpr int kAttributeLevel = 15;
inline constexpr std::size_t kMaxPayload = 255;

constexpr std::uint16_t Tag(RecordClass cls, int level, std::size_t length) {
  return static_cast<std::uint16_t>((static_cast<unsigned>(cls) << 12) | ((static_cast<unsigned>(level) & 0xF) << 8) |
                                    (length & 0xFF));
}
constexpr RecordClass TagClass(std::uint16_t tag) { return static_cast<RecordClass>(tag >> 12); }
constexpr int TagLevel(std::uint16_t tag) { return (tag >> 8) & 0xF; }
constexpr std::size_t TagLength(std::uint16_t tag) { return tag & 0xFF; }

constexpr bool IsTextClass(RecordClass c) {
  return c == RecordClass::Name || c == RecordClass::Text || c == RecordClass::Note;
}

// The class and width pairs a numeric record may have. Offsets and sizes take 8
// bytes for positions past 4 GiB (tags 0x0F08, 0x1F08); below that they take 4.
constexpr bool IsNumericClass(RecordClass c) {
  switch (c) {
    case RecordClass::Offset:
    case RecordClass::Size:
    case RecordClass::Unsigned:
    case RecordClass::Hex:
    case RecordClass::Signed:
    case RecordClass::Real:
    case RecordClass::Long:
    case RecordClass::LongHex: return true;
    default: return false;
  }
}
constexpr bool IsValidNumeric(RecordClass c, std::size_t width) {
  switch (c) {
    case RecordClass::Unsigned:
    case RecordClass::Hex:
    case RecordClass::Signed: return width >= 1 && width <= 4;
    case RecordClass::Offset:
    case RecordClass::Size: return (width >= 1 && width <= 4) || width == 8;
    case RecordClass::Real: return width == 4 || width == 8;
    case RecordClass::Long:
    case RecordClass::LongHex: return width == 8;
    default: return false;
  }
}

}  // namespace hpi

// Memory blocks handed from a plug-in to the host. On Windows they are moveable
// local-memory blocks; elsewhere plain heap blocks of the one C runtime that the
// host and its plug-ins share. The host owns every block it receives and frees it
// with HpiMemFree.
#if defined(_WIN32)
inline HpiMemHandle HpiMemAlloc(std::size_t bytes) { return LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes); }
inline void* HpiMemLock(HpiMemHandle h) { return LocalLock(h); }
inline void HpiMemUnlock(HpiMemHandle h) { LocalUnlock(h); }
inline void HpiMemFree(HpiMemHandle h) { LocalFree(h); }
#else
inline HpiMemHandle HpiMemAlloc(std::size_t bytes) { return std::calloc(bytes ? bytes : 1, 1); }
inline void* HpiMemLock(HpiMemHandle h) { return h; }
inline void HpiMemUnlock(HpiMemHandle) {}
inline void HpiMemFree(HpiMemHandle h) { std::free(h); }
#endif

// The six exports. The host binds them by name at run time through these types.
extern "C" {
using HpiGetPluginInfoFn = void(HPI_CALL*)(char* info);
using HpiIsSupportedFn = int(HPI_CALL*)(const void* source, int isPath, int reserved);
using HpiSetLanguageFn = int(HPI_CALL*)(int language);
using HpiGetLastErrMsgFn = void(HPI_CALL*)(char* buffer);
using HpiGetHeadAnalyzedDataFn = std::uint32_t(HPI_CALL*)(const char* path, HpiMemHandle* stream, int requestFlags,
                                                          int reserved2, int reserved3, HpiMemHandle* report);
using HpiShowVerFn = int(HPI_CALL*)(HpiWindow owner);
}
