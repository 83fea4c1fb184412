// Discount types. Section "cardtype" holds one row per discount type;
// section "cardtypeitem" one row per discount line, the discount type's code
// only on its first line, and one more row per further exception dish of a
// line. An import replaces each discount type with its lines as one item.
#include "transfer/uCardTypeIO.h"

#include <optional>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kTypeKey = "cardtype";
constexpr const char* kLineKey = "cardtypeitem";
constexpr const char* kTitle = "优惠类型清单";
constexpr const char* kKindName = "优惠类型";

// ---- Sheet layout -------------------------------------------------------------

struct Column {
  const char* caption;
  const char* source;  // the export query's column
};

// Discount type section, columns 1 to 5.
constexpr Column kTypeColumns[] = {
    {"优惠代码", "CardTypeCode"},
    {"优惠名称", "CardTypeName"},
    {"优惠名称2", "CardTypeEName"},
    {"优惠名称3", "CardTypeEName2"},
    {"是否允许会员积分(0-否/1-是)", "AllowJifen"},
};

// Discount line section, columns 1 to 9; the exception dish columns 7 to 9
// repeat on a row of their own for each further exception dish of a line.
constexpr Column kLineColumns[] = {
    {"优惠代码", "CardTypeCode"},
    {"菜类代码", "MenuTypeCode"},
    {"菜类名称", "MenuTypeName"},
    {"套餐编号", "MenuSuiteNo"},
    {"套餐名称", "MenuSuiteName"},
    {"折扣百分比%", "Discount"},
    {"例外菜品编号", nullptr},
    {"例外菜品名称", nullptr},
    {"例外菜品折扣百分比%", nullptr},
};

constexpr int ColumnOf(const auto& columns, std::string_view caption) {
  return ColumnNumber<&Column::caption>(columns, caption);
}

constexpr int kTypeCode = ColumnOf(kTypeColumns, "优惠代码");
constexpr int kTypeName = ColumnOf(kTypeColumns, "优惠名称");
constexpr int kTypeName2 = ColumnOf(kTypeColumns, "优惠名称2");
constexpr int kTypeName3 = ColumnOf(kTypeColumns, "优惠名称3");
constexpr int kTypeAllowJifen = ColumnOf(kTypeColumns, "是否允许会员积分(0-否/1-是)");
constexpr int kLineCode = ColumnOf(kLineColumns, "优惠代码");
constexpr int kLineMenuType = ColumnOf(kLineColumns, "菜类代码");
constexpr int kLineMenuSuite = ColumnOf(kLineColumns, "套餐编号");
constexpr int kLineDiscount = ColumnOf(kLineColumns, "折扣百分比%");
constexpr int kLineDish = ColumnOf(kLineColumns, "例外菜品编号");
constexpr int kLineDishName = ColumnOf(kLineColumns, "例外菜品名称");
constexpr int kLineDishDiscount = ColumnOf(kLineColumns, "例外菜品折扣百分比%");

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreTypeQuery = "select * from CardType order by CardTypeCode";
constexpr const char* kGroupTypeQuery = R"(
select CardTypeCode,CardTypeName,CardTypeName2 as CardTypeEName,CardTypeName3 as CardTypeEName2,AllowJifen
from CardType
order by CardTypeCode)";

constexpr const char* kStoreLineQuery = R"(
select i.*,m.MenuTypeName,ms.MenuSuiteName
from DiscountSuite i,MenuType m,MenuSuite ms
where i.MenuTypeCode*=m.MenuTypeCode
  and i.MenuSuiteNo*=ms.MenuSuiteNo
order by i.CardTypeCode,i.MenuTypeCode,i.MenuSuiteNo)";

constexpr const char* kGroupLineQuery = R"(
select i.*,m.tName as MenuTypeName,ms.msName as MenuSuiteName
from CardTypeItems i,Group_MenuType m,Group_MenuSuite ms
where i.MenuTypeCode*=m.tCode
  and i.MenuSuiteNo*=ms.msCode
  and i.BrandID=:brandid
  and m.BrandID=:brandid
  and ms.BrandID=:brandid
order by i.CardTypeCode,i.MenuTypeCode,i.MenuSuiteNo)";

constexpr const char* kStoreMenuTypeCount = "select count(*) from MenuType where MenuTypeCode=:code";
constexpr const char* kGroupMenuTypeCount = "select count(*) from Group_MenuType where tCode=:code and BrandID=:brandid";
constexpr const char* kStoreMenuSuiteCount = "select count(*) from MenuSuite where MenuSuiteNo=:code";
constexpr const char* kGroupMenuSuiteCount = R"(
select count(*) from Group_MenuSuite where msCode=:code and BrandID=:brandid)";

