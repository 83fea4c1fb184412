// Any sheet walked by the reading loop with the menu layout (two sections
// whose rows continue in column 2) and the reason layout (one plain section).
// The input is the sheet as `setupxfer sheet` prints it: lines of
// "row<TAB>column<TAB>text", with \t, \n and \\ escaped. The row readers read
// the cells a kind reads and convert them as the kinds do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/DateTime.h"
#include "base/Error.h"
#include "transfer/Sheet.h"
#include "workbook/uExcelOperation.h"

namespace {

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char c = s[++i];
      out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}

void Fill(sx::TExcelOperation& xls, std::string_view input) {
  while (!input.empty()) {
    std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    std::size_t tab1 = line.find('\t');
    std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) continue;
    auto row = sx::TryStrToInt(line.substr(0, tab1));
    auto column = sx::TryStrToInt(line.substr(tab1 + 1, tab2 - tab1 - 1));
    if (!row || !column) continue;
    try {
      xls.WriteCell(*row, *column, Unescape(line.substr(tab2 + 1)));
    } catch (const sx::Error&) {
      // A cell outside the sheet.
    }
  }
}

// What a row reader does with a row: reads its cells and converts them.
void ReadRow(sx::TExcelOperation& xls, int row, int columns) {
  for (int c = 1; c <= columns; ++c) {
    std::string text = xls.ReadCell(row, c);
    sx::TryStrToInt(text);
    sx::TryStrToFloat(text);
    sx::TryStrToDate(text);
    sx::TryStrToTime(text);
    sx::YesNo(text);
    sx::RowMessage(row, text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sx::TExcelOperation xls;
  std::string message;
  if (!xls.NewWorkbook(message)) return 0;
  Fill(xls, std::string_view(reinterpret_cast<const char*>(data), size));

  sx::ReadingLoop menu;
  for (const char* key : {"menutype", "menuitem"})
    menu.sections.push_back({.key = key,
                             .read = [&](int r) { ReadRow(xls, r, 50); },
                             .continuationColumns = {2},
                             .continuationKeepsCount = true,
                             .onEnter = [] {}});
  menu.headerCaptions = {"菜品类别代码(最多2个字符)"};
  menu.columnsWithoutSection = {2};
  menu.keepCountWithoutSection = true;
  sx::ReadSections(xls, menu);

  sx::ReadingLoop reasons;
  reasons.sections.push_back({.key = "backreason", .read = [&](int r) { ReadRow(xls, r, 1); }});
  reasons.headerCaptions = {"退菜理由"};
  sx::ReadSections(xls, reasons);
  return 0;
}
