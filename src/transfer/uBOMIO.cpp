// Cost cards. A card is stored under its card number: the dish code followed
// by one digit, the position (1 to 5) of the standard among the dish's five.
// The sheet has one section, "bom", with one row per card line; the dish and
// its standard stand only on the first line of each card. An import replaces
// all cards of each dish it names, one transaction per dish.
#include "transfer/uBOMIO.h"

#include <optional>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

using uBOMIO::TBOMItem;
using uBOMIO::TMenuItem;
using uBOMIO::TMenuStandard;

constexpr const char* kKey = "bom";
constexpr const char* kTitle = "成本卡BOM明细清单";
constexpr const char* kKindName = "成本卡BOM";
constexpr int kStandards = 5;

// ---- Sheet layout -------------------------------------------------------------

// What the export writes into a column.
enum class Fill {
  CardHead,    // the field, on the first line of a card only
  Standard,    // the name of the card's standard, first line only
  Price,       // the dish's price of that standard, first line only
  Line,        // the field, on every line
  Conversion,  // "1" + stock unit + "=" + rate + cost card unit
  AutoTag,     // "是" from 1 on, else "否"
};

struct Column {
  const char* caption;
  const char* source;  // the export query's column
  Fill fill;
};

constexpr Column kColumns[] = {
    {"菜品编号", "mCode", Fill::CardHead},
    {"菜品名称", "MenuItemCName", Fill::CardHead},
    {"菜品规格", "Standard", Fill::Standard},
    {"售价", "MenuItemPrice", Fill::Price},
    {"物品代码", "StoreItemCode", Fill::Line},
    {"物品名称", "ItemName", Fill::Line},
    {"库存规格", "StoreUnit", Fill::Line},
    {"成本卡规格", "CalcUnit", Fill::Line},
    {"换算关系", "CalcRate", Fill::Conversion},
    {"净料用量", "CostQty", Fill::Line},
    {"净料率%", "CostRate", Fill::Line},
    {"自动出库(0-否/1-是)", "AutoTag", Fill::AutoTag},
};

constexpr int kColumnCount = std::size(kColumns);
static_assert(kColumnCount == 12);

constexpr int ColumnOf(std::string_view source) { return ColumnNumber<&Column::source>(kColumns, source); }
const Column& At(int column) { return kColumns[column - 1]; }

constexpr int kDishCode = ColumnOf("mCode");
constexpr int kDishName = ColumnOf("MenuItemCName");
constexpr int kStandard = ColumnOf("Standard");
constexpr int kPrice = ColumnOf("MenuItemPrice");
constexpr int kItemCode = ColumnOf("StoreItemCode");
constexpr int kCostQty = ColumnOf("CostQty");
constexpr int kCostRate = ColumnOf("CostRate");
constexpr int kAutoTag = ColumnOf("AutoTag");

// ---- Statements -----------------------------------------------------------------

// A card belongs to the dish whose code is the card number without its last
// character; compared by length and prefix, which both engines run.
constexpr const char* kStoreQuery = R"(
select m.MenuItemCode as mCode,m.MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5,
       m.MenuItemPrice,m.MenuItemPrice2,m.MenuItemPrice3,m.MenuItemPrice4,m.MenuItemPrice5,
       c.CostCardNo as MenuItemCode,c.ItemCode as StoreItemCode,c.CostQty,c.CostRate,c.AutoTag,
       i.ItemName,i.StoreUnit,i.CalcUnit,i.CalcRate
from CostCard c,MenuItem m,S_Item i
where Len(c.CostCardNo)=Len(m.MenuItemCode)+1
  and Left(c.CostCardNo,Len(m.MenuItemCode))=m.MenuItemCode
  and c.ItemCode=i.ItemCode
order by c.CostCardNo,c.ItemCode)";

// The chain's stock items are shared by all brands.
constexpr const char* kGroupQuery = R"(
select m.ItemCode as mCode,m.ItemName as MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5,
       m.ItemPrice as MenuItemPrice,m.ItemPrice2 as MenuItemPrice2,m.ItemPrice3 as MenuItemPrice3,
       m.ItemPrice4 as MenuItemPrice4,m.ItemPrice5 as MenuItemPrice5,
       c.MenuItemCode,c.StoreItemCode,c.CostQty,c.CostRate,c.AutoTag,
       i.ItemName,i.StoreUnit,i.CalcUnit,i.CalcRate