constexpr const char* kStoreDeleteLines = "delete from DiscountSuite where CardTypeCode=:cardtypecode";
constexpr const char* kStoreDeleteType = "delete from CardType where CardTypeCode=:cardtypecode";
constexpr const char* kStoreInsertType = R"(
insert into CardType(CardTypeCode,CardTypeName,CardTypeEName,CardTypeEName2,AllowJifen)
values(:cardtypecode,:cardtypename,:cardtypeename,:cardtypeename2,:allowjifen))";
constexpr const char* kStoreInsertLine = R"(
insert into DiscountSuite(CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo)
values(:cardtypecode,:menutypecode,:discount,:excludes,:menusuiteno))";

constexpr const char* kGroupDeleteLines = R"(
delete from CardTypeItems where CardTypeCode=:cardtypecode and BrandID=:brandid)";
constexpr const char* kGroupUpdateType = R"(
update CardType
set CardTypeName=:cardtypename,CardTypeName2=:cardtypeename,CardTypeName3=:cardtypeename2,AllowJifen=:allowjifen
where CardTypeCode=:cardtypecode)";
constexpr const char* kGroupInsertType = R"(
insert into CardType(CardTypeCode,CardTypeName,CardTypeName2,CardTypeName3,AllowJifen)
values(:cardtypecode,:cardtypename,:cardtypeename,:cardtypeename2,:allowjifen))";
constexpr const char* kGroupInsertLine = R"(
insert into CardTypeItems(CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo,BrandID)
values(:cardtypecode,:menutypecode,:discount,:excludes,:menusuiteno,:brandid))";

// ---- Exception lists ------------------------------------------------------------

struct Exception {
  std::string dish;
  std::string discount;  // empty when the dish has no percentage of its own
};

// The stored list: its entries in order, each followed by CR LF.
std::vector<Exception> SplitExcludes(const std::string& stored) {
  std::vector<Exception> exceptions;
  std::size_t start = 0;
  while (start < stored.size()) {
    std::size_t end = stored.find('\n', start);
    if (end == std::string::npos) end = stored.size();
    std::string line = stored.substr(start, end - start);
    start = end + 1;
    if (Trim(line).empty()) continue;
    std::size_t at = line.find('@');
    if (at == std::string::npos)
      exceptions.push_back({Trim(line), ""});
    else
      exceptions.push_back({Trim(line.substr(0, at)), Trim(line.substr(at + 1))});
  }
  return exceptions;
}

std::string JoinExcludes(const std::vector<std::string>& entries) {
  std::string stored;
  for (const auto& e : entries) stored += e + "\r\n";
  return stored;
}

// ---- Reading --------------------------------------------------------------------

class CardTypeReader {
 public:
  CardTypeReader(ImportRun& run, std::vector<TCardType>& types)
      : run_(run), types_(types), menuItems_(run.dm.MenuItems(run.edition)) {}

  void ReadType(int r);
  void ReadLine(int r);
  void ForgetCode() { carriedCode_.clear(); }

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  TCardType* FindType(const std::string& code);
  bool Exists(const char* store, const char* group, const std::string& code);
  // Logs the row's fault and removes its discount type from the import.
  void Reject(int r, TCardType& type, const std::string& text) {
    run_.RowError(r, text);
    type.rejected = true;
  }
  // A percentage of 0 to 100; logs why not and returns nothing.
  std::optional<int> Percentage(int r, TCardType& type, const std::string& text, const char* what);

  ImportRun& run_;
  std::vector<TCardType>& types_;
  RefList menuItems_;
  std::string carriedCode_;
};

TCardType* CardTypeReader::FindType(const std::string& code) {
  for (auto& t : types_)
    if (!t.rejected && SameTextIgnoringCase(t.CardTypeCode, code)) return &t;
  return nullptr;
}

