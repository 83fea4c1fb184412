// Reads the active worksheet of an .xlsx workbook with libzip and a streaming
// expat parser. Every unpacked part is bounded in size, DTDs are refused, and
// cell references are checked against the sheet's limits, so a hostile file
// fails with a reason instead of exhausting the machine.
#include <expat.h>
#include <zip.h>

#include <charconv>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "workbook/CellFormat.h"
#include "workbook/WorkbookFiles.h"

namespace sx {

namespace {

// ---- the archive ----------------------------------------------------------

class ZipArchive {
 public:
  explicit ZipArchive(const std::string& fileName) {
    int error = 0;
    zip_ = zip_open(fileName.c_str(), ZIP_RDONLY, &error);
    if (!zip_) Fail(error);
  }
  // An archive in memory, which must outlive the object.
  ZipArchive(const void* data, std::size_t size) {
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &ze);
    if (source) zip_ = zip_open_from_source(source, ZIP_RDONLY, &ze);
    if (!zip_) {
      if (source) zip_source_free(source);
      int error = zip_error_code_zip(&ze);
      zip_error_fini(&ze);
      Fail(error);
    }
    zip_error_fini(&ze);
  }
  ~ZipArchive() { zip_discard(zip_); }
  [[noreturn]] static void Fail(int error) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, error);
    std::string reason = zip_error_strerror(&ze);
    zip_error_fini(&ze);
    throw Error("it is not a readable zip archive (" + reason + ")");
  }
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  bool Has(const std::string& part) const {
    return zip_name_locate(zip_, part.c_str(), ZIP_FL_NOCASE) >= 0;
  }

  // Passes the unpacked bytes of a part to sink in chunks, counting the bytes
  // actually produced against the bounds.
  template <typename Sink>
  void Read(const std::string& part, Sink&& sink) {
    zip_int64_t index = zip_name_locate(zip_, part.c_str(), ZIP_FL_NOCASE);
    if (index < 0) throw Error("the part " + part + " is missing");
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0), &zip_fclose);
    if (!file) throw Error("the part " + part + " cannot be unpacked (" + zip_strerror(zip_) + ")");
    std::vector<char> buffer(64 * 1024);
    std::size_t partBytes = 0;
    for (;;) {
      zip_int64_t n = zip_fread(file.get(), buffer.data(), buffer.size());
      if (n < 0)
        throw Error("the part " + part + " is damaged (" + zip_file_strerror(file.get()) + ")");
      if (n == 0) break;
      partBytes += static_cast<std::size_t>(n);
      total_ += static_cast<std::size_t>(n);
      if (partBytes > kMaxPartBytes || total_ > kMaxTotalBytes)
        throw Error("the part " + part + " unpacks to more data than a workbook may hold");
      sink(buffer.data(), static_cast<std::size_t>(n), false);
    }
    sink(buffer.data(), 0, true);
  }

 private:
  zip_t* zip_ = nullptr;
  std::size_t total_ = 0;
};

// ---- streaming XML ----------------------------------------------------------

// Attributes by local name (namespace prefixes dropped).
class Attributes {
 public:
  explicit Attributes(const XML_Char** atts) : atts_(atts) {}
  std::optional<std::string_view> Get(std::string_view name) const {
    for (const XML_Char** a = atts_; *a; a += 2)
      if (LocalName(a[0]) == name) return std::string_view(a[1]);
    return std::nullopt;
  }
  static std::string_view LocalName(const char* qualified) {
    std::string_view s(qualified);
    std::size_t bar = s.rfind('|');
    return bar == std::string_view::npos ? s : s.substr(bar + 1);
  }

 private:
  const XML_Char** atts_;
};

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const Attributes& atts) = 0;
  virtual void End(std::string_view name) = 0;
  virtual void Text(std::string_view) {}
};

