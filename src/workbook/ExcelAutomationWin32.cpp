// The workbook engine on Windows: Excel itself, driven by late-bound OLE
// automation of "Excel.Application" through the dispatch names Workbooks,
// Add, Open, ActiveSheet, Range, Value, NumberFormatLocal, Visible and Quit.
// A created workbook is handed over by making Excel visible; an opened one
// is closed unchanged by quitting Excel.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <vector>

#include "base/Error.h"
#include "base/Text.h"
#include "base/WideText.h"
#include "workbook/CellFormat.h"
#include "workbook/WorkbookEngine.h"
#include "workbook/uExcelOperation.h"

namespace sx {

namespace {

// The system's text for an HRESULT, or its number.
std::string SystemMessage(HRESULT hr) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::string text = n && buffer ? Trim(Narrow(std::wstring_view(buffer, n))) : std::string();
  if (buffer) LocalFree(buffer);
  if (text.empty()) {
    char number[32];
    std::snprintf(number, sizeof number, "OLE error %08lX", static_cast<unsigned long>(hr));
    text = number;
  }
  return text;
}

// A VARIANT that clears itself.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// A BSTR argument.
struct BstrArg {
  VARIANT v;
  explicit BstrArg(const std::string& utf8) {
    VariantInit(&v);
    std::wstring wide = Widen(utf8);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  ~BstrArg() { VariantClear(&v); }
  BstrArg(const BstrArg&) = delete;
  BstrArg& operator=(const BstrArg&) = delete;
};

// An IDispatch reference addressed by names.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(IDispatch* p) : p_(p) {}  // takes over the reference
  ~Dispatch() { Reset(); }
  Dispatch(Dispatch&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  Dispatch& operator=(Dispatch&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  explicit operator bool() const { return p_ != nullptr; }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

  // Calls a method or reads a property; args in their natural order.
  void Invoke(const wchar_t* name, WORD flags, std::vector<VARIANT*> args, VARIANT* result) const {
    if (!p_) throw Error("No workbook is open");
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = p_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) throw Error(Narrow(name) + ": " + SystemMessage(hr));
    std::vector<VARIANT> reversed;  // DISPPARAMS take the arguments last first
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(reversed.size());
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
      params.cNamedArgs = 1;
      params.rgdispidNamedArgs = &named;
    }
    EXCEPINFO info{};
    UINT argError = 0;
    hr = p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argError);
    if (FAILED(hr)) throw Error(ExceptionText(hr, info));
  }

  Dispatch GetObject(const wchar_t* name, std::vector<VARIANT*> args = {}) const {
    Variant result;
    Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args), &result.v);
    return TakeObject(result, name);
  }
  Dispatch CallObject(const wchar_t* name, std::vector<VARIANT*> args = {}) const {
    Variant result;
    Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args), &result.v);
    return TakeObject(result, name);
  }
  void Put(const wchar_t* name, VARIANT* value) const { Invoke(name, DISPATCH_PROPERTYPUT, {value}, nullptr); }
  void Call(const wchar_t* name) const {
    Variant ignored;
    Invoke(name, DISPATCH_METHOD, {}, &ignored.v);
  }

 private:
  static std::string ExceptionText(HRESULT hr, EXCEPINFO& info) {
    std::string text;
    if (hr == DISP_E_EXCEPTION) {
      if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      if (info.bstrDescription) text = Trim(Narrow(std::wstring_view(info.bstrDescription,
                                                                    SysStringLen(info.bstrDescription))));
      if (text.empty() && FAILED(info.scode)) text = SystemMessage(info.scode);
    }
    if (info.bstrSource) SysFreeString(info.bstrSource);
    if (info.bstrDescription) SysFreeString(info.bstrDescription);
    if (info.bstrHelpFile) SysFreeString(info.bstrHelpFile);
    return text.empty() ? SystemMessage(hr) : text;
  }

  static Dispatch TakeObject(Variant& result, const wchar_t* name) {
    if (result.v.vt != VT_DISPATCH || !result.v.pdispVal)
      throw Error(Narrow(name) + " did not return an object");
    IDispatch* p = result.v.pdispVal;
    p->AddRef();
    return Dispatch(p);
  }

  IDispatch* p_ = nullptr;
};

// A new, invisible Excel instance.
Dispatch StartExcel() {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(L"Excel.Application", &clsid);
  IDispatch* app = nullptr;
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&app));
  if (FAILED(hr)) throw Error("Excel cannot be started: " + SystemMessage(hr));
  return Dispatch(app);
}

