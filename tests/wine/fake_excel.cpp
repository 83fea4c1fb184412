// A stand-in for Excel in the tests under Wine: an in-process automation
// server registered as "Excel.Application" that knows only the dispatch names
// the library uses (Workbooks, Add, Open, ActiveSheet, Range, Value,
// NumberFormatLocal, Visible, Quit) over a grid held in memory.
//
// Files, in the folder named by the environment variable FAKE_EXCEL_DIR:
// - a workbook that Open reads: UTF-8 lines "row<TAB>column<TAB>text", row
//   from 1, column from 0, "\t" and "\\" in the text a tab and a backslash;
//   a fourth field gives the value's type: "number" (VT_R8), "date"
//   (VT_DATE), "bool" (VT_BOOL, text "1" or "0"), "currency" (VT_CY) or
//   "error" (VT_ERROR, the text the error's number, 2042 for #N/A);
// - shown.tsv, written when Visible is set to true: "row<TAB>column<TAB>
//   number format<TAB>text" for every cell written; columns.tsv beside it:
//   "column<TAB>number format" for each column formatted as a whole (a range
//   "$B:$B");
// - events.log: one line per start, Add, Open, Visible and Quit.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <oleauto.h>

#include <cmath>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "WineText.h"

namespace {

// {6A3D2F10-4C1B-4E8A-9B7E-2C1D5E0F7A31}
const CLSID kClsid = {0x6a3d2f10, 0x4c1b, 0x4e8a, {0x9b, 0x7e, 0x2c, 0x1d, 0x5e, 0x0f, 0x7a, 0x31}};
const wchar_t kClsidText[] = L"{6A3D2F10-4C1B-4E8A-9B7E-2C1D5E0F7A31}";

HMODULE gModule = nullptr;
LONG gObjects = 0;
void (*gValueReadHook)() = nullptr;


std::wstring Dir() {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(L"FAKE_EXCEL_DIR", buffer, 1024);
  return n && n < 1024 ? std::wstring(buffer, n) : std::wstring(L".");
}
std::filesystem::path FileIn(const wchar_t* name) { return std::filesystem::path(Dir() + L"\\" + name); }

void Event(const std::string& line) {
  std::ofstream(FileIn(L"events.log"), std::ios::app) << line << "\n";
}

struct Cell {
  std::wstring text;
  std::string type;  // "" for text, else as in the workbook file
  std::wstring format;
};
struct Book {
  std::map<std::pair<int, int>, Cell> cells;  // row 0: a whole column
};

// "$B$3" -> row 3, column 1; "$B:$B" -> row 0, column 1.
bool ParseAddress(const std::wstring& a, int& row, int& column) {
  size_t colon = a.find(L':');
  if (colon != std::wstring::npos) {
    int r1, c1, r2, c2;
    std::wstring left = a.substr(0, colon) + L"$1", right = a.substr(colon + 1) + L"$1";
    if (!ParseAddress(left, r1, c1) || !ParseAddress(right, r2, c2) || c1 != c2) return false;
    row = 0;
    column = c1;
    return true;
  }
  size_t i = 0;
  if (i < a.size() && a[i] == L'$') ++i;
  int c = 0;
  size_t letters = 0;
  while (i < a.size() && iswupper(a[i])) c = c * 26 + (a[i++] - L'A' + 1), ++letters;
  if (!letters) return false;
  if (i < a.size() && a[i] == L'$') ++i;
  if (i >= a.size()) return false;
  int r = 0;
  for (; i < a.size(); ++i) {
    if (!iswdigit(a[i])) return false;
    r = r * 10 + (a[i] - L'0');
  }
  row = r;
  column = c - 1;
  return r > 0;
}


enum class Kind { Application, Workbooks, Workbook, Sheet, Range };

// Dispatch ids by name, the same for every kind.
const wchar_t* const kNames[] = {L"Workbooks", L"Add", L"Open", L"ActiveSheet", L"Range",
                                 L"Value", L"NumberFormatLocal", L"Visible", L"Quit"};
enum { kWorkbooks = 1, kAdd, kOpen, kActiveSheet, kRange, kValue, kNumberFormatLocal, kVisible, kQuit };

struct State {
  std::shared_ptr<Book> book;  // the active workbook
};

class Object final : public IDispatch {
 public:
  Object(Kind kind, std::shared_ptr<State> state, int row = 0, int column = 0)
      : kind_(kind), state_(std::move(state)), row_(row), column_(column) {
    InterlockedIncrement(&gObjects);
  }
  ~Object() { InterlockedDecrement(&gObjects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return DISP_E_UNKNOWNNAME;
    for (int i = 0; i < 9; ++i)
      if (_wcsicmp(names[0], kNames[i]) == 0) {
        ids[0] = i + 1;
        return S_OK;
      }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    auto arg = [&](UINT i) -> VARIANT* {  // natural order
      return i < params->cArgs ? &params->rgvarg[params->cArgs - 1 - i] : nullptr;
    };
    auto object = [&](Object* o) {
      VariantInit(result);
      result->vt = VT_DISPATCH;
      result->pdispVal = o;
      o->AddRef();
      return S_OK;
    };
    bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    switch (kind_) {
      case Kind::Application:
        if (id == kWorkbooks && !put) return object(new Object(Kind::Workbooks, state_));
        if (id == kVisible && put) {
          VARIANT v;
          VariantInit(&v);
          if (FAILED(VariantChangeType(&v, arg(0), 0, VT_BOOL))) return DISP_E_TYPEMISMATCH;
          if (v.boolVal) Show();
          Event(v.boolVal ? "Visible true" : "Visible false");
          return S_OK;
        }
        if (id == kQuit) {
          Event("Quit");
          if (result) VariantInit(result);
          return S_OK;
        }
        break;
      case Kind::Workbooks:
        if (id == kAdd) {
          state_->book = std::make_shared<Book>();
          Event("Add");
          return object(new Object(Kind::Workbook, state_));
        }
        if (id == kOpen && arg(0) && arg(0)->vt == VT_BSTR) {
          std::wstring path = arg(0)->bstrVal;
          Event("Open " + Utf8(path));
          auto book = std::make_shared<Book>();
          if (!Load(path, *book)) {
            std::wstring text = L"'" + path + L"' could not be found. Check the spelling of the file name.";
            if (info) {
              *info = EXCEPINFO{};
              info->bstrSource = SysAllocString(L"Microsoft Excel");
              info->bstrDescription = SysAllocString(text.c_str());
              info->scode = static_cast<SCODE>(0x800A03EC);
            }
            return DISP_E_EXCEPTION;
          }
          state_->book = book;
          return object(new Object(Kind::Workbook, state_));
        }
        break;
      case Kind::Workbook:
        if (id == kActiveSheet && !put) return object(new Object(Kind::Sheet, state_));
        break;
      case Kind::Sheet:
        if (id == kRange && !put && params->cArgs == 2 && arg(0)->vt == VT_BSTR && arg(1)->vt == VT_BSTR) {
          int row, column, row2, column2;
          if (!ParseAddress(arg(0)->bstrVal, row, column) || !ParseAddress(arg(1)->bstrVal, row2, column2) ||
              row != row2 || column != column2)
            return DISP_E_BADINDEX;
          return object(new Object(Kind::Range, state_, row, column));
        }
        break;
      case Kind::Range: {
        if (!state_->book) return E_FAIL;
        Cell& cell = state_->book->cells[{row_, column_}];
        if (id == kValue && !put) {
          if (gValueReadHook) gValueReadHook();
          VariantInit(result);
          if (cell.type == "number" || cell.type == "date") {
            result->vt = cell.type == "date" ? VT_DATE : VT_R8;
            result->dblVal = _wtof(cell.text.c_str());
          } else if (cell.type == "currency") {
            result->vt = VT_CY;
            result->cyVal.int64 = std::llround(_wtof(cell.text.c_str()) * 10000);
          } else if (cell.type == "bool") {
            result->vt = VT_BOOL;
            result->boolVal = cell.text == L"1" ? VARIANT_TRUE : VARIANT_FALSE;
          } else if (cell.type == "error") {
            result->vt = VT_ERROR;
            result->scode = static_cast<SCODE>(0x800A0000u | static_cast<unsigned>(_wtoi(cell.text.c_str())));
          } else if (!cell.text.empty()) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(cell.text.c_str());
          }
          return S_OK;
        }
        if (id == kValue && put && arg(0)->vt == VT_BSTR) {
          cell.text = arg(0)->bstrVal;
          cell.type.clear();
          return S_OK;
        }
        if (id == kNumberFormatLocal && put && arg(0)->vt == VT_BSTR) {
          cell.format = arg(0)->bstrVal;
          return S_OK;
        }
        break;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  static std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\\' && i + 1 < s.size()) {
        ++i;
        out += s[i] == 't' ? '\t' : s[i];
      } else {
        out += s[i];
      }
    }
    return out;
  }