// Runs expat over a part. Handlers may throw; the exception is kept while
// expat unwinds and rethrown here, so it never crosses the C library.
class XmlParse {
 public:
  XmlParse(const std::string& part, XmlHandler& handler) : part_(part), handler_(handler) {
    parser_ = XML_ParserCreateNS(nullptr, '|');
    if (!parser_) throw Error("out of memory");
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &OnStart, &OnEnd);
    XML_SetCharacterDataHandler(parser_, &OnText);
    XML_SetStartDoctypeDeclHandler(parser_, &OnDoctype);
    XML_SetEntityDeclHandler(parser_, &OnEntity);
  }
  ~XmlParse() { XML_ParserFree(parser_); }
  XmlParse(const XmlParse&) = delete;
  XmlParse& operator=(const XmlParse&) = delete;

  void Feed(const char* data, std::size_t size, bool last) {
    if (XML_Parse(parser_, data, static_cast<int>(size), last) == XML_STATUS_OK) return;
    if (failure_) std::rethrow_exception(failure_);
    throw Error("the part " + part_ + " is not well-formed XML (" +
                XML_ErrorString(XML_GetErrorCode(parser_)) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(parser_)) + ")");
  }

 private:
  template <typename F>
  static void Guard(void* self, F&& f) {
    auto* p = static_cast<XmlParse*>(self);
    if (p->failure_) return;
    try {
      f(*p);
    } catch (...) {
      p->failure_ = std::current_exception();
      XML_StopParser(p->parser_, XML_FALSE);
    }
  }
  static void OnStart(void* self, const XML_Char* name, const XML_Char** atts) {
    Guard(self, [&](XmlParse& p) { p.handler_.Start(Attributes::LocalName(name), Attributes(atts)); });
  }
  static void OnEnd(void* self, const XML_Char* name) {
    Guard(self, [&](XmlParse& p) { p.handler_.End(Attributes::LocalName(name)); });
  }
  static void OnText(void* self, const XML_Char* s, int len) {
    Guard(self, [&](XmlParse& p) { p.handler_.Text(std::string_view(s, static_cast<std::size_t>(len))); });
  }
  static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    Guard(self, [](XmlParse& p) -> void {
      throw Error("the part " + p.part_ + " carries a document type declaration, which a workbook never has");
    });
  }
  static void OnEntity(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                       const XML_Char*, const XML_Char*, const XML_Char*) {
    Guard(self, [](XmlParse& p) -> void {
      throw Error("the part " + p.part_ + " declares entities, which a workbook never has");
    });
  }

  std::string part_;
  XmlHandler& handler_;
  XML_Parser parser_ = nullptr;
  std::exception_ptr failure_;
};

void ParsePart(ZipArchive& zip, const std::string& part, XmlHandler& handler) {
  XmlParse parse(part, handler);
  zip.Read(part, [&](const char* data, std::size_t size, bool last) { parse.Feed(data, size, last); });
}

bool IsTrue(std::string_view v) { return v == "1" || v == "true"; }

std::optional<long long> ToInteger(std::string_view v) {
  long long n = 0;
  auto r = std::from_chars(v.data(), v.data() + v.size(), n);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return std::nullopt;
  return n;
}

// ---- package structure ------------------------------------------------------

