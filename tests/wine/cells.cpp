// Reads the table of cell cases through the Windows workbook engine: the
// library's Excel adapter over the test Excel, which hands each case to it as
// Excel's automation value (VT_R8, VT_DATE, VT_BOOL, VT_ERROR, VT_BSTR); and
// formats a column as text through it.
//
//   cells.exe FAKE_EXCEL.DLL WORK_FOLDER
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "WineText.h"
#include "support/CellCases.h"
#include "workbook/uExcelOperation.h"

namespace {

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\t' ? std::string("\\t") : c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

// The test Excel's workbook line of a case.
std::string Line(int row, const sx::CellValue& v) {
  using T = sx::CellValue::Type;
  char number[40];
  std::snprintf(number, sizeof number, "%.17g", v.number);
  std::string at = std::to_string(row) + "\t1\t";
  switch (v.type) {
    case T::Empty: return {};
    case T::Text: return at + Escaped(v.text) + "\n";
    case T::Number: return at + number + (v.date ? "\tdate\n" : "\tnumber\n");
    case T::Boolean: return at + (v.number != 0 ? "1" : "0") + "\tbool\n";
    case T::Error: return at + std::to_string(2000 + v.error) + "\terror\n";
  }
  return {};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::printf("usage: cells FAKE_EXCEL.DLL WORK_FOLDER\n");
    return 2;
  }
  HMODULE excel = LoadLibraryW(argv[1]);
  auto registerExcel = excel ? reinterpret_cast<HRESULT(__stdcall*)()>(
                                   reinterpret_cast<void*>(GetProcAddress(excel, "DllRegisterServer")))
                             : nullptr;
  if (!registerExcel || registerExcel() != S_OK) {
    std::printf("cannot register the test Excel\n");
    return 2;
  }
  std::wstring work = argv[2];
  SetEnvironmentVariableW(L"FAKE_EXCEL_DIR", work.c_str());
  CoInitialize(nullptr);

  auto cases = sxtest::CellCases();
  std::string book;
  for (size_t i = 0; i < cases.size(); ++i) book += Line(static_cast<int>(i) + 1, cases[i].value);
  // Beyond the table: Excel hands currency-formatted numbers as VT_CY.
  int currencyRow = static_cast<int>(cases.size()) + 1;
  book += std::to_string(currencyRow) + "\t1\t12.5\tcurrency\n";
  std::wstring path = work + L"\\cases.xls";
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return 2;
  std::fwrite(book.data(), 1, book.size(), out);
  std::fclose(out);

  int failures = 0;
  {
    sx::TExcelOperation sheet;
    std::string message;
    if (!sheet.OpenWorkbook(Utf8(path), message)) {
      std::printf("FAIL: the cases cannot be opened: %s\n", message.c_str());
      return 1;
    }
    for (size_t i = 0; i < cases.size(); ++i) {
      std::string text;
      try {
        text = sheet.ReadCell(static_cast<int>(i) + 1, 1);
      } catch (const std::exception& e) {
        text = std::string("exception: ") + e.what();
      }
      if (text != cases[i].text) {
        ++failures;
        std::printf("FAIL: %s reads \"%s\", expected \"%s\"\n", cases[i].name, text.c_str(), cases[i].text);
      }
    }
    std::string currency = sheet.ReadCell(currencyRow, 1);
    if (currency != "12.5") {
      ++failures;
      std::printf("FAIL: currency reads \"%s\"\n", currency.c_str());
    }
  }
  // A column formatted as text as a whole.
  {
    sx::TExcelOperation sheet;
    std::string message;
    if (!sheet.NewWorkbook(message)) {
      std::printf("FAIL: no new workbook: %s\n", message.c_str());
      return 1;
    }
    sheet.FormatColumnAsText(27);
    sheet.WriteCell(1, 27, "0012");
    sheet.HandOver();
    std::ifstream in(std::wstring(work + L"\\columns.tsv").c_str());
    std::string columns((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (columns != "27\t@\n") {
      ++failures;
      std::printf("FAIL: column AB is not formatted as text: %s\n", columns.c_str());
    }
  }
  CoUninitialize();
  std::printf("cells: %d checks, %d failed\n", static_cast<int>(cases.size()) + 2, failures);
  return failures == 0 ? 0 : 1;
}
