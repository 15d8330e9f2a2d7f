// The PNG message table: the signature code, then "Wrong <type> chunk!" for
// each chunk type in code order.
#include <algorithm>
#include <string>
#include <vector>

#include "pendrix.h"

namespace pendrix {
namespace {

// Codes 12 to 57, then the chunks registered after the MNG standard.
constexpr const char* kCodedTypes[] = {
    "MHDR", "TERM", "IHDR", "IEND", "PLTE", "sRGB", "bKGD", "cHRM", "gAMA", "hIST", "pHYs", "tRNS", "sBIT",
    "tEXt", "tIME", "zTXt", "iTXt", "iCCP", "sPLT", "BACK", "DEFI", "MOVE", "DHDR", "MAGN", "SHOW", "SEEK",
    "SAVE", "BASI", "LOOP", "ENDL", "FRAM", "JHDR", "CLON", "PAST", "DISC", "CLIP", "PROM", "evNT", "eXPI",
    "fPRI", "nEED", "pHYg", "DBYK", "ORDR", "DROP", "PPLT", "acTL", "fcTL", "fdAT", "eXIf", "cICP",
};

struct Table {
  std::vector<std::string> texts;
  std::vector<hpi::MessageRow> rows;
  hpi::MessageTable table{{}, true};

  Table() {
    texts.reserve(2 * std::size(kCodedTypes));
    for (const char* type : kCodedTypes) {
      texts.push_back(std::string("[HPI_PLUGIN] Wrong ") + type + " chunk!");
      texts.push_back(std::string("[HPI_PLUGIN] ") + type + "チャンクが不正です");
    }
    rows.push_back({kWrongSignature, "[HPI_PLUGIN] Wrong file signature!",
                    "[HPI_PLUGIN] 不正なファイルシグネチャーです。\nPNG/MNG/JNGのいずれのファイルでもありません。"});
    for (std::size_t i = 0; i < std::size(kCodedTypes); ++i) {
      rows.push_back({kFirstChunkCode + static_cast<int>(i), texts[2 * i].c_str(), texts[2 * i + 1].c_str()});
    }
    table.rows = rows;
  }
};

}  // namespace

int CodeOf(std::uint32_t type) {
  TypeChars text = TypeText(type);
  auto it = std::find_if(std::begin(kCodedTypes), std::end(kCodedTypes),
                         [&](const char* t) { return std::string_view(t) == text.chars; });
  return it == std::end(kCodedTypes) ? hpi::kWrongFormat : kFirstChunkCode + static_cast<int>(it - kCodedTypes);
}

const hpi::MessageTable& Messages() {
  static const Table table;
  return table.table;
}

}  // namespace pendrix
