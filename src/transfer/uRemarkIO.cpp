// Remarks. The sheet has one section, "remark", one row per request; columns
// 5 to 8 name the menu type or the menu item the request belongs to, and a
// row naming neither is a public request. The import gathers the rows into
// one group per owner and replaces each owner's text of request lines.
#include "transfer/uRemarkIO.h"

#include <cstdio>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "base/DateTime.h"
#include "base/Text.h"
#include "datamodule/TextRoutines.h"

namespace sx {

namespace {

constexpr const char* kKey = "remark";
constexpr const char* kTitle = "客人要求清单";
constexpr const char* kKindName = "客人要求";
constexpr const char* kPublicName = "公共要求";

// ---- Sheet layout -------------------------------------------------------------

enum class Role { Name, Price, Type, HelpCode, TypeCode, TypeName, ItemCode, ItemName };

struct Column {
  const char* caption;
  Role role;
};

constexpr Column kColumns[] = {
    {"客人要求", Role::Name},
    {"加收价格", Role::Price},
    {"加收类型(0-价格x数量/1-价格/2-价格x人数/3-价格x数量x人数/4-价格x自定义数量)", Role::Type},
    {"助记码", Role::HelpCode},
    {"对应菜类代码", Role::TypeCode},
    {"对应菜类名称", Role::TypeName},
    {"对应菜品代码", Role::ItemCode},
    {"对应菜品名称", Role::ItemName},
};
constexpr int kColumnCount = std::size(kColumns);

// The sheet column (from 1) of a role.
constexpr int ColumnOf(Role role) { return ColumnNumber<&Column::role>(kColumns, role); }

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreItemQuery = R"(
select MenuItemCode,MenuItemCName,Remark
from MenuItem
where not Remark is null
order by MenuItemCode)";

constexpr const char* kGroupItemQuery = R"(
select ItemCode as MenuItemCode,ItemName as MenuItemCName,Remark
from Group_MenuItem
where BrandID=:brandid and not Remark is null
order by ItemCode)";

constexpr const char* kStoreTypeQuery = R"(
select MenuTypeCode,MenuTypeName,Remark
from MenuType
where not Remark is null
order by MenuTypeCode)";

constexpr const char* kGroupTypeQuery = R"(
select tCode as MenuTypeCode,tName as MenuTypeName,Remark
from Group_MenuType
where BrandID=:brandid and not Remark is null
order by tCode)";

constexpr const char* kStorePublicQuery = "select * from GuestNeeds order by ID";

constexpr const char* kGroupPublicQuery = R"(
select * from Group_GuestNeeds
where BrandID=:brandid
order by ID)";

constexpr const char* kStorePublicDelete = "delete from GuestNeeds";
constexpr const char* kStorePublicInsert = "insert into GuestNeeds(ID,Needs) values(0,:needs)";

constexpr const char* kGroupPublicDelete = "delete from Group_GuestNeeds where BrandID=:brandid";

constexpr const char* kGroupPublicInsert = R"(
insert into Group_GuestNeeds(BrandID,Needs)
values(:brandid,:needs))";

constexpr const char* kStoreTypeUpdate = "update MenuType set Remark=:remark where MenuTypeCode=:menutypecode";

constexpr const char* kGroupTypeUpdate = R"(
update Group_MenuType
set Remark=:remark
where tCode=:menutypecode and BrandID=:brandid)";

constexpr const char* kStoreItemUpdate = "update MenuItem set Remark=:remark where MenuItemCode=:menuitemcode";

constexpr const char* kGroupItemUpdate = R"(
update Group_MenuItem
set Remark=:remark
where ItemCode=:menuitemcode and BrandID=:brandid)";

// ---- The stored text ------------------------------------------------------------

// One line of a stored text: "name@price@type,mnemonic" or "name,mnemonic".
struct Line {
  std::string name, price, type, helpCode;
};