void CardTypeReader::ReadType(int r) {
  TCardType t;
  t.CardTypeCode = Cell(r, kTypeCode);
  t.CardTypeName = Cell(r, kTypeName);
  if (t.CardTypeName.empty()) return run_.RowError(r, t.CardTypeCode + "没有指定优惠名称!");
  // A repeated code would attach its lines to the first entry and then wipe them.
  for (const auto& other : types_)
    if (SameTextIgnoringCase(other.CardTypeCode, t.CardTypeCode))
      return run_.RowError(r, "优惠代码" + t.CardTypeCode + "重复!");
  t.CardTypeEName = Cell(r, kTypeName2);
  t.CardTypeEName2 = Cell(r, kTypeName3);
  t.AllowJifen = YesNo(Cell(r, kTypeAllowJifen));
  types_.push_back(std::move(t));
}

bool CardTypeReader::Exists(const char* store, const char* group, const std::string& code) {
  db::Query& q = run_.Query(run_.edition.Pick(store, group),
                            [&](db::Query& p) { p.SetString("code", 0, code); });
  bool found = q.Fields(0).AsInteger() > 0;
  q.Close();
  return found;
}

std::optional<int> CardTypeReader::Percentage(int r, TCardType& type, const std::string& text,
                                              const char* what) {
  std::optional<std::int32_t> value = TryStrToInt(text);
  if (!value) {
    Reject(r, type, type.CardTypeCode + "优惠类型的" + what + "不是0-100的数值!");
    return std::nullopt;
  }
  if (*value < 0 || *value > 100) {
    Reject(r, type, type.CardTypeCode + "优惠类型的" + what + "超出范围(0-100)!");
    return std::nullopt;
  }
  return *value;
}

void CardTypeReader::ReadLine(int r) {
  std::string code = Cell(r, kLineCode);
  std::string menuType = Cell(r, kLineMenuType);
  std::string menuSuite = Cell(r, kLineMenuSuite);
  std::string discount = Cell(r, kLineDiscount);
  std::string dish = Cell(r, kLineDish);
  std::string dishDiscount = Cell(r, kLineDishDiscount);
  if (code.empty()) code = carriedCode_;
  carriedCode_ = code;
  TCardType* type = FindType(code);
  if (!type) return run_.RowError(r, "没有找到编号为\"" + code + "\"的优惠类型!");

  std::string exception;
  if (!dish.empty()) {
    if (!menuItems_.Find("MenuItemCode", dish, Case::Exact))
      return Reject(r, *type, "没有找到编号为\"" + dish + "\"的菜品!");
    exception = dish;
    if (!dishDiscount.empty()) {
      if (!Percentage(r, *type, dishDiscount, "例外菜品折扣百分比")) return;
      exception += "@" + dishDiscount;
    }
  }
  if (!menuType.empty() && !Exists(kStoreMenuTypeCount, kGroupMenuTypeCount, menuType))
    return Reject(r, *type, "没有找到菜类:" + menuType);
  if (!menuSuite.empty() && !Exists(kStoreMenuSuiteCount, kGroupMenuSuiteCount, menuSuite))
    return Reject(r, *type, "没有找到套餐:" + menuSuite);
  if (!menuType.empty() && !menuSuite.empty())
    return Reject(r, *type, "菜类编号和套餐编号不能出现在同一行上!");
  if (!menuType.empty() || !menuSuite.empty()) {
    std::optional<int> percentage = Percentage(r, *type, discount, "折扣百分比");
    if (!percentage) return;
    TCardTypeItem line{type->CardTypeCode, menuType, *percentage, menuSuite, {}};
    if (!exception.empty()) line.Excludes.push_back(exception);
    type->lines.push_back(std::move(line));
    return;
  }
  // A row of a further exception dish of the last line.
  if (!type->lines.empty() && !exception.empty()) type->lines.back().Excludes.push_back(exception);
}

// ---- Writing --------------------------------------------------------------------

void BindType(db::Query& q, const TCardType& t) {
  q.SetString("cardtypecode", 4, t.CardTypeCode);
  q.SetString("cardtypename", 10, t.CardTypeName);
  q.SetString("cardtypeename", 60, t.CardTypeEName);
  q.SetString("cardtypeename2", 60, t.CardTypeEName2);
  q.SetInteger("allowjifen", t.AllowJifen ? 1 : 0);
}

void BindLine(db::Query& q, const TCardType& t, const TCardTypeItem& line) {
  q.SetString("cardtypecode", 4, t.CardTypeCode);
  q.SetOptionalString("menutypecode", 2, line.MenuTypeCode);
  q.SetOptionalString("menusuiteno", 2, line.MenuSuiteNo);
  q.SetInteger("discount", line.Discount);
  q.SetMemo("excludes", JoinExcludes(line.Excludes));
}

