#include "support/CaseWorkbooks.h"

#include <zip.h>

#include <cstdio>
#include <map>
#include <stdexcept>

namespace sxtest {

namespace {

std::string XmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Exact(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

void WriteZip(const std::string& path, const std::map<std::string, std::string>& parts) {
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) throw std::runtime_error("cannot create " + path);
  for (const auto& [name, data] : parts) {
    zip_source_t* src = zip_source_buffer(zip, data.data(), data.size(), 0);
    if (!src || zip_file_add(zip, name.c_str(), src, ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(src);
      zip_discard(zip);
      throw std::runtime_error("cannot add " + name);
    }
  }
  if (zip_close(zip) != 0) throw std::runtime_error("cannot write " + path);
}

const char kNs[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kPkgRelNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace

void WriteCasesXlsx(const std::string& path, const std::vector<CellCase>& cases) {
  // One cell style per format code; style 0 is General.
  std::map<std::string, int> styles = {{"", 0}};
  std::string numFmts, xfs = "<xf numFmtId=\"0\"/>";
  for (const auto& c : cases) {
    if (styles.count(c.format)) continue;
    int id = 164 + static_cast<int>(styles.size());
    styles[c.format] = static_cast<int>(styles.size());
    numFmts += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + XmlEscape(c.format) + "\"/>";
    xfs += "<xf numFmtId=\"" + std::to_string(id) + "\" applyNumberFormat=\"1\"/>";
  }
  std::string rows;
  int row = 0;
  for (const auto& c : cases) {
    ++row;
    std::string ref = "B" + std::to_string(row);
    std::string style = " s=\"" + std::to_string(styles[c.format]) + "\"";
    std::string cell;
    using T = sx::CellValue::Type;
    switch (c.value.type) {
      case T::Empty: break;
      case T::Text:
        cell = "<c r=\"" + ref + "\" t=\"inlineStr\"" + style + "><is><t xml:space=\"preserve\">" +
               XmlEscape(c.value.text) + "</t></is></c>";
        break;
      case T::Number: cell = "<c r=\"" + ref + "\"" + style + "><v>" + Exact(c.value.number) + "</v></c>"; break;
      case T::Boolean:
        cell = "<c r=\"" + ref + "\" t=\"b\"" + style + "><v>" + (c.value.number != 0 ? "1" : "0") + "</v></c>";
        break;
      case T::Error:
        cell = "<c r=\"" + ref + "\" t=\"e\"" + style + "><f>1/0</f><v>" + XmlEscape(sx::ErrorText(c.value.error)) +
               "</v></c>";
        break;
    }
    if (!cell.empty()) rows += "<row r=\"" + std::to_string(row) + "\">" + cell + "</row>";
  }
  std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  WriteZip(path,
           {{"[Content_Types].xml",
             head + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"},
            {"_rels/.rels", head + "<Relationships xmlns=\"" + kPkgRelNs +
                                "\"><Relationship Id=\"rId1\" Type=\"" + kRelNs +
                                "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
            {"xl/workbook.xml", head + "<workbook xmlns=\"" + kNs + "\" xmlns:r=\"" + kRelNs +
                                    "\"><sheets><sheet name=\"Cases\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
            {"xl/_rels/workbook.xml.rels",
             head + "<Relationships xmlns=\"" + kPkgRelNs + "\"><Relationship Id=\"rId1\" Type=\"" + kRelNs +
                 "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + kRelNs +
                 "/styles\" Target=\"styles.xml\"/></Relationships>"},
            {"xl/styles.xml", head + "<styleSheet xmlns=\"" + kNs + "\"><numFmts>" + numFmts + "</numFmts><cellXfs>" +
                                  xfs + "</cellXfs></styleSheet>"},
            {"xl/worksheets/sheet1.xml",
             head + "<worksheet xmlns=\"" + kNs + "\"><sheetData>" + rows + "</sheetData></worksheet>"}});
}

}  // namespace sxtest

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <cstring>

namespace sxtest {

namespace {

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
void PutF64(std::string& s, double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  Put32(s, static_cast<std::uint32_t>(bits));
  Put32(s, static_cast<std::uint32_t>(bits >> 32));
}
std::string Rec(unsigned type, const std::string& data) {
  std::string r;
  Put16(r, type);
  Put16(r, static_cast<unsigned>(data.size()));
  return r + data;
}
// UTF-8 to UTF-16 code units (the cases hold BMP characters only).
std::vector<std::uint16_t> Units(const std::string& s) {
  std::vector<std::uint16_t> u;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned cp = c, n = 1;
    if (c >= 0xE0) cp = c & 0x0F, n = 3;
    else if (c >= 0xC0) cp = c & 0x1F, n = 2;
    for (unsigned k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    u.push_back(static_cast<std::uint16_t>(cp));
    i += n;
  }
  return u;
}
// An Excel 97 string: count, flags, characters (UTF-16 when any needs it).
std::string BiffString(const std::string& utf8, bool shortCount = false) {
  auto u = Units(utf8);
  bool wide = false;
  for (auto c : u) wide = wide || c > 0xFF;
  std::string s;
  if (shortCount)
    s += static_cast<char>(u.size());
  else
    Put16(s, static_cast<unsigned>(u.size()));
  s += static_cast<char>(wide ? 1 : 0);
  for (auto c : u) {
    if (wide)
      Put16(s, c);
    else
      s += static_cast<char>(c);
  }
  return s;
}
std::string Bof(unsigned kind) {
  std::string d;
  Put16(d, 0x0600);
  Put16(d, kind);
  Put16(d, 0x0DBB);
  Put16(d, 0x07CC);
  Put32(d, 0);
  Put32(d, 0x06);
  return Rec(0x0809, d);
}
std::string Xf(unsigned format) {
  std::string d;
  Put16(d, 0);
  Put16(d, format);
  d += std::string(16, '\0');
  return Rec(0x00E0, d);
}

}  // namespace

std::string CasesBiff(const std::vector<CellCase>& cases) {
  using T = sx::CellValue::Type;
  std::map<std::string, int> styles = {{"", 0}};
  std::string formats, xfs = Xf(0);
  std::vector<std::string> strings;
  for (const auto& c : cases) {
    if (c.value.type == T::Text) strings.push_back(c.value.text);
    if (styles.count(c.format)) continue;
    unsigned id = 164 + static_cast<unsigned>(styles.size());
    styles[c.format] = static_cast<int>(styles.size());
    std::string d;
    Put16(d, id);
    formats += Rec(0x041E, d + BiffString(c.format));
    xfs += Xf(id);
  }
  // The shared strings, the first broken after its first character; the
  // CONTINUE record starts with the high-byte flag of what follows.
  std::string sst, cont;
  Put32(sst, static_cast<std::uint32_t>(strings.size()));
  Put32(sst, static_cast<std::uint32_t>(strings.size()));
  for (std::size_t i = 0; i < strings.size(); ++i) {
    std::string s = BiffString(strings[i]);
    bool wide = s[2] != 0;
    if (i == 0 && s.size() > 3 + (wide ? 2u : 1u)) {
      std::size_t cut = 3 + (wide ? 2 : 1);
      sst += s.substr(0, cut);
      cont = std::string(1, s[2]) + s.substr(cut);
    } else if (!cont.empty()) {
      cont += s;
    } else {
      sst += s;
    }
  }
  std::string sheet = Bof(0x0010);
  int row = 0;
  for (const auto& c : cases) {
    std::string d;
    Put16(d, static_cast<unsigned>(row++));
    Put16(d, 1);
    Put16(d, static_cast<unsigned>(styles[c.format]));
    double v = c.value.number;
    switch (c.value.type) {
      case T::Empty: continue;
      case T::Text: {
        if (c.value.text == "0012") {
          // A formula whose saved result is a text, in the STRING record after it.
          d += std::string(6, '\0') + "\xFF\xFF";
          Put16(d, 0);
          Put32(d, 0);
          Put16(d, 0);
          sheet += Rec(0x0006, d) + Rec(0x0207, BiffString(c.value.text));
          break;
        }
        std::uint32_t index = 0;
        while (strings[index] != c.value.text) ++index;
        Put32(d, index);
        sheet += Rec(0x00FD, d);
        break;
      }
      case T::Number:
        if (v == static_cast<double>(static_cast<std::int32_t>(v)) && v > -(1 << 29) && v < (1 << 29)) {
          Put32(d, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)) << 2 | 2);
          sheet += Rec(0x027E, d);
        } else if (v * 100 == static_cast<double>(static_cast<std::int32_t>(v * 100)) && v * 100 > -(1 << 29) &&
                   v * 100 < (1 << 29)) {
          Put32(d, static_cast<std::uint32_t>(static_cast<std::int32_t>(v * 100)) << 2 | 3);
          sheet += Rec(0x027E, d);
        } else {
          PutF64(d, v);
          sheet += Rec(0x0203, d);
        }
        break;
      case T::Boolean:
      case T::Error:
        d += static_cast<char>(c.value.type == T::Boolean ? (v != 0) : c.value.error);
        d += static_cast<char>(c.value.type == T::Error);
        sheet += Rec(0x0205, d);
        break;
    }
  }
  sheet += Rec(0x000A, "");
  std::string empty = Bof(0x0010) + Rec(0x000A, "");

  auto globals = [&](std::uint32_t firstSheet, std::uint32_t secondSheet) {
    std::string g = Bof(0x0005);
    std::string cp;
    Put16(cp, 1200);
    g += Rec(0x0042, cp);
    std::string window(10, '\0');
    Put16(window, 1);  // the second tab is the active one
    window += std::string(6, '\0');
    g += Rec(0x003D, window);
    std::string mode;
    Put16(mode, 0);
    g += Rec(0x0022, mode);
    g += formats + xfs;
    std::string b1, b2;
    Put32(b1, firstSheet);
    b1 += std::string(2, '\0') + BiffString("Empty", true);
    Put32(b2, secondSheet);
    b2 += std::string(2, '\0') + BiffString("Cases", true);
    g += Rec(0x0085, b1) + Rec(0x0085, b2);
    g += Rec(0x00FC, sst);
    if (!cont.empty()) g += Rec(0x003C, cont);
    return g + Rec(0x000A, "");
  };
  std::size_t size = globals(0, 0).size();
  return globals(static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(size + empty.size())) + empty + sheet;
}

void WriteXls(const std::string& path, const std::string& workbookStream, const char* streamName) {
  gsf_init();
  GError* error = nullptr;
  GsfOutput* file = gsf_output_stdio_new(path.c_str(), &error);
  if (!file) throw std::runtime_error("cannot create " + path);
  GsfOutfile* ole = gsf_outfile_msole_new(file);
  g_object_unref(file);
  GsfOutput* stream = gsf_outfile_new_child(ole, streamName, FALSE);
  bool ok = gsf_output_write(stream, workbookStream.size(), reinterpret_cast<const guint8*>(workbookStream.data()));
  ok = gsf_output_close(stream) && ok;
  g_object_unref(stream);
  ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
  g_object_unref(ole);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace sxtest