from Group_CostCard c,Group_MenuItem m,Group_StoreItem i
where c.BrandID=:brandid
  and Len(c.MenuItemCode)=Len(m.ItemCode)+1
  and Left(c.MenuItemCode,Len(m.ItemCode))=m.ItemCode
  and m.BrandID=:brandid
  and c.StoreItemCode=i.ItemCode
order by c.MenuItemCode,c.StoreItemCode)";

// Every card of a dish: its code followed by exactly one character, matched
// literally (a code may hold characters that are patterns elsewhere).
constexpr const char* kStoreDelete = R"(
delete from CostCard
where Len(CostCardNo)=Len(:mcode)+1
  and Upper(Left(CostCardNo,Len(:mcode)))=Upper(:mcode))";

constexpr const char* kGroupDelete = R"(
delete from Group_CostCard
where BrandID=:brandid
  and Len(MenuItemCode)=Len(:mcode)+1
  and Upper(Left(MenuItemCode,Len(:mcode)))=Upper(:mcode))";

constexpr const char* kStoreInsert = R"(
insert into CostCard(CostCardNo,ItemCode,CostQty,CostRate,AutoTag)
values(:costcardno,:itemcode,:costqty,:costrate,:autotag))";

constexpr const char* kGroupInsert = R"(
insert into Group_CostCard(MenuItemCode,StoreItemCode,CostQty,CostRate,AutoTag,BrandID)
values(:menuitemcode,:storeitemcode,:costqty,:costrate,:autotag,:brandid))";

constexpr int kCardNoSize = 6;
constexpr int kItemCodeSize = 30;

// The name of standard `number` (1 to 5) of a column or field: "Standard",
// "Standard2", ...
std::string Numbered(const char* name, int number) {
  return number == 1 ? name : name + std::to_string(number);
}

// ---- Export ---------------------------------------------------------------------

// The standard a card number names: its last character as an integer. A card
// number not ending in a digit fails the export with a conversion error.
int StandardOf(const std::string& card) {
  std::size_t last = card.size();
  while (last > 0 && (static_cast<unsigned char>(card[last - 1]) & 0xC0) == 0x80) --last;
  if (last > 0) --last;
  int number = StrToInt(std::string_view(card).substr(last));
  return number >= 1 && number <= kStandards ? number : 1;
}

std::vector<std::string> Captions() {
  std::vector<std::string> captions;
  for (const Column& c : kColumns) captions.push_back(c.caption);
  return captions;
}

// ---- Reading --------------------------------------------------------------------

class BOMReader {
 public:
  BOMReader(ImportRun& run, std::vector<TMenuItem>& dishes)
      : run_(run), dishes_(dishes), menu_(run.dm.MenuItems(run.edition)),
        items_(run.dm.StoreItems(run.edition)) {}

  void Enter() { rememberedDish_.clear(), rememberedStandard_.clear(); }
  void ReadLine(int r);

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  void Reject(int r, const std::string& text) { run_.RowError(r, text); }
  // A quantity above 0; false after logging why not.
  bool ReadPositive(int r, int column, double& value);
  TMenuStandard& StandardOf(const std::string& code, const std::string& name, const std::string& standard,
                            int number);

  ImportRun& run_;
  std::vector<TMenuItem>& dishes_;
  RefList menu_;
  RefList items_;
  std::string rememberedDish_;
  std::string rememberedStandard_;
};

bool BOMReader::ReadPositive(int r, int column, double& value) {
  std::optional<double> x = TryStrToFloat(Cell(r, column));
  if (!x) Reject(r, At(column).caption + std::string("不是数值!"));
  else if (*x <= 0) Reject(r, At(column).caption + std::string("不能小于等于0!"));
  else value = *x;
  return x && *x > 0;
}

TMenuStandard& BOMReader::StandardOf(const std::string& code, const std::string& name,
                                     const std::string& standard, int number) {
  TMenuItem* dish = nullptr;
  for (TMenuItem& d : dishes_)
    if (!dish && SameTextIgnoringCase(d.code, code)) dish = &d;
  if (!dish) dish = &dishes_.emplace_back(TMenuItem{.code = code, .name = name, .standards = {}});
  for (TMenuStandard& s : dish->standards)
    if (s.number == number) return s;
  return dish->standards.emplace_back(TMenuStandard{.name = standard, .number = number, .lines = {}});
}

