// Frame, table, scan, restart-interval, comment and general segments.
#include "jpeg_segments.h"

#include <cstdio>
#include <cstring>

namespace tiffjpeg {
namespace {

constexpr const char* kComponentComments[] = {"for Y", "for Cb", "for Cr", "for I", "for Q"};

void WriteText(hpi::Writer& out, const char* text) {
  out.WriteValue(static_cast<std::uint32_t>(std::strlen(text)), text, hpi::ValueKind::Text);
}

// A one-byte field shown as a Text value (a byte of two nibbles).
void NibbleField(hpi::Writer& out, std::int64_t at, std::string_view name, const char* text) {
  out.WriteItem(name, kField, Off(at), 1);
  WriteText(out, text);
}

}  // namespace

std::uint8_t U8Field(hpi::Writer& out, SegmentCursor& r, std::string_view name) {
  std::int64_t at = r.Position();
  std::uint8_t v = r.U8();
  if (r.Ok()) out.WriteU8Item(name, kField, Off(at), v);
  return v;
}

std::uint16_t U16Field(hpi::Writer& out, SegmentCursor& r, std::string_view name) {
  std::int64_t at = r.Position();
  std::uint16_t v = r.U16();
  if (r.Ok()) out.WriteU16Item(name, kField, Off(at), v);
  return v;
}

bool StartsWith(const Segment& s, const std::uint8_t* id, std::size_t n) {
  return s.bytes.size() >= n && std::memcmp(s.bytes.data(), id, n) == 0;
}

void TextField(hpi::Writer& out, SegmentCursor& r, std::string_view name, std::size_t n) {
  if (!r.Need(n)) return;
  out.WriteItem(name, kField, Off(r.Position()), static_cast<std::uint32_t>(n), r.Here(), hpi::ValueKind::Text);
  r.Skip(n);
}

void WriteApplicationData(JpegContext& c, const Segment& s, std::int64_t position) {
  c.out.WriteItem("AP(Application data)", kField, Off(position), Off(s.End() - position));
}

const char* ComponentComment(std::uint8_t id) {
  return id >= 1 && id <= std::size(kComponentComments) ? kComponentComments[id - 1] : "Unkown";
}

bool WriteSof0(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  U8Field(c.out, r, "P(Data precision)");
  U16Field(c.out, r, "Y(Image pixel height)");
  U16Field(c.out, r, "X(Image pixel width)");
  std::uint8_t nf = U8Field(c.out, r, "Nf(Number of components)");
  if (!r.Ok()) return false;
  if (s.length != 3u * nf + 8) return JpegFailAt(kWrongSof0, s.at + 2);
  for (int i = 1; i <= nf; ++i) {
    char name[32];
    char text[64];
    std::snprintf(name, sizeof name, "C%d", i);
    std::uint8_t id = U8Field(c.out, r, name);
    if (!r.Ok()) return false;
    c.out.WriteComment(ComponentComment(id));
    std::int64_t at = r.Position();
    std::uint8_t hv = r.U8();
    if (!r.Ok()) return false;
    int h = hv >> 4;
    int v = hv & 0x0F;
    std::snprintf(name, sizeof name, "H/V Sampling factor%d", i);
    std::snprintf(text, sizeof text, "H%d:0x%01x(%d),V%d:0x%01x(%d)", i, h, h, i, v, v);
    NibbleField(c.out, at, name, text);
    std::snprintf(name, sizeof name, "Tq%d", i);
    U8Field(c.out, r, name);
  }
  return r.Ok();
}

// Huffman tables one after another: class and number, 16 symbol counts, the symbols.
bool WriteDht(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  while (r.Left() != 0) {
    std::int64_t at = r.Position();
    if (r.Left() < 17) return JpegFailAt(kWrongDht, at);
    std::uint8_t classNumber = r.U8();
    if (!r.Ok()) return false;
    int tc = classNumber >> 4;
    int th = classNumber & 0x0F;
    char text[64];
    char name[48];
    std::snprintf(text, sizeof text, "Tc:0x%01x(%d)", tc, tc);
    NibbleField(c.out, at, "Tc/Th(HT class/HT number)", text);
    if (th > 3 || tc > 1) return JpegFailAt(kWrongDht, at);
    std::snprintf(text, sizeof text, tc == 0 ? "Th:0x%01x(%d) DC Table" : "Th:0x%01x(%d) AC Table", th, th);
    WriteText(c.out, text);
    std::int64_t counts = r.Position();
    if (!r.Need(16)) return false;
    std::snprintf(name, sizeof name, "Table %d:Number of Symbols", th);
    c.out.WriteItem(name, kField, Off(counts), 16);
    std::uint32_t sum = 0;
    for (int i = 0; i < 16; ++i) sum += r.U8();
    if (r.Left() < sum) return JpegFailAt(kWrongDht, counts);
    std::snprintf(name, sizeof name, "Table %d:Symbols", th);
    c.out.WriteItem(name, kField, Off(r.Position()), sum);
    r.Skip(sum);
  }
  return true;
}

bool WriteDqt(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  while (r.Left() > 1) {
    std::int64_t at = r.Position();
    std::uint8_t precisionNumber = r.U8();
    if (!r.Ok()) return false;
    int pq = precisionNumber >> 4;
    int tq = precisionNumber & 0x0F;
    char text[48];
    std::snprintf(text, sizeof text, "Precision:0x%01x(%d)", pq, pq);
    NibbleField(c.out, at, "Precision/Table num", text);
    std::snprintf(text, sizeof text, "Table num:0x%01x(%d)", tq, tq);
    WriteText(c.out, text);
    if (tq > 3) return JpegFailAt(kWrongDqt, at);
    std::uint32_t table = pq != 0 ? 128 : 64;
    if (r.Left() < table) return JpegFailAt(kWrongDqt, at);
    char name[24];
    std::snprintf(name, sizeof name, "QF Table%d", tq);
    c.out.WriteItem(name, kField, Off(r.Position()), table);
    r.Skip(table);
  }
  return true;
}

// The scan header: Ns, a selector byte and a table byte per component, then Ss,
// Se and Ah/Al (one byte each in every scan, progressive ones included). The
// entropy-coded data starts right after the header.
bool WriteSos(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  std::uint8_t ns = U8Field(c.out, r, "Ns(Number of Components in scan)");
  if (!r.Ok()) return false;
  if (ns < 1 || ns > 4 || s.dataSize < 4u + 2u * ns) return JpegFailAt(kWrongSos, s.data);
  char name[80];
  char text[64];
  for (int i = 0; i < ns; ++i) {
    if (!r.Need(1)) return false;
    std::uint8_t selector = r.Here()[0];
    std::snprintf(name, sizeof name, "Cs%d(Scan component selector %d)", selector, selector);
    U8Field(c.out, r, name);
    c.out.WriteComment(ComponentComment(selector));
    std::int64_t at = r.Position();
    std::uint8_t tables = r.U8();
    if (!r.Ok()) return false;
    std::snprintf(name, sizeof name, "Td%d/Ta%d(Huffman table destination selector for DC/AC)", selector, selector);
    std::snprintf(text, sizeof text, "Td:0x%01x(%d),Ta:0x%01x(%d)", tables >> 4, tables >> 4, tables & 0x0F,
                  tables & 0x0F);
    NibbleField(c.out, at, name, text);
  }
  std::int64_t ssAt = r.Position();
  std::uint8_t ss = U8Field(c.out, r, "Ss(Start of spectral selection)");
  if (!r.Ok()) return false;
  if (c.flavour.baselineScansOnly && ss != 0) return JpegFailAt(kWrongSos, ssAt);
  U8Field(c.out, r, "Se(End of spectral selection)");
  std::int64_t at = r.Position();
  std::uint8_t approximation = r.U8();
  if (!r.Ok()) return false;
  std::snprintf(text, sizeof text, "Ah:0x%01x(%d),Al:0x%01x(%d)", approximation >> 4, approximation >> 4,
                approximation & 0x0F, approximation & 0x0F);
  NibbleField(c.out, at, "Ah/Al", text);
  return true;
}

bool WriteDri(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  U16Field(c.out, r, "Ri");
  return r.Ok();
}

bool WriteCom(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  if (!r.Need(std::min<std::size_t>(s.dataSize, hpi::kMaxPayload))) return false;
  c.out.WriteItem("Cm(Comment data)", kField, Off(s.data), s.dataSize, s.bytes.data(), hpi::ValueKind::Text);
  return true;
}

bool WriteOtherApp(JpegContext& c, const Segment& s) {
  WriteApplicationData(c, s, s.data);
  return true;
}

bool WriteGeneral(JpegContext& c, const Segment& s) {
  c.out.WriteItem("Data", kField, Off(s.data), s.dataSize);
  return true;
}

}  // namespace tiffjpeg
