// Carries one file to the first plug-in that accepts it, runs the analysis and
// reads the returned stream into an item sink.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "hpi/hpi.h"
#include "strataview/host_messages.h"
#include "strataview/item_sink.h"
#include "strataview/plugin_manager.h"
#include "strataview/stream_reader.h"

namespace strataview {

using HeadRecord = std::array<std::uint8_t, hpi::kHeadRecordSize>;

// The file's first 2000 bytes (zero-padded), the low 32 bits of its size and its
// lower-case extension; nothing when the file cannot be opened or sized.
std::optional<HeadRecord> BuildHeadRecord(const std::string& path);
// The text from the path's last '.' to its end, lower-cased; empty without a '.'.
std::string LowerExtension(const std::string& path);

enum class PluginChoice {
  EnabledOnly,  // as the GUI: only plug-ins the user enabled
  All,          // as the command line: every plug-in found
};

struct AnalysisOutcome {
  bool analysed = false;          // the plug-in returned the stream of a whole analysis
  bool partial = false;           // it failed, and handed over what it found before the fault
  int hostMessage = kMsgNoError;  // the host message to show when no plug-in message is set
  bool hasPluginMessage = false;
  std::string pluginMessage;      // the plug-in's own message (Shift-JIS)
  std::string pluginFile;         // the chosen plug-in, or empty
  int readerFault = kMsgNoError;  // the reader's message number, 0 when the stream was read whole
  std::string report;             // the plug-in's file report (Shift-JIS), or empty
  std::uint32_t streamLength = 0;
  bool ok() const { return analysed && readerFault == kMsgNoError; }
};

// Reads a returned stream, whole or partial, while its block is held: gets the outcome so far and the
// stream's bytes, returns the reader's message number (0 when read whole).
using StreamConsumer = std::function<int(const AnalysisOutcome&, std::uint32_t length, const std::uint8_t* stream)>;

class AnalysisDriver {
 public:
  AnalysisDriver(const PluginManager& plugins, hpi::Language language, PluginChoice choice = PluginChoice::EnabledOnly)
      : plugins_(plugins), language_(language), choice_(choice) {}

  // The position of the first plug-in that accepts the file: those whose
  // extension list holds the file's extension first, then the others.
  std::optional<std::size_t> ChoosePlugin(const std::string& path) const;
  // Chooses, runs and reads: items go to the sink as the stream is read, and the
  // fault items met to faults when it is given.
  AnalysisOutcome Analyse(const std::string& path, ItemSink& sink, StreamFaults* faults = nullptr) const;
  // Chooses and runs; the consumer reads the stream before its block is freed.
  AnalysisOutcome Analyse(const std::string& path, const StreamConsumer& consume) const;

 private:
  bool Offers(const PluginEntry& entry) const { return choice_ == PluginChoice::All || entry.enabled; }
  bool Accepts(const PluginEntry& entry, const HeadRecord& head) const;

  const PluginManager& plugins_;
  hpi::Language language_;
  PluginChoice choice_;
};

}  // namespace strataview