// A cell's value as Excel gives it: dates as VT_DATE (the serial of the 1900
// date system), currency-formatted numbers as VT_CY, booleans as VT_BOOL and
// errors as VT_ERROR holding 0x800A0000 + 2000 + the error's code.
CellValue ValueOf(VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return CellValue::Empty();
    case VT_BSTR:
      return CellValue::OfText(
          value.bstrVal ? Narrow(std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal))) : std::string());
    case VT_R8: return CellValue::OfNumber(value.dblVal);
    case VT_R4: return CellValue::OfNumber(value.fltVal);
    case VT_DATE: return CellValue::OfNumber(value.date, true);
    case VT_CY: return CellValue::OfNumber(static_cast<double>(value.cyVal.int64) / 10000.0);
    case VT_I1: return CellValue::OfNumber(value.cVal);
    case VT_UI1: return CellValue::OfNumber(value.bVal);
    case VT_I2: return CellValue::OfNumber(value.iVal);
    case VT_UI2: return CellValue::OfNumber(value.uiVal);
    case VT_I4: return CellValue::OfNumber(value.lVal);
    case VT_UI4: return CellValue::OfNumber(value.ulVal);
    case VT_INT: return CellValue::OfNumber(value.intVal);
    case VT_UINT: return CellValue::OfNumber(value.uintVal);
    case VT_I8: return CellValue::OfNumber(static_cast<double>(value.llVal));
    case VT_UI8: return CellValue::OfNumber(static_cast<double>(value.ullVal));
    case VT_BOOL: return CellValue::OfBoolean(value.boolVal != VARIANT_FALSE);
    case VT_ERROR: {
      int code = static_cast<int>(static_cast<unsigned long>(value.scode) & 0xFFFF) - 2000;
      return CellValue::OfError(code);
    }
    default: {
      Variant text;
      HRESULT hr = VariantChangeTypeEx(&text.v, &value, LOCALE_INVARIANT, 0, VT_BSTR);
      if (FAILED(hr)) throw Error("A cell value cannot be read as text: " + SystemMessage(hr));
      return ValueOf(text.v);
    }
  }
}

class ExcelSheet final : public WorkbookEngine {
 public:
  ExcelSheet(Dispatch app, Dispatch workbook, Dispatch sheet, bool created)
      : app_(std::move(app)), workbook_(std::move(workbook)), sheet_(std::move(sheet)), created_(created) {}

  // An opened workbook is closed unchanged: Excel quits. A created one is
  // shown even when it was not handed over, so no invisible Excel is left.
  ~ExcelSheet() override {
    if (created_ && !shown_ && app_) {
      try {
        Show();
      } catch (...) {
      }
    }
    if (!created_ && app_) {
      try {
        app_.Call(L"Quit");
      } catch (...) {
        // Excel may have been closed by the user already.
      }
    }
    sheet_.Reset();
    workbook_.Reset();
    app_.Reset();
  }

  std::string ReadCell(int row, int column) const override {
    Dispatch range = Range(row, column);
    Variant value;
    range.Invoke(L"Value", DISPATCH_PROPERTYGET, {}, &value.v);
    return Trim(CellText(ValueOf(value.v)));
  }

  void WriteCell(int row, int column, const std::string& text) override {
    Dispatch range = Range(row, column);
    BstrArg textFormat("@");
    range.Put(L"NumberFormatLocal", &textFormat.v);
    BstrArg value(text);
    range.Put(L"Value", &value.v);
  }

  // The whole column, "$B:$B" as both corners of the range.
  void FormatColumnAsText(int column) override {
    std::string letters = TExcelOperation::ColumnLetters(column);
    std::string address = "$" + letters + ":$" + letters;
    BstrArg first(address), second(address);
    Dispatch range = sheet_.GetObject(L"Range", {&first.v, &second.v});
    BstrArg textFormat("@");
    range.Put(L"NumberFormatLocal", &textFormat.v);
  }

  void ForEachCell(const std::function<void(int, int, const std::string&)>&) const override {
    throw Error("Walking every cell of a sheet is not available through Excel");
  }

  // The new workbook stays open, unsaved, in a visible Excel.
  std::string HandOver() override {
    Show();
    return {};
  }

 private:
  Dispatch Range(int row, int column) const {
    std::string address = TExcelOperation::CellAddress(row, column);
    BstrArg first(address), second(address);
    return sheet_.GetObject(L"Range", {&first.v, &second.v});
  }

  void Show() {
    Variant visible;
    visible.v.vt = VT_BOOL;
    visible.v.boolVal = VARIANT_TRUE;
    app_.Put(L"Visible", &visible.v);
    shown_ = true;
  }

  Dispatch app_, workbook_, sheet_;
  bool created_;
  bool shown_ = false;
};

// Quits an Excel that was started but could not give its workbook, so that
// no invisible instance is left behind.
void QuitQuietly(Dispatch& app) {
  try {
    if (app) app.Call(L"Quit");
  } catch (...) {
  }
  app.Reset();
}

}  // namespace

std::unique_ptr<WorkbookEngine> WorkbookEngine::Create() {
  Dispatch app = StartExcel();
  try {
    Dispatch workbook = app.GetObject(L"Workbooks").CallObject(L"Add");
    Dispatch sheet = workbook.GetObject(L"ActiveSheet");
    return std::make_unique<ExcelSheet>(std::move(app), std::move(workbook), std::move(sheet), true);
  } catch (...) {
    QuitQuietly(app);
    throw;
  }
}

std::unique_ptr<WorkbookEngine> WorkbookEngine::Open(const std::string& fileName) {
  Dispatch app = StartExcel();
  try {
    BstrArg name(fileName);
    Dispatch workbook = app.GetObject(L"Workbooks").CallObject(L"Open", {&name.v});
    Dispatch sheet = workbook.GetObject(L"ActiveSheet");
    return std::make_unique<ExcelSheet>(std::move(app), std::move(workbook), std::move(sheet), false);
  } catch (...) {
    QuitQuietly(app);
    throw;
  }
}

}  // namespace sx
