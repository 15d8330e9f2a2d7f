// What a plug-in adds to the framework: its identity, its message table, its
// support test and its analysis. Each plug-in defines ThisPlugin(); the
// framework's exports do the rest.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hpi/binary_file.h"
#include "hpi/messages.h"
#include "hpi/report.h"
#include "hpi/writer.h"

namespace hpi {

// The state of one analysis, handed to the plug-in's walker.
struct Analysis {
  BinaryFile& file;
  std::uint64_t fileSize;
  Writer& out;
  const char* rootName;  // the root item's text
  Report* report;        // null when the host asked for no report
};

struct PluginInfo {
  const char* description;  // first line, a line feed, a copyright notice
  const char* filterName;
  const char* filterPattern;
};

struct PluginDescriptor {
  PluginInfo info;
  const MessageTable& messages;  // the plug-in's first table
  // Bytes the support test needs from a path; a shorter file is unsupported
  // unless zeroFillShortFiles is set, in which case the rest is zero-filled.
  std::size_t supportBytes;
  bool zeroFillShortFiles;
  // The support test on the file's first bytes: nonzero when supported.
  int (*isSupported)(const std::uint8_t* head, std::size_t length);
  // Checks before the root item is written; records its code and returns false on failure.
  bool (*preCheck)(Analysis& analysis);
  // The analysis after the root item; records its code and returns false on failure.
  bool (*analyse)(Analysis& analysis);
  // The version dialog's texts (shown on standard error where there is no GUI).
  const char* versionLine;
};

const PluginDescriptor& ThisPlugin();

// Writes the recorded failure as a fault item at this place in the tree and
// clears it, so that the walk can go on after a nested walk failed (a warning).
// False when the stream refused the item.
bool WriteRecordedFault(Writer& out, std::uint64_t fileSize);
inline bool WriteRecordedFault(Analysis& analysis) { return WriteRecordedFault(analysis.out, analysis.fileSize); }

// A pre-check shared by plug-ins that cannot analyse an empty file.
bool RequireNonEmptyFile(Analysis& analysis);

// The part of a path after its last folder separator; empty when there is none.
const char* RootNameOf(const char* path);

}  // namespace hpi