  static bool Load(const std::wstring& path, Book& book) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    std::string content;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) content.append(chunk, n);
    std::fclose(file);
    std::stringstream in(content);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> f;
      std::stringstream ss(line);
      std::string part;
      while (std::getline(ss, part, '\t')) f.push_back(part);
      if (f.size() < 2) continue;
      Cell cell;
      cell.text = f.size() > 2 ? Wide(Unescape(f[2])) : L"";
      cell.type = f.size() > 3 ? f[3] : "";
      book.cells[{std::stoi(f[0]), std::stoi(f[1])}] = cell;
    }
    return true;
  }

  void Show() const {
    std::ofstream out(FileIn(L"shown.tsv"), std::ios::trunc);
    std::ofstream columns(FileIn(L"columns.tsv"), std::ios::trunc);
    if (!state_->book) return;
    for (const auto& [at, cell] : state_->book->cells) {
      if (at.first == 0 && !cell.format.empty())
        columns << at.second << "\t" << Utf8(cell.format) << "\n";
      else if (at.first > 0 && (!cell.text.empty() || !cell.format.empty()))
        out << at.first << "\t" << at.second << "\t" << Utf8(cell.format) << "\t" << Utf8(cell.text) << "\n";
    }
  }

  LONG refs_ = 1;
  Kind kind_;
  std::shared_ptr<State> state_;
  int row_, column_;
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    Event("start");
    auto* app = new Object(Kind::Application, std::make_shared<State>());
    HRESULT hr = app->QueryInterface(riid, out);
    app->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
Factory gFactory;

LONG SetKey(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY h;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
  if (rc) return rc;
  rc = RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  return rc;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) gModule = module;
  return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return gFactory.QueryInterface(riid, out);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return gObjects == 0 ? S_OK : S_FALSE; }

// Registers "Excel.Application" (in the Wine prefix of the test run).
__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(gModule, path, MAX_PATH);
  std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  if (SetKey(L"Excel.Application\\CLSID", nullptr, kClsidText) ||
      SetKey(clsidKey, nullptr, L"Fake Excel for tests") || SetKey(clsidKey + L"\\InprocServer32", nullptr, path) ||
      SetKey(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") ||
      SetKey(clsidKey + L"\\ProgID", nullptr, L"Excel.Application"))
    return E_FAIL;
  return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Excel.Application");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsidText).c_str());
  return S_OK;
}

// Called on the caller's thread each time a cell's Value is read.
__declspec(dllexport) void SetValueReadHook(void (*hook)()) { gValueReadHook = hook; }

}  // extern "C"