// The folder of a part: "xl/workbook.xml" -> "xl/".
std::string FolderOf(const std::string& part) {
  std::size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string RelsOf(const std::string& part) {
  return FolderOf(part) + "_rels/" + part.substr(FolderOf(part).size()) + ".rels";
}

// A relationship target resolved against the folder of its source part.
std::string ResolveTarget(const std::string& folder, std::string_view target) {
  std::string joined = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                           : folder + std::string(target);
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t slash = joined.find('/', start);
    if (slash == std::string::npos) slash = joined.size();
    std::string seg = joined.substr(start, slash - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = slash + 1;
  }
  std::string out;
  for (const auto& s : segments) out += (out.empty() ? "" : "/") + s;
  return out;
}

struct Relationship {
  std::string type;    // the last segment of the type URI, e.g. "worksheet"
  std::string target;  // the resolved part name
};

class RelsHandler final : public XmlHandler {
 public:
  explicit RelsHandler(std::string folder) : folder_(std::move(folder)) {}
  std::map<std::string, Relationship> byId;

  void Start(std::string_view name, const Attributes& atts) override {
    if (name != "Relationship") return;
    auto id = atts.Get("Id");
    auto type = atts.Get("Type");
    auto target = atts.Get("Target");
    auto mode = atts.Get("TargetMode");
    if (!id || !type || !target || (mode && *mode == "External")) return;
    std::string_view t = *type;
    std::size_t slash = t.rfind('/');
    if (slash != std::string_view::npos) t = t.substr(slash + 1);
    byId[std::string(*id)] = Relationship{std::string(t), ResolveTarget(folder_, *target)};
  }
  void End(std::string_view) override {}

 private:
  std::string folder_;
};

std::map<std::string, Relationship> ReadRels(ZipArchive& zip, const std::string& part) {
  RelsHandler handler(FolderOf(part));
  std::string rels = RelsOf(part);
  if (zip.Has(rels)) ParsePart(zip, rels, handler);
  return std::move(handler.byId);
}

class WorkbookHandler final : public XmlHandler {
 public:
  bool date1904 = false;
  long long activeTab = 0;
  std::vector<std::string> sheetIds;  // relationship ids in sheet order

  void Start(std::string_view name, const Attributes& atts) override {
    if (name == "workbookPr") {
      if (auto v = atts.Get("date1904")) date1904 = IsTrue(*v);
    } else if (name == "workbookView" && !sawView_) {
      sawView_ = true;
      if (auto v = atts.Get("activeTab")) activeTab = ToInteger(*v).value_or(0);
    } else if (name == "sheet") {
      if (auto id = atts.Get("id")) sheetIds.emplace_back(*id);
    }
  }
  void End(std::string_view) override {}

 private:
  bool sawView_ = false;
};

// ---- styles -------------------------------------------------------------------

class StylesHandler final : public XmlHandler {
 public:
  std::map<int, std::string> formats;  // custom format codes by id
  std::vector<int> xfFormats;          // number format id of each cell style

  void Start(std::string_view name, const Attributes& atts) override {
    if (name == "numFmt") {
      auto id = atts.Get("numFmtId");
      auto code = atts.Get("formatCode");
      if (id && code && ToInteger(*id) && formats.size() < 100000)
        formats[static_cast<int>(*ToInteger(*id))] = std::string(*code);
    } else if (name == "cellXfs") {
      inCellXfs_ = true;
    } else if (name == "xf" && inCellXfs_ && xfFormats.size() < 1000000) {
      auto id = atts.Get("numFmtId");
      xfFormats.push_back(id ? static_cast<int>(ToInteger(*id).value_or(0)) : 0);
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") inCellXfs_ = false;
  }

  // Whether each cell style shows numbers as dates or times.
  std::vector<bool> DateStyles() const {
    std::vector<bool> dates;
    dates.reserve(xfFormats.size());
    for (int id : xfFormats) {
      auto it = formats.find(id);
      dates.push_back(it != formats.end() ? IsDateFormatCode(it->second) : IsDateFormatId(id));
    }
    return dates;
  }

 private:
  bool inCellXfs_ = false;
};

// ---- shared strings ----------------------------------------------------------

// Collects the text of <t> elements inside a string item, rich-text runs
// included and phonetic runs (<rPh>) left out.
class StringItemText {
 public:
  void Start(std::string_view name) {
    if (name == "t" && phonetic_ == 0) inT_ = true;
    if (name == "rPh") ++phonetic_;
  }
  void End(std::string_view name) {
    if (name == "t") inT_ = false;
    if (name == "rPh" && phonetic_ > 0) --phonetic_;
  }
  void Text(std::string_view s) {
    if (inT_) text_.append(s);
  }
  std::string Take() {
    inT_ = false;
    phonetic_ = 0;
    return DecodeEscapes(std::move(text_));
  }

  // Characters that XML cannot carry are written as _xHHHH_ (an underscore
  // itself as _x005F_ when it would look like one).
  static std::string DecodeEscapes(std::string text) {
    if (text.find("_x") == std::string::npos) return text;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      unsigned code = 0;
      if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
          std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr == text.data() + i + 6 &&
          (code < 0xD800 || code > 0xDFFF)) {
        AppendUtf8(out, code);
        i += 6;
      } else {
        out += text[i];
      }
    }
    return out;
  }

 private:
  bool inT_ = false;
  int phonetic_ = 0;
  std::string text_;
};

class SharedStringsHandler final : public XmlHandler {
 public:
  std::vector<std::string> strings;

