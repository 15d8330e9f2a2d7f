#include "strataview/coverage.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_set>

#include "hpi/hpi.h"
#include "strataview/item_tree.h"
#include "strataview/platform/files.h"
#include "strataview/value_format.h"

namespace strataview {
namespace {

std::uint64_t End(const ByteRange& r) { return r.offset + r.size; }

// Texts of the added items, Shift-JIS as every item text.
struct CoverageTexts {
  const char* heading;
  const char* gap;
  const char* pastEndPrefix;
  const char* overrunNote;  // bytes past the end
  const char* overlapNote;  // other item, shared bytes, where they start
};

constexpr CoverageTexts kEnglish = {"Unexplained bytes", "Unexplained",
                                    "Past the end of the file: ", "runs %llu bytes past the end of the file",
                                    "overlaps %s by %llu bytes from 0x%llx"};
// 未解析のバイト, 未解析, ファイルの終わりを越えた部分, ファイルの終わりを %llu バイト越えています,
// %s と %llu バイト重なっています (0x%llx から)
constexpr CoverageTexts kJapanese = {
    "\x96\xa2\x89\xf0\x90\xcd\x82\xcc\x83o\x83"
    "C\x83g",
    "\x96\xa2\x89\xf0\x90\xcd",
    "\x83t\x83@\x83"
    "C\x83\x8b\x82\xcc\x8fI\x82\xed\x82\xe8\x82\xf0\x89z\x82\xa6\x82\xbd\x95\x94\x95\xaa: ",
    "\x83t\x83@\x83"
    "C\x83\x8b\x82\xcc\x8fI\x82\xed\x82\xe8\x82\xf0 %llu \x83o\x83"
    "C\x83g\x89z\x82\xa6\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    "%s \x82\xc6 %llu \x83o\x83"
    "C\x83g\x8f"
    "d\x82\xc8\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7 (0x%llx \x82\xa9\x82\xe7)",
};

void MergeInto(std::vector<ByteRange>& covered, const ByteRange& r) {
  if (!covered.empty() && r.offset <= End(covered.back())) {
    covered.back().size = std::max(End(covered.back()), End(r)) - covered.back().offset;
  } else {
    covered.push_back(r);
  }
}

// Siblings in offset order: each is compared with the one before it that
// reaches furthest. A sibling inside another is a detail of it, not an overlap;
// two that claim the same bytes are.
void FindOverlaps(std::span<const RangedItem> siblings, std::vector<Overlap>& overlaps) {
  const RangedItem* furthest = nullptr;
  for (const RangedItem& item : siblings) {
    if (furthest != nullptr && item.range.offset < End(furthest->range)) {
      bool same = item.range.offset == furthest->range.offset && item.range.size == furthest->range.size;
      bool inside = End(item.range) <= End(furthest->range);
      if (same || !inside) {
        std::uint64_t shared = std::min(End(item.range), End(furthest->range)) - item.range.offset;
        overlaps.push_back({furthest->item, item.item, {item.range.offset, shared}});
      }
    }
    if (furthest == nullptr || End(item.range) > End(furthest->range)) furthest = &item;
  }
}

std::string Number(hpi::RecordClass cls, std::uint64_t value) {
  std::uint8_t bytes[8];
  std::size_t width = value > 0xFFFFFFFFu ? 8 : 4;
  for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  std::string text;
  FormatValue(cls, width, bytes, text);
  return text;
}

void AddRangeItem(ItemTree& tree, ItemHandle parent, std::string_view name, const ByteRange& range) {
  std::optional<ItemHandle> item = tree.Insert(parent, name, kImageFolder);
  if (!item) return;
  tree.Insert(*item, Number(hpi::RecordClass::Offset, range.offset), kImageOffset);
  tree.Insert(*item, Number(hpi::RecordClass::Size, range.size), kImageSize);
}

void AddNote(ItemTree& tree, ItemHandle item, const char* text) { tree.Insert(item, text, kImageNote); }

}  // namespace

Coverage FindCoverage(std::vector<RangedItem> items, std::uint64_t fileSize) {
  Coverage coverage;
  std::erase_if(items, [](const RangedItem& i) { return i.range.size == 0; });

  std::unordered_set<ItemHandle> overrunning;
  for (const RangedItem& i : items) {
    if (End(i.range) > fileSize) overrunning.insert(i.item);
  }
  for (const RangedItem& i : items) {
    if (End(i.range) <= fileSize) continue;
    std::uint64_t from = std::max(i.range.offset, fileSize);
    coverage.overruns.push_back({i.item, {from, End(i.range) - from}, !overrunning.contains(i.parent)});
  }

  std::sort(items.begin(), items.end(), [](const RangedItem& a, const RangedItem& b) {
    return a.parent != b.parent ? a.parent < b.parent : a.range.offset < b.range.offset;
  });
  for (std::size_t from = 0; from < items.size();) {
    std::size_t to = from;
    while (to < items.size() && items[to].parent == items[from].parent) ++to;
    FindOverlaps(std::span(items).subspan(from, to - from), coverage.overlaps);
    from = to;
  }

  std::vector<ByteRange> covered;
  std::sort(items.begin(), items.end(),
            [](const RangedItem& a, const RangedItem& b) { return a.range.offset < b.range.offset; });
  for (const RangedItem& i : items) {
    if (i.range.offset >= fileSize) continue;
    MergeInto(covered, {i.range.offset, std::min(End(i.range), fileSize) - i.range.offset});
  }
  std::uint64_t at = 0;
  for (const ByteRange& r : covered) {
    if (r.offset > at) coverage.unexplained.push_back({at, r.offset - at});
    coverage.explained += r.size;
    at = End(r);
  }
  if (at < fileSize) coverage.unexplained.push_back({at, fileSize - at});
  return coverage;
}

std::vector<RangedItem> RangedItemsOf(const ItemTree& tree) {
  std::vector<RangedItem> items;
  const std::vector<Item>& all = tree.Items();
  for (ItemHandle h = 0; h < all.size(); ++h) {
    if (!MayHaveRange(all[h].image) || all[h].image == kImageFault) continue;
    if (std::optional<ByteRange> range = tree.RangeOf(h)) items.push_back({h, all[h].parent, *range});
  }
  return items;
}

void AddCoverageItems(const Coverage& coverage, HostLanguage language, ItemTree& tree) {
  if (coverage.Clean()) return;
  const CoverageTexts& texts = language == HostLanguage::English ? kEnglish : kJapanese;
  char note[hpi::kMaxPayload + 1];
  for (const Overrun& o : coverage.overruns) {
    std::snprintf(note, sizeof note, texts.overrunNote, static_cast<unsigned long long>(o.pastEnd.size));
    AddNote(tree, o.item, note);
  }
  for (const Overlap& o : coverage.overlaps) {
    for (auto [self, other] : {std::pair{o.first, o.second}, std::pair{o.second, o.first}}) {
      std::string name(tree.At(other).text.substr(0, 200));
      std::snprintf(note, sizeof note, texts.overlapNote, name.c_str(), static_cast<unsigned long long>(o.shared.size),
                    static_cast<unsigned long long>(o.shared.offset));
      AddNote(tree, self, note);
    }
  }
  if (coverage.unexplained.empty() && coverage.overruns.empty()) return;
  std::optional<ItemHandle> heading = tree.Insert(kNoItem, texts.heading, kImageFolder);
  if (!heading) return;
  for (const ByteRange& gap : coverage.unexplained) AddRangeItem(tree, *heading, texts.gap, gap);
  for (const Overrun& o : coverage.overruns) {
    if (!o.outermost) continue;
    std::string name = texts.pastEndPrefix + std::string(tree.At(o.item).text.substr(0, 200));
    AddRangeItem(tree, *heading, name, o.pastEnd);
  }
}

void AccountForEveryByte(const std::string& path, HostLanguage language, ItemTree& tree) {
  std::unique_ptr<ReadOnlyFile> file = ReadOnlyFile::Open(path);
  std::int64_t size = file ? file->Size() : -1;
  if (size < 0) return;
  AddCoverageItems(FindCoverage(RangedItemsOf(tree), static_cast<std::uint64_t>(size)), language, tree);
}

}  // namespace strataview
