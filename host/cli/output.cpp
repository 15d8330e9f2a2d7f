#include "output.h"

#include "item_writers.h"
#include "json.h"
#include "strataview/host_messages.h"
#include "strataview/platform/files.h"

namespace cli {
namespace {

using namespace strataview;

void AppendOptional(std::string& out, const std::optional<std::string>& text) {
  if (text) {
    AppendJsonString(out, *text);
  } else {
    out += "null";
  }
}

// The message of an outcome that was not analysed to the end, in a language.
std::string MessageOf(const AnalysisOutcome& outcome, HostLanguage language) {
  if (!outcome.analysed) {
    return outcome.hasPluginMessage ? Cp932ToUtf8(outcome.pluginMessage)
                                    : std::string(HostMessageText(outcome.hostMessage, language));
  }
  return HostMessageText(outcome.readerFault, language);
}

// Reports end their lines in CR LF; elsewhere than on Windows a line ends in LF.
std::string ReportText(std::string_view cp932) {
  std::string text = Cp932ToUtf8(cp932);
#ifndef _WIN32
  std::size_t kept = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) text[kept++] = text[i];
  }
  text.resize(kept);
#endif
  return text;
}

}  // namespace

FileResult ResultOf(const std::string& file, std::optional<std::uint64_t> size, const AnalysisOutcome& outcome,
                    HostLanguage language, const std::optional<std::string>& english, const StreamFaults* faults) {
  FileResult result{file, size, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  if (!outcome.pluginFile.empty()) result.plugin = outcome.pluginFile;
  if (!outcome.report.empty()) result.report = ReportText(outcome.report);
  if (outcome.ok()) return result;
  if (outcome.partial && faults != nullptr && faults->count > 0) {
    result.fault = Fault{faults->last.offset, Cp932ToUtf8(faults->last.message)};
  }
  const char* kind = outcome.analysed ? "stream" : outcome.hostMessage == kMsgNoPlugin ? "unsupported" : "analysis";
  std::string local = MessageOf(outcome, language);
  std::string message = english                                         ? Cp932ToUtf8(*english)
                        : outcome.hasPluginMessage && !outcome.analysed ? local
                                                                        : MessageOf(outcome, HostLanguage::English);
  result.error = FileError{kind, message, std::nullopt};
  if (local != message) result.error->messageLocal = local;
  return result;
}

FileResult IoFailure(const std::string& file, const std::string& reason) {
  return {file, std::nullopt, std::nullopt, FileError{"io", reason, std::nullopt}, std::nullopt, std::nullopt};
}

std::string JsonHead(const FileResult& r) {
  std::string out = "{\"schema\":2,\"file\":";
  AppendJsonString(out, r.file);
  out += ",\"size\":";
  if (r.size) {
    AppendJsonNumber(out, *r.size);
  } else {
    out += "null";
  }
  out += ",\"plugin\":";
  AppendOptional(out, r.plugin);
  out += std::string(",\"ok\":") + (r.ok() ? "true" : "false") + ",\"error\":";
  if (r.error) {
    out += "{\"kind\":\"";
    out += r.error->kind;
    out += "\",\"message\":";
    AppendJsonString(out, r.error->message);
    if (r.error->messageLocal) {
      out += ",\"message_local\":";
      AppendJsonString(out, *r.error->messageLocal);
    }
    out += '}';
  } else {
    out += "null";
  }
  out += ",\"report\":";
  AppendOptional(out, r.report);
  if (r.fault) {
    out += ",\"fault\":{\"offset\":";
    AppendJsonNumber(out, r.fault->offset);
    out += ",\"message\":";
    AppendJsonString(out, r.fault->message);
    out += '}';
  }
  out += ",\"items\":[";
  return out;
}

std::string JsonTreeHead(const FileResult& r) {
  std::string out = "{\"file\":";
  AppendJsonString(out, r.file);
  out += ",\"size\":" + std::to_string(r.size.value_or(0)) + ",\"plugin\":";
  AppendOptional(out, r.plugin);
  out += std::string(",\"ok\":") + (r.ok() ? "true" : "false") + ",\"error\":";
  AppendOptional(out,
                 r.error ? std::optional<std::string>(r.error->messageLocal.value_or(r.error->message)) : std::nullopt);
  out += ",\"report\":";
  AppendOptional(out, r.report);
  out += ",\"items\":[";
  return out;
}

void EndJsonLine(std::string& out, std::FILE* file) {
  out += "]}\n";
  FlushAll(out, file);
}

}  // namespace cli
