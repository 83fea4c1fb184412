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
