// The six exports as a plug-in defines them (the host binds them by name instead).
#pragma once

#include "hpi/hpi.h"

extern "C" {
HPI_EXPORT void HPI_CALL HPI_GetPluginInfo(char* info);
HPI_EXPORT int HPI_CALL HPI_IsSupported(const void* source, int isPath, int reserved);
HPI_EXPORT int HPI_CALL HPI_SetLanguage(int language);
HPI_EXPORT void HPI_CALL HPI_GetLastErrMsg(char* buffer);
HPI_EXPORT std::uint32_t HPI_CALL HPI_GetHeadAnalyzedData(const char* path, HpiMemHandle* stream, int reserved1,
                                                          int reserved2, int reserved3, HpiMemHandle* report);
HPI_EXPORT int HPI_CALL HPI_ShowVer(HpiWindow owner);
}