Line ParseLine(std::string_view text) {
  std::string entry = Trim(Token(text, ",", 0));
  return {.name = Trim(Token(entry, "@", 0)),
          .price = Trim(Token(entry, "@", 1)),
          .type = Trim(Token(entry, "@", 2)),
          .helpCode = Trim(Token(text, ",", 1))};
}

// The lines of a stored text that name a request.
std::vector<Line> ParseText(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    Line line = ParseLine(text.substr(0, end));
    if (!line.name.empty()) lines.push_back(std::move(line));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

// The stored line of a request: its price and type only with a price above 0.
std::string StoredLine(const TRemarkItem& r) {
  std::string line = r.name;
  if (r.price > 0) {
    char price[400];
    std::snprintf(price, sizeof price, "%.2f", r.price);
    line += std::string("@") + price + "@" + std::to_string(r.surchargeType);
  }
  if (!r.helpCode.empty()) line += "," + r.helpCode;
  return line;
}

std::string StoredText(const TMenuRemarkItem& group) {
  std::string text;
  for (const auto& r : group.remarks) {
    std::string line = StoredLine(r);
    if (line.empty()) continue;
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

// ---- Export ---------------------------------------------------------------------

// One row per request of each owner of the query; `code` and `name` name the
// owner's columns in the query and the sheet, absent for public requests.
void WriteRequests(ExportRun& run, db::Query& q, const char* textField,
                   std::optional<std::pair<Role, const char*>> code = {},
                   std::optional<std::pair<Role, const char*>> name = {}) {
  for (; !q.Eof(); q.Next()) {
    for (const Line& line : ParseText(q.FieldByName(textField).AsString())) {
      std::vector<std::string> cells(kColumnCount);
      cells[ColumnOf(Role::Name) - 1] = line.name;
      cells[ColumnOf(Role::Price) - 1] = line.price;
      cells[ColumnOf(Role::Type) - 1] = line.type;
      cells[ColumnOf(Role::HelpCode) - 1] = line.helpCode;
      for (const auto& owner : {code, name})
        if (owner) cells[ColumnOf(owner->first) - 1] = q.FieldByName(owner->second).AsString();
      run.Sheet().Row(cells);
    }
  }
}

// ---- Reading --------------------------------------------------------------------

class RemarkReader {
 public:
  explicit RemarkReader(ImportRun& run)
      : run_(run), items_(run.dm.MenuItems(run.edition)), types_(run.dm.MenuTypes(run.edition)) {}

  void Read(int r);
  std::vector<TMenuRemarkItem>& Groups() { return groups_; }

 private:
  std::string Cell(int r, Role role) { return run_.Cell(r, ColumnOf(role)); }
  TMenuRemarkItem& Group(TMenuRemarkItem::Kind kind, const std::string& code, const std::string& name);

  ImportRun& run_;
  RefList items_;
  RefList types_;
  std::vector<TMenuRemarkItem> groups_;
  std::map<std::pair<int, std::string>, std::size_t> groupIndex_;
};

TMenuRemarkItem& RemarkReader::Group(TMenuRemarkItem::Kind kind, const std::string& code,
                                     const std::string& name) {
  auto [it, added] = groupIndex_.try_emplace({kind, code}, groups_.size());
  if (added) groups_.push_back({.code = code, .name = name, .kind = kind});
  return groups_[it->second];
}

void RemarkReader::Read(int r) {
  TRemarkItem remark{.name = Cell(r, Role::Name), .helpCode = Cell(r, Role::HelpCode)};
  std::string who = "\"" + remark.name + "\"";
  std::string price = Cell(r, Role::Price);
  std::optional<double> priceValue = TryStrToFloat(price);
  if (!price.empty() && !priceValue) return run_.RowError(r, who + "的价格不是有效数值!");
  std::string type = Cell(r, Role::Type);
  std::optional<std::int32_t> typeValue = TryStrToInt(type);
  if (!type.empty() && (!typeValue || *typeValue < 0 || *typeValue > 4))
    return run_.RowError(r, who + "的加收类型必须在0-4之间!");
  // These characters separate the parts of the stored text.
  if (remark.name.find_first_of("@,\r\n") != std::string::npos)
    return run_.RowError(r, who + "不能含有@、逗号或换行!");
  if (remark.helpCode.find_first_of(",\r\n") != std::string::npos)
    return run_.RowError(r, who + "的助记码不能含有逗号或换行!");

  std::string typeCode = Cell(r, Role::TypeCode);
  std::string itemCode = Cell(r, Role::ItemCode);
  std::optional<RefList::Row> menuType, menuItem;
  if (!typeCode.empty() && !(menuType = types_.Find("MenuTypeCode", typeCode)))
    run_.RowError(r, "没有找到菜类代码:" + typeCode);
  if (!itemCode.empty() && !(menuItem = items_.Find("MenuItemCode", itemCode)))
    run_.RowError(r, "没有找到菜品代码:" + itemCode);
  // Groups are keyed by the code as the list holds it, so that codes typed in
  // another letter case join the same group.
  TMenuRemarkItem* group = nullptr;
  if (typeCode.empty() && itemCode.empty())
    group = &Group(TMenuRemarkItem::Public, "", kPublicName);
  else if (menuItem)
    group = &Group(TMenuRemarkItem::MenuItem, menuItem->Text("MenuItemCode"), Cell(r, Role::ItemName));
  else if (menuType)
    group = &Group(TMenuRemarkItem::MenuType, menuType->Text("MenuTypeCode"), Cell(r, Role::TypeName));
  if (!group) return;

  remark.price = price.empty() ? 0 : *priceValue;
  remark.surchargeType = remark.price > 0 && !type.empty() ? *typeValue : 0;
  group->remarks.push_back(std::move(remark));
}

}  // namespace

void uRemarkIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  db::Query& items = run.Query(e.Pick(kStoreItemQuery, kGroupItemQuery));
  run.FirstMarker(kKey, kTitle);
  run.Sheet().Header(Captions(kColumns));
  WriteRequests(run, items, "Remark", std::pair(Role::ItemCode, "MenuItemCode"),
                std::pair(Role::ItemName, "MenuItemCName"));
  WriteRequests(run, run.Query(e.Pick(kStoreTypeQuery, kGroupTypeQuery)), "Remark",
                std::pair(Role::TypeCode, "MenuTypeCode"), std::pair(Role::TypeName, "MenuTypeName"));
  WriteRequests(run, run.Query(e.Pick(kStorePublicQuery, kGroupPublicQuery)), "Needs");
}

void uRemarkIO::Import(ImportRun& run) {
  RemarkReader reader(run);
  ReadingLoop loop;
  loop.sections.push_back({.key = kKey, .read = [&](int r) { reader.Read(r); }});
  loop.headerCaptions = {kColumns[ColumnOf(Role::Name) - 1].caption};
  run.ReadSections(kKindName, loop);

  const Edition& e = run.edition;
  for (const TMenuRemarkItem& group : reader.Groups())
    run.WriteItem("正在导入客人要求\"" + group.name + "\"...", [&] {
      std::string text = StoredText(group);
      switch (group.kind) {
        case TMenuRemarkItem::Public:
          run.Execute(e.Pick(kStorePublicDelete, kGroupPublicDelete));
          run.Execute(e.Pick(kStorePublicInsert, kGroupPublicInsert),
                      [&](db::Query& q) { q.SetMemo("needs", text); });
          break;
        case TMenuRemarkItem::MenuType:
          run.Execute(e.Pick(kStoreTypeUpdate, kGroupTypeUpdate), [&](db::Query& q) {
            q.SetMemo("remark", text);
            q.SetString("menutypecode", e.Pick(2, 10), group.code);
          });
          break;
        case TMenuRemarkItem::MenuItem:
          run.Execute(e.Pick(kStoreItemUpdate, kGroupItemUpdate), [&](db::Query& q) {
            q.SetMemo("remark", text);
            q.SetString("menuitemcode", e.Pick(5, 10), group.code);
          });
          break;
      }
    });
}

}  // namespace sx
