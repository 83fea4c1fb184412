// Reads the active worksheet of a BIFF workbook (.xls of Excel 97 and later,
// and of Excel 5 and 95): the compound file is opened with libgsf, the
// workbook stream's records are read here. Every length is checked against
// what is left of its record and stream, so a truncated or crafted file fails
// with a reason.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>
#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "workbook/CellFormat.h"
#include "workbook/WorkbookFiles.h"

namespace sx {

namespace {

// ---- the compound file --------------------------------------------------------

template <typename T>
struct GObject {
  T* p = nullptr;
  explicit GObject(T* o) : p(o) {}
  ~GObject() {
    if (p) g_object_unref(p);
  }
  GObject(const GObject&) = delete;
  GObject& operator=(const GObject&) = delete;
};

std::string TakeError(GError* error, const char* fallback) {
  std::string text = error && error->message ? error->message : fallback;
  if (error) g_error_free(error);
  return text;
}

// The workbook stream of a compound file: "Workbook" (Excel 97 and later) or
// "Book" (Excel 5 and 95).
std::string WorkbookStream(GsfInput* input) {
  GError* error = nullptr;
  GObject<GsfInfile> ole(gsf_infile_msole_new(input, &error));
  if (!ole.p) throw Error("its compound file is damaged (" + TakeError(error, "unreadable") + ")");
  GsfInput* child = gsf_infile_child_by_name(ole.p, "Workbook");
  if (!child) child = gsf_infile_child_by_name(ole.p, "Book");
  if (!child) throw Error("it holds no workbook stream, so it is not a workbook");
  GObject<GsfInput> stream(child);
  gsf_off_t size = gsf_input_size(stream.p);
  if (size < 0 || static_cast<std::uint64_t>(size) > kMaxPartBytes)
    throw Error("its workbook stream is larger than a workbook may hold");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t n = std::min<std::size_t>(bytes.size() - done, 1 << 20);
    if (!gsf_input_read(stream.p, n, reinterpret_cast<guint8*>(bytes.data() + done)))
      throw Error("its workbook stream is truncated");
    done += n;
  }
  return bytes;
}

void InitGsf() {
  static std::once_flag once;
  std::call_once(once, [] { gsf_init(); });
}

// ---- records ----------------------------------------------------------------------

enum : std::uint16_t {
  kFormula = 0x0006, kEof = 0x000A, kDateMode = 0x0022, kFilePass = 0x002F, kContinue = 0x003C,
  kWindow1 = 0x003D, kCodePage = 0x0042, kBoundSheet = 0x0085, kMulRk = 0x00BD, kRString = 0x00D6,
  kXf = 0x00E0, kSst = 0x00FC, kLabelSst = 0x00FD, kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205,
  kString = 0x0207, kRk = 0x027E, kFormat = 0x041E, kBof = 0x0809,
};

struct Record {
  std::uint16_t type = 0;
  std::string_view data;
  std::size_t offset = 0;  // of the record's header in the stream
};

// Reads records one after the other; a record's length beyond the stream's
// end is a truncated file.
class Records {
 public:
  explicit Records(std::string_view stream) : s_(stream) {}
  std::size_t Tell() const { return pos_; }
  void Seek(std::size_t offset) {
    if (offset > s_.size()) throw Error("a sheet lies beyond the end of the workbook stream");
    pos_ = offset;
  }
  bool Next(Record& r) {
    if (pos_ + 4 > s_.size()) return false;
    r.offset = pos_;
    r.type = U16(s_, pos_);
    std::size_t length = U16(s_, pos_ + 2);
    if (pos_ + 4 + length > s_.size()) throw Error("the workbook stream is truncated");
    r.data = s_.substr(pos_ + 4, length);
    pos_ += 4 + length;
    return true;
  }
  // The data of the CONTINUE records that follow, each a separate piece.
  std::vector<std::string_view> Continues() {
    std::vector<std::string_view> pieces;
    Record r;
    std::size_t at = pos_;
    while (Next(r) && r.type == kContinue) {
      pieces.push_back(r.data);
      at = pos_;
    }
    pos_ = at;
    return pieces;
  }