void WriteStore(ImportRun& run, const TCardType& t) {
  auto bindCode = [&](db::Query& q) { q.SetString("cardtypecode", 4, t.CardTypeCode); };
  run.Execute(kStoreDeleteLines, bindCode);
  run.Execute(kStoreDeleteType, bindCode);
  run.Execute(kStoreInsertType, [&](db::Query& q) { BindType(q, t); });
  for (const auto& line : t.lines)
    run.Execute(kStoreInsertLine, [&](db::Query& q) { BindLine(q, t, line); });
}

// The group's CardType rows are shared by all brands: updated in place, and
// every brand is told of the change.
void WriteGroup(ImportRun& run, const TCardType& t) {
  run.Execute(kGroupDeleteLines, [&](db::Query& q) { q.SetString("cardtypecode", 4, t.CardTypeCode); });
  run.UpdateOrInsert(kGroupUpdateType, kGroupInsertType, [&](db::Query& q) { BindType(q, t); });
  for (const auto& line : t.lines)
    run.Execute(kGroupInsertLine, [&](db::Query& q) { BindLine(q, t, line); });
  run.dm.StampEveryBrand("DiscountVersion");
  run.StampDownloadVersion("DiscountVersion");
}

}  // namespace

void uCardTypeIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  RefList menuItems = run.dm.MenuItems(e);
  db::Query& types = run.Query(e.Pick(kStoreTypeQuery, kGroupTypeQuery));
  run.FirstMarker(kTypeKey, kTitle);
  run.Sheet().Header(Captions(kTypeColumns));
  std::vector<std::string> cells(std::size(kTypeColumns));
  for (; !types.Eof(); types.Next()) {
    for (std::size_t c = 0; c < cells.size(); ++c) cells[c] = types.FieldByName(kTypeColumns[c].source).AsString();
    run.Sheet().Row(cells);
  }

  run.Sheet().Marker(kLineKey);
  run.Sheet().Header(Captions(kLineColumns));
  db::Query& lines = run.Query(e.Pick(kStoreLineQuery, kGroupLineQuery));
  std::string previousCode;
  for (; !lines.Eof(); lines.Next()) {
    cells.assign(std::size(kLineColumns), {});
    std::string code = lines.FieldByName("CardTypeCode").AsString();
    if (!SameTextIgnoringCase(code, previousCode)) cells[kLineCode - 1] = code;
    previousCode = code;
    for (int c : {kLineMenuType, ColumnOf(kLineColumns, "菜类名称"), kLineMenuSuite,
                  ColumnOf(kLineColumns, "套餐名称"), kLineDiscount})
      cells[c - 1] = lines.FieldByName(kLineColumns[c - 1].source).AsString();
    std::vector<Exception> exceptions = SplitExcludes(lines.FieldByName("Excludes").AsString());
    for (std::size_t k = 0; k < exceptions.size() || k == 0; ++k) {
      if (k > 0) cells.assign(std::size(kLineColumns), {});
      if (k < exceptions.size()) {
        const Exception& x = exceptions[k];
        cells[kLineDish - 1] = x.dish;
        auto item = menuItems.Find("MenuItemCode", x.dish, Case::Exact);
        cells[kLineDishName - 1] = item ? item->Text("MenuItemCName") : std::string();
        cells[kLineDishDiscount - 1] = x.discount;
      }
      run.Sheet().Row(cells);
    }
  }
}

void uCardTypeIO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlDiscount", "优惠类型由集团统一下发,不能在门店导入!");
  std::vector<TCardType> types;
  CardTypeReader reader(run, types);
  ReadingLoop loop;
  loop.sections.push_back({.key = kTypeKey, .read = [&](int r) { reader.ReadType(r); }});
  // Rows of further exception dishes, and lines of the discount type above,
  // leave the code empty.
  loop.sections.push_back({.key = kLineKey,
                           .read = [&](int r) { reader.ReadLine(r); },
                           .continuationColumns = {kLineMenuType, kLineMenuSuite, kLineDish},
                           .onEnter = [&] { reader.ForgetCode(); }});
  loop.headerCaptions = {kTypeColumns[kTypeCode - 1].caption};
  run.ReadSections(kKindName, loop);

  for (const auto& t : types) {
    if (t.rejected) continue;
    run.WriteItem("正在导入优惠类型" + t.CardTypeCode + " " + t.CardTypeName + "...", [&] {
      if (run.edition.IsGroup())
        WriteGroup(run, t);
      else
        WriteStore(run, t);
    });
  }
}

}  // namespace sx