void BOMReader::ReadLine(int r) {
  std::string code = Cell(r, kDishCode);
  if (code.empty()) code = rememberedDish_;
  rememberedDish_ = code;
  std::optional<RefList::Row> dish = menu_.Find("MenuItemCode", code);
  if (!dish) return Reject(r, "没有找到编号为\"" + code + "\"的菜品!");

  std::string name = Cell(r, kDishName);
  std::string standard = Cell(r, kStandard);
  if (name.empty() && standard.empty() && Cell(r, kPrice).empty()) standard = rememberedStandard_;
  // The first standard of the dish with exactly this name; none: standard 1.
  // A standard the dish does not have (an empty one) never matches.
  int number = 1;
  for (int k = kStandards; k >= 1; --k) {
    std::string own = dish->Text(Numbered("Standard", k));
    if (!own.empty() && own == standard) number = k;
  }
  rememberedStandard_ = standard;

  TBOMItem line;
  line.itemCode = Cell(r, kItemCode);
  if (!items_.Find("ItemCode", line.itemCode)) return Reject(r, "没有找到编号为\"" + line.itemCode + "\"的物品!");
  if (!ReadPositive(r, kCostQty, line.costQty) || !ReadPositive(r, kCostRate, line.costRate)) return;
  line.autoTag = YesNo(Cell(r, kAutoTag));
  StandardOf(code, name, standard, number).lines.push_back(std::move(line));
}

}  // namespace

void uBOMIO::Export(ExportRun& run) {
  db::Query& q = run.Query(run.edition.Pick(kStoreQuery, kGroupQuery));
  run.FirstMarker(kKey, kTitle);
  run.Sheet().Header(Captions());
  std::string previousCard;
  std::vector<std::string> cells(kColumnCount);
  for (; !q.Eof(); q.Next()) {
    std::string card = q.FieldByName("MenuItemCode").AsString();
    bool first = !SameTextIgnoringCase(card, previousCard);
    previousCard = card;
    int number = first ? StandardOf(card) : 1;
    for (int c = 1; c <= kColumnCount; ++c) {
      const Column& column = At(c);
      std::string& cell = cells[c - 1];
      cell.clear();
      switch (column.fill) {
        case Fill::CardHead:
          if (first) cell = q.FieldByName(column.source).AsString();
          break;
        case Fill::Standard:
        case Fill::Price:
          if (first) cell = q.FieldByName(Numbered(column.source, number)).AsString();
          break;
        case Fill::Line:
          cell = q.FieldByName(column.source).AsString();
          break;
        case Fill::Conversion:
          cell = "1" + q.FieldByName("StoreUnit").AsString() + "=" + q.FieldByName(column.source).AsString() +
                 q.FieldByName("CalcUnit").AsString();
          break;
        case Fill::AutoTag:
          cell = q.FieldByName(column.source).AsInteger() >= 1 ? "是" : "否";
          break;
      }
    }
    run.Sheet().Row(cells);
  }
}

void uBOMIO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlCostCard", "成本卡BOM由集团统一下发,不能在门店导入!");
  std::vector<TMenuItem> dishes;
  BOMReader reader(run, dishes);
  // A line with column 1 empty continues the card above when it names a stock item.
  ReadingLoop loop;
  loop.sections.push_back({.key = kKey,
                           .read = [&](int r) { reader.ReadLine(r); },
                           .continuationColumns = {kItemCode},
                           .onEnter = [&] { reader.Enter(); }});
  loop.headerCaptions = {At(kDishCode).caption};
  run.ReadSections(kKindName, loop);

  const Edition& e = run.edition;
  for (const TMenuItem& dish : dishes) {
    // The store's line has never had a closing quote; the group's has.
    std::string line = "正在导入成本卡BOM\"" + dish.code + " " + dish.name + e.Pick<const char*>("", "\"") + "...";
    run.WriteItem(line, [&] {
      run.Execute(e.Pick(kStoreDelete, kGroupDelete), [&](db::Query& q) { q.SetString("mcode", 0, dish.code); });
      for (const TMenuStandard& standard : dish.standards)
        for (const TBOMItem& item : standard.lines)
          run.Execute(e.Pick(kStoreInsert, kGroupInsert), [&](db::Query& q) {
            q.SetString(e.Pick<const char*>("costcardno", "menuitemcode"), kCardNoSize,
                        dish.code + std::to_string(standard.number));
            q.SetString(e.Pick<const char*>("itemcode", "storeitemcode"), kItemCodeSize, item.itemCode);
            q.SetFloat("costqty", item.costQty);
            q.SetFloat("costrate", item.costRate);
            q.SetInteger("autotag", item.autoTag);
          });
      run.StampDownloadVersion("CostCardVersion");
    });
  }
}

}  // namespace sx