  static std::uint16_t U16(std::string_view d, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8);
  }
  static std::uint32_t U32(std::string_view d, std::size_t at) {
    return static_cast<std::uint32_t>(U16(d, at)) | static_cast<std::uint32_t>(U16(d, at + 2)) << 16;
  }
  static double F64(std::string_view d, std::size_t at) {
    std::uint64_t bits = static_cast<std::uint64_t>(U32(d, at)) | static_cast<std::uint64_t>(U32(d, at + 4)) << 32;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

// A record's data with bounds: reading past its end throws.
class Cursor {
 public:
  explicit Cursor(std::string_view d) : d_(d) {}
  void Need(std::size_t n) const {
    if (at_ + n > d_.size()) throw Error("a record of the workbook is shorter than its contents");
  }
  std::uint8_t U8() {
    Need(1);
    return static_cast<std::uint8_t>(d_[at_++]);
  }
  std::uint16_t U16() {
    Need(2);
    at_ += 2;
    return Records::U16(d_, at_ - 2);
  }
  std::uint32_t U32() {
    Need(4);
    at_ += 4;
    return Records::U32(d_, at_ - 4);
  }
  double F64() {
    Need(8);
    at_ += 8;
    return Records::F64(d_, at_ - 8);
  }
  std::string_view Bytes(std::size_t n) {
    Need(n);
    at_ += n;
    return d_.substr(at_ - n, n);
  }
  std::size_t Left() const { return d_.size() - at_; }

 private:
  std::string_view d_;
  std::size_t at_ = 0;
};

// ---- text -----------------------------------------------------------------------

// Characters of a BIFF8 string: one byte each (the low byte of UTF-16) when
// the high-byte flag is clear, otherwise UTF-16LE.
void ReadChars(Cursor& c, std::size_t count, bool wide, std::vector<std::uint16_t>& units) {
  if (wide) {
    std::string_view b = c.Bytes(count * 2);
    for (std::size_t i = 0; i < count; ++i) units.push_back(Records::U16(b, i * 2));
  } else {
    for (unsigned char ch : c.Bytes(count)) units.push_back(ch);
  }
}

// An 8-bit string of an Excel 5 workbook, in the workbook's code page.
class CodePage {
 public:
  void Set(std::uint16_t page) { page_ = page; }
  std::string Decode(std::string_view bytes) const {
    bool ascii = true;
    for (unsigned char ch : bytes) ascii = ascii && ch < 0x80;
    if (ascii) return std::string(bytes);
    std::string name = page_ == 0 || page_ == 0x8000 || page_ == 1200 ? "CP1252" : "CP" + std::to_string(page_);
    if (page_ == 10000) name = "MACINTOSH";
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw Error("its code page " + std::to_string(page_) + " is unknown");
    std::string out(bytes.size() * 4 + 4, '\0');
    std::string in(bytes);
    char* src = in.data();
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
      if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
      if (dstLeft < 3) break;
      // A byte the code page does not map: U+FFFD, and on.
      std::memcpy(dst, "\xEF\xBF\xBD", 3);
      dst += 3;
      dstLeft -= 3;
      ++src;
      --srcLeft;
    }
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  std::uint16_t page_ = 0;
};

// ---- the workbook -----------------------------------------------------------------------

struct Sheet {
  std::uint32_t offset;
  std::uint8_t type;  // 0 a worksheet; charts, macro and module sheets otherwise
  std::string name;
};

class BiffReader {
 public:
  BiffReader(std::string_view stream, SheetCells& cells) : records_(stream), cells_(cells) {}

  void Read() {
    Record r;
    if (!records_.Next(r) || r.type != kBof || r.data.size() < 4)
      throw Error("its workbook stream does not begin a workbook");
    std::uint16_t version = Records::U16(r.data, 0);
    if (version != 0x0600 && version != 0x0500)
      throw Error("it was saved in an Excel format older than Excel 5, which cannot be read");
    biff8_ = version == 0x0600;
    if (Records::U16(r.data, 2) != 0x0005) throw Error("its workbook stream does not begin a workbook");
    ReadGlobals();
    if (sheets_.empty()) throw Error("the workbook has no sheet");
    std::size_t active = activeTab_ < sheets_.size() ? activeTab_ : 0;
    if (sheets_[active].type != 0)
      throw Error("the workbook's active sheet \"" + sheets_[active].name + "\" is not a worksheet");
    ReadSheet(sheets_[active].offset);
  }

 private:
  void ReadGlobals() {
    Record r;
    while (records_.Next(r)) {
      Cursor c(r.data);
      switch (r.type) {
        case kEof: return;
        case kFilePass: throw Error("it is protected with a password");
        case kCodePage: codePage_.Set(c.U16()); break;
        case kDateMode: date1904_ = c.U16() == 1; break;
        case kWindow1:
          // The first window's selected tab is the active sheet.
          c.Bytes(10);
          if (!sawWindow_) activeTab_ = c.U16();
          sawWindow_ = true;
          break;
        case kFormat: {
          std::uint16_t id = c.U16();
          std::string code = biff8_ ? LongString(c) : ByteString(c);
          if (formats_.size() < 100000) formats_[id] = IsDateFormatCode(code);
          break;
        }
        case kXf:
          c.U16();
          if (xfFormats_.size() < 1000000) xfFormats_.push_back(c.U16());
          break;
        case kBoundSheet: {
          Sheet s;
          s.offset = c.U32();
          c.U8();
          s.type = c.U8();
          s.name = biff8_ ? ShortString(c) : ByteString(c);
          if (sheets_.size() >= 10000) throw Error("the workbook claims too many sheets");
          sheets_.push_back(std::move(s));
          break;
        }
        case kSst: ReadSst(r.data, records_.Continues()); break;
        default: break;
      }
    }
    throw Error("the workbook stream is truncated");
  }

  void ReadSheet(std::uint32_t offset) {
    records_.Seek(offset);
    Record r;
    if (!records_.Next(r) || r.type != kBof) throw Error("the active sheet does not begin where the workbook says");
    while (records_.Next(r)) {
      Cursor c(r.data);
      switch (r.type) {
        case kEof: return;
        case kBof: SkipSubstream(); break;  // an embedded chart
        case kLabelSst: {
          auto [row, col, xf] = Where(c);
          std::uint32_t index = c.U32();
          if (index >= strings_.size())
            throw Error("the sheet refers to a shared string " + std::to_string(index) + " that does not exist");
          Put(row, col, CellValue::OfText(strings_[index]));
          break;
        }
        case kLabel:
        case kRString: {
          auto [row, col, xf] = Where(c);
          Put(row, col, CellValue::OfText(biff8_ ? LongString(c) : WordString(c)));
          break;
        }
        case kNumber: {
          auto [row, col, xf] = Where(c);
          Put(row, col, Number(c.F64(), xf));
          break;
        }
        case kRk: {
          auto [row, col, xf] = Where(c);
          Put(row, col, Number(Rk(c.U32()), xf));
          break;
        }
        case kMulRk: {
          std::uint16_t row = c.U16();
          int col = c.U16();
          while (c.Left() >= 8) {
            std::uint16_t xf = c.U16();
            Put(row, col++, Number(Rk(c.U32()), xf));
          }
          break;
        }
        case kBoolErr: {
          auto [row, col, xf] = Where(c);
          std::uint8_t value = c.U8();
          bool error = c.U8() != 0;
          Put(row, col, error ? CellValue::OfError(value) : CellValue::OfBoolean(value != 0));
          break;
        }
        case kFormula: ReadFormula(c); break;
        default: break;
      }
    }
    throw Error("the workbook stream is truncated");
  }

  // A formula's saved result: a number, or a boolean, an error, an empty
  // text, or a text in the STRING record that follows.
  void ReadFormula(Cursor& c) {
    auto [row, col, xf] = Where(c);
    std::string_view result = c.Bytes(8);
    if (Records::U16(result, 6) != 0xFFFF) {
      Put(row, col, Number(Records::F64(result, 0), xf));
      return;
    }
    switch (static_cast<unsigned char>(result[0])) {
      case 0: {
        // SHRFMLA, ARRAY and TABLE records may stand between a formula and
        // its text; without a STRING record the text is empty.
        std::size_t back = records_.Tell();
        Record r;
        while (records_.Next(r) && (r.type == 0x04BC || r.type == 0x0221 || r.type == 0x0236)) back = records_.Tell();
        if (r.type != kString) {
          records_.Seek(back);
          break;
        }
        Cursor s(r.data);
        Put(row, col, CellValue::OfText(biff8_ ? ContinuedString(r.data, records_.Continues()) : WordString(s)));
        break;
      }
      case 1: Put(row, col, CellValue::OfBoolean(result[2] != 0)); break;
      case 2: Put(row, col, CellValue::OfError(static_cast<unsigned char>(result[2]))); break;
      default: break;  // an empty text
    }
  }

  void SkipSubstream() {
    Record r;
    int depth = 1;
    while (depth > 0 && records_.Next(r)) {
      if (r.type == kBof) ++depth;
      if (r.type == kEof) --depth;
    }
  }

  struct At {
    std::uint16_t row, col, xf;
  };
  static At Where(Cursor& c) {
    std::uint16_t row = c.U16();
    std::uint16_t col = c.U16();
    return {row, col, c.U16()};
  }

  CellValue Number(double value, std::uint16_t xf) const {
    bool date = false;
    if (xf < xfFormats_.size()) {
      std::uint16_t id = xfFormats_[xf];
      auto it = formats_.find(id);
      date = it != formats_.end() ? it->second : IsDateFormatId(id);
    }
    return CellValue::OfNumber(date && date1904_ ? From1904(value) : value, date);
  }

  // An RK number: a 30-bit integer or the high 30 bits of a double, either
  // divided by 100 when the low bit says so.
  static double Rk(std::uint32_t rk) {
    double v;
    if (rk & 2) {
      v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
      std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
      std::memcpy(&v, &bits, sizeof v);
    }
    return rk & 1 ? v / 100 : v;
  }

  void Put(int row, int col, const CellValue& value) {
    std::string text = Trim(CellText(value));
    if (text.empty()) return;
    if (cells_.Count() >= kMaxCells) throw Error("the sheet holds too many cells");
    cells_.Set(row + 1, col, std::move(text));
  }

  // Strings of an Excel 97 workbook: a character count, a flags byte and the
  // characters, then rich-text runs and phonetic data, skipped.
  static std::string ReadString(Cursor& c, std::size_t count) {
    std::uint8_t flags = c.U8();
    std::size_t runs = flags & 0x08 ? c.U16() : 0;
    std::size_t ext = flags & 0x04 ? c.U32() : 0;
    std::vector<std::uint16_t> units;
    units.reserve(std::min(count, c.Left()));
    ReadChars(c, count, flags & 0x01, units);
    c.Bytes(std::min(runs * 4, c.Left()));
    c.Bytes(std::min(ext, c.Left()));
    return Utf16ToUtf8(units.data(), units.size());
  }
  static std::string LongString(Cursor& c) { return ReadString(c, c.U16()); }
  static std::string ShortString(Cursor& c) { return ReadString(c, c.U8()); }
  // Excel 5 strings: a count and bytes in the code page.
  std::string ByteString(Cursor& c) const { return codePage_.Decode(c.Bytes(c.U8())); }
  std::string WordString(Cursor& c) const { return codePage_.Decode(c.Bytes(c.U16())); }

  // A string that may go on into CONTINUE records; each piece that carries
  // characters starts with its own high-byte flag.
  static std::string ContinuedString(std::string_view first, const std::vector<std::string_view>& more) {
    std::vector<std::string_view> pieces = {first};
    pieces.insert(pieces.end(), more.begin(), more.end());
    std::size_t piece = 0;
    Cursor c(pieces[0]);
    std::size_t count = c.U16();
    std::uint8_t flags = c.U8();
    std::vector<std::uint16_t> units;
    units.reserve(std::min<std::size_t>(count, 1 << 16));
    while (units.size() < count) {
      std::size_t width = flags & 0x01 ? 2 : 1;
      std::size_t n = std::min(count - units.size(), c.Left() / width);
      ReadChars(c, n, flags & 0x01, units);
      if (units.size() == count) break;
      if (++piece >= pieces.size()) throw Error("a text of the workbook is truncated");
      c = Cursor(pieces[piece]);
      flags = c.U8();
    }
    return Utf16ToUtf8(units.data(), units.size());
  }

  // The shared strings table, spread over the SST record and its CONTINUE
  // records. A string's characters may break across records, where the next
  // record starts with a fresh high-byte flag; its rich-text runs and phonetic
  // data may break anywhere.
  void ReadSst(std::string_view first, const std::vector<std::string_view>& more) {
    std::vector<std::string_view> pieces = {first};
    pieces.insert(pieces.end(), more.begin(), more.end());
    std::size_t piece = 0;
    Cursor c(pieces[0]);
    c.U32();
    std::uint32_t unique = c.U32();
    // Each string takes at least three bytes, so the claim is bounded by the data.
    std::size_t bytes = 0;
    for (auto p : pieces) bytes += p.size();
    if (unique > bytes / 3 + 1 || unique > kMaxCells) throw Error("the shared strings table claims too many strings");
    strings_.reserve(unique);
    auto nextPiece = [&]() -> bool {
      if (++piece >= pieces.size()) return false;
      c = Cursor(pieces[piece]);
      return true;
    };
    auto skip = [&](std::size_t n) {
      while (n > 0) {
        std::size_t k = std::min(n, c.Left());
        c.Bytes(k);
        n -= k;
        if (n > 0 && !nextPiece()) throw Error("the shared strings table is truncated");
      }
    };
    for (std::uint32_t i = 0; i < unique; ++i) {
      if (c.Left() == 0 && !nextPiece()) throw Error("the shared strings table is truncated");
      std::size_t count = c.U16();
      std::uint8_t flags = c.U8();
      std::size_t runs = flags & 0x08 ? c.U16() : 0;
      std::size_t ext = flags & 0x04 ? c.U32() : 0;
      std::vector<std::uint16_t> units;
      units.reserve(count);
      for (;;) {
        std::size_t width = flags & 0x01 ? 2 : 1;
        std::size_t n = std::min(count - units.size(), c.Left() / width);
        ReadChars(c, n, flags & 0x01, units);
        if (units.size() == count) break;
        if (!nextPiece()) throw Error("the shared strings table is truncated");
        flags = c.U8();
      }
      skip(runs * 4);
      skip(ext);
      strings_.push_back(Utf16ToUtf8(units.data(), units.size()));
    }
  }

  Records records_;
  SheetCells& cells_;
  bool biff8_ = true;
  bool date1904_ = false;
  std::size_t activeTab_ = 0;
  bool sawWindow_ = false;
  CodePage codePage_;
  std::map<std::uint16_t, bool> formats_;  // custom format id: shows a date
  std::vector<std::uint16_t> xfFormats_;     // format id of each cell style
  std::vector<Sheet> sheets_;
  std::vector<std::string> strings_;
};

}  // namespace

void ReadBiffStream(std::string_view stream, SheetCells& cells) { BiffReader(stream, cells).Read(); }

static void ReadXls(GsfInput* input, SheetCells& cells) { ReadBiffStream(WorkbookStream(input), cells); }

void ReadXlsSheet(const std::string& fileName, SheetCells& cells) {
  InitGsf();
  GError* error = nullptr;
  GObject<GsfInput> input(gsf_input_stdio_new(fileName.c_str(), &error));
  if (!input.p) throw Error("the file cannot be read (" + TakeError(error, "unreadable") + ")");
  ReadXls(input.p, cells);
}

void ReadXlsBytes(const void* data, std::size_t size, SheetCells& cells) {
  InitGsf();
  GObject<GsfInput> input(gsf_input_memory_new(static_cast<const guint8*>(data), static_cast<gsf_off_t>(size), FALSE));
  if (!input.p) throw Error("the data cannot be read");
  ReadXls(input.p, cells);
}

}  // namespace sx
