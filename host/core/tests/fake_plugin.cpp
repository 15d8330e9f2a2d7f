// A stand-in plug-in for the manager and driver tests, built several times with
// different names, patterns and accepted first bytes (FAKE_* definitions).
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "hpi/exports.h"

namespace {

constexpr char kMessages[2][32] = {"[FAKE] 偽の失敗", "[FAKE] fake failure"};
int language = 0;

}  // namespace

extern "C" {

#ifndef FAKE_WITHOUT_INFO
HPI_EXPORT void HPI_CALL HPI_GetPluginInfo(char* info) {
  std::strcpy(info, "HPI00001");
  std::strcpy(info + hpi::kInfoDescriptionOffset, FAKE_NAME " description\nfake");
  for (char* field : {std::strcpy(info + hpi::kInfoFilterNameOffset, FAKE_NAME "(" FAKE_PATTERN ")"),
                      std::strcpy(info + hpi::kInfoFilterPatternOffset, FAKE_PATTERN)}) {
    for (char* c = field; *c != '\0'; ++c) *c = *c == '|' ? ';' : *c;
  }
}
#endif

HPI_EXPORT int HPI_CALL HPI_IsSupported(const void* source, int isPath, int reserved) {
  if (isPath != 0 || reserved != hpi::kSupportReserved) return 0;
  return std::strchr(FAKE_ACCEPTS, static_cast<const char*>(source)[0]) != nullptr ? 1 : 0;
}

HPI_EXPORT int HPI_CALL HPI_SetLanguage(int value) {
  language = value == 1 ? 1 : 0;
  return 1;
}

HPI_EXPORT void HPI_CALL HPI_GetLastErrMsg(char* buffer) { std::strcpy(buffer, kMessages[language]); }

// Succeeds with a root item named after the plug-in, unless the file's second byte is '!'.
HPI_EXPORT std::uint32_t HPI_CALL HPI_GetHeadAnalyzedData(const char* path, HpiMemHandle* stream, int, int, int,
                                                          HpiMemHandle*) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return 0;
  char head[2] = {};
  std::size_t got = std::fread(head, 1, 2, f);
  std::fclose(f);
  if (got == 2 && head[1] == '!') return 0;
  const char name[] = FAKE_NAME;
  std::uint32_t length = 2 + sizeof name - 1;
  *stream = HpiMemAlloc(length);
  auto* bytes = static_cast<unsigned char*>(HpiMemLock(*stream));
  bytes[0] = sizeof name - 1;
  bytes[1] = 0x50;
  std::memcpy(bytes + 2, name, sizeof name - 1);
  HpiMemUnlock(*stream);
  return length;
}

HPI_EXPORT int HPI_CALL HPI_ShowVer(HpiWindow) { return 1; }
}