  void Start(std::string_view name, const Attributes&) override {
    if (name == "si") {
      if (strings.size() >= kMaxCells) throw Error("the shared strings table holds too many strings");
      inItem_ = true;
      item_.Take();
    } else if (inItem_) {
      item_.Start(name);
    }
  }
  void End(std::string_view name) override {
    if (name == "si" && inItem_) {
      strings.push_back(item_.Take());
      inItem_ = false;
    } else if (inItem_) {
      item_.End(name);
    }
  }
  void Text(std::string_view s) override {
    if (inItem_) item_.Text(s);
  }

 private:
  bool inItem_ = false;
  StringItemText item_;
};

// ---- the worksheet -------------------------------------------------------------

// Row and column of an A1 reference ("AA12" -> row 12, column 26); nullopt
// when it is not one or lies beyond the sheet's limits.
std::optional<std::pair<int, int>> ParseCellRef(std::string_view ref) {
  std::size_t i = 0;
  long long column = 0, row = 0;
  while (i < ref.size() && i < 4 && ref[i] >= 'A' && ref[i] <= 'Z') column = column * 26 + (ref[i++] - 'A' + 1);
  if (i == 0 || column > kMaxSheetColumns) return std::nullopt;
  std::size_t digits = i;
  while (i < ref.size() && i - digits < 8 && ref[i] >= '0' && ref[i] <= '9') row = row * 10 + (ref[i++] - '0');
  if (i == digits || i != ref.size() || row < 1 || row > kMaxSheetRows) return std::nullopt;
  return std::make_pair(static_cast<int>(row), static_cast<int>(column - 1));
}

class SheetHandler final : public XmlHandler {
 public:
  SheetHandler(SheetCells& cells, const std::vector<std::string>& strings,
               const std::vector<bool>& dateStyles, bool date1904)
      : cells_(cells), strings_(strings), dateStyles_(dateStyles), date1904_(date1904) {}

  void Start(std::string_view name, const Attributes& atts) override {
    if (inCell_) {
      if (name == "v") {
        inValue_ = true;
      } else if (name == "is") {
        inInline_ = true;
      } else if (inInline_) {
        inline_.Start(name);
      }
      return;
    }
    if (name == "c") {
      StartCell(atts);
    } else if (name == "row") {
      if (auto r = atts.Get("r")) {
        auto n = ToInteger(*r);
        if (!n || *n < 1 || *n > kMaxSheetRows)
          throw Error("the sheet has a row number " + std::string(*r) + " beyond the sheet's limits");
        row_ = static_cast<int>(*n);
      } else {
        ++row_;
      }
      column_ = -1;
    } else if (name == "dimension") {
      auto ref = atts.Get("ref");
      if (ref && !ref->empty()) CheckDimension(*ref);
    }
  }

  void End(std::string_view name) override {
    if (!inCell_) return;
    if (name == "c") {
      EndCell();
    } else if (name == "v") {
      inValue_ = false;
    } else if (name == "is") {
      inInline_ = false;
    } else if (inInline_) {
      inline_.End(name);
    }
  }

  void Text(std::string_view s) override {
    if (inValue_) {
      value_.append(s);
    } else if (inInline_) {
      inline_.Text(s);
    }
  }

 private:
  void CheckDimension(std::string_view ref) {
    std::size_t colon = ref.find(':');
    for (std::string_view corner : {ref.substr(0, colon),
                                    colon == std::string_view::npos ? ref : ref.substr(colon + 1)})
      if (!ParseCellRef(corner))
        throw Error("the sheet claims the dimension " + std::string(ref) + ", beyond the sheet's limits");
  }

  void StartCell(const Attributes& atts) {
    if (auto r = atts.Get("r")) {
      auto at = ParseCellRef(*r);
      if (!at) throw Error("the sheet has a cell reference " + std::string(*r) + " beyond the sheet's limits");
      row_ = at->first;
      column_ = at->second;
    } else {
      if (row_ < 1) row_ = 1;
      if (++column_ >= kMaxSheetColumns) throw Error("the sheet has a row with too many cells");
    }
    type_ = std::string(atts.Get("t").value_or("n"));
    style_ = 0;
    if (auto s = atts.Get("s")) style_ = ToInteger(*s).value_or(0);
    value_.clear();
    inline_.Take();
    inCell_ = true;
  }

  void EndCell() {
    inCell_ = inValue_ = inInline_ = false;
    std::string text = Trim(CellText());
    if (text.empty()) return;
    if (cells_.Count() >= kMaxCells) throw Error("the sheet holds too many cells");
    cells_.Set(row_, column_, std::move(text));
  }

  bool DateStyle() const {
    return style_ >= 0 && static_cast<std::size_t>(style_) < dateStyles_.size() &&
           dateStyles_[static_cast<std::size_t>(style_)];
  }

  std::string CellText() { return sx::CellText(Value()); }

  CellValue Value() {
    if (type_ == "inlineStr") return CellValue::OfText(inline_.Take());
    std::string v = Trim(value_);
    if (v.empty()) return CellValue::Empty();
    if (type_ == "s") {
      auto index = ToInteger(v);
      if (!index || *index < 0 || static_cast<std::size_t>(*index) >= strings_.size())
        throw Error("the sheet refers to a shared string " + v + " that does not exist");
      return CellValue::OfText(strings_[static_cast<std::size_t>(*index)]);
    }
    if (type_ == "b") return CellValue::OfBoolean(IsTrue(v));
    if (type_ == "e") {
      // An error as shown ("#N/A"); one this reader does not know stays as shown.
      if (auto code = ErrorCode(v)) return CellValue::OfError(*code);
      return CellValue::OfText(v);
    }
    if (type_ == "n") {
      double number = 0;
      auto r = std::from_chars(v.data(), v.data() + v.size(), number);
      if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return CellValue::OfText(v);
      bool date = DateStyle();
      return CellValue::OfNumber(date && date1904_ ? From1904(number) : number, date);
    }
    if (type_ == "d") {
      // An ISO 8601 date cell is a date whatever its style.
      auto dt = ParseStoredDateTime(v);
      return dt ? CellValue::OfNumber(SerialOf(*dt), true) : CellValue::OfText(v);
    }
    return CellValue::OfText(v);  // "str", a formula's text
  }

  SheetCells& cells_;
  const std::vector<std::string>& strings_;
  const std::vector<bool>& dateStyles_;
  bool date1904_;

  int row_ = 0, column_ = -1;
  bool inCell_ = false, inValue_ = false, inInline_ = false;
  std::string type_;
  long long style_ = 0;
  std::string value_;
  StringItemText inline_;
};

// The workbook part named by the package's relationships.
std::string WorkbookPart(ZipArchive& zip) {
  for (const auto& [id, rel] : ReadRels(zip, ""))
    if (rel.type == "officeDocument") return rel.target;
  return "xl/workbook.xml";
}

}  // namespace

static void ReadXlsx(ZipArchive& zip, SheetCells& cells) {
  std::string workbookPart = WorkbookPart(zip);
  if (!zip.Has(workbookPart)) throw Error("it holds no workbook part, so it is not a workbook");

  WorkbookHandler workbook;
  ParsePart(zip, workbookPart, workbook);
  auto rels = ReadRels(zip, workbookPart);
  if (workbook.sheetIds.empty()) throw Error("the workbook has no sheet");
  long long active = workbook.activeTab;
  if (active < 0 || static_cast<std::size_t>(active) >= workbook.sheetIds.size()) active = 0;
  auto sheetRel = rels.find(workbook.sheetIds[static_cast<std::size_t>(active)]);
  if (sheetRel == rels.end() || !zip.Has(sheetRel->second.target))
    throw Error("the workbook's active sheet is missing");

  SharedStringsHandler strings;
  StylesHandler styles;
  for (const auto& [id, rel] : rels) {
    if (rel.type == "sharedStrings" && zip.Has(rel.target)) ParsePart(zip, rel.target, strings);
    if (rel.type == "styles" && zip.Has(rel.target)) ParsePart(zip, rel.target, styles);
  }
  std::vector<bool> dateStyles = styles.DateStyles();
  SheetHandler sheet(cells, strings.strings, dateStyles, workbook.date1904);
  ParsePart(zip, sheetRel->second.target, sheet);
}

void ReadXlsxSheet(const std::string& fileName, SheetCells& cells) {
  ZipArchive zip(fileName);
  ReadXlsx(zip, cells);
}

void ReadXlsxBytes(const void* data, std::size_t size, SheetCells& cells) {
  ZipArchive zip(data, size);
  ReadXlsx(zip, cells);
}

}  // namespace sx
