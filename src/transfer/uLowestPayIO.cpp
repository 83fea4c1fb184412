// Minimum charges. One section, "lowestpay": a table's first row holds its
// number, type and amount (for the time section type the amount of the normal
// time); the further time sections run down columns 3 and 4 below it and the
// excluded dishes down columns 5 and 6 from its first row, independently. The
// import changes only the minimum charge of tables that exist.
#include "transfer/uLowestPayIO.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kKey = "lowestpay";
constexpr const char* kTitle = "最低消费清单";
constexpr const char* kKindName = "最低消费";
constexpr const char* kNormalTime = "平常时段";

// ---- Sheet layout -------------------------------------------------------------

enum class Role { TableNo, Type, Time, Amount, DishCode, DishName };

struct Column {
  const char* caption;
  Role role;
};

constexpr Column kColumns[] = {
    {"餐桌编号", Role::TableNo},
    {"最低消费类型(0-固定/1-按每人/2-按时段)", Role::Type},
    {"时段", Role::Time},
    {"最低消费金额", Role::Amount},
    {"不含的菜品编号", Role::DishCode},
    {"不含的菜品名称", Role::DishName},
};

// The sheet column (from 1) of a role.
constexpr int ColumnOf(Role role) { return ColumnNumber<&Column::role>(kColumns, role); }

// ---- Statements -----------------------------------------------------------------

constexpr const char* kExportQuery = R"(
select g.*,s.StartTime,s.EndTime
from (select t.TableNo,t.LowestPay,t.LowestPayType,t.ExcludeDishs,p.TimeID,p.LowestPay as LowestPayTimeID
from HotelTable t,LowestPayTimePlan p
where t.TableNo*=p.TableNo) g,TimeSection s
where g.TimeID*=s.TimeID and g.LowestPayType>=0
order by g.TableNo)";

constexpr const char* kTimePlanDelete = "delete from LowestPayTimePlan where TableNo=:tableno";

constexpr const char* kTableUpdate = R"(
update HotelTable
set LowestPay=:lowestpay,LowestPayType=:lowestpaytype,ExcludeDishs=:excludedishs
where TableNo=:tableno)";

constexpr const char* kTimePlanInsert = R"(
insert into LowestPayTimePlan(TableNo,TimeID,LowestPay)
values(:tableno,:timeid,:lowestpay))";

// ---- Export ---------------------------------------------------------------------

std::string TypeText(std::int64_t type) {
  return type == 0 ? "固定" : type == 1 ? "按每人" : "按时段";
}

// A time section as "HH:NN-HH:NN".
std::string TimeText(db::Query& q) {
  std::string unused;
  return ExportCell(q.FieldByName("StartTime"), Written::Time, unused) + "-" +
         ExportCell(q.FieldByName("EndTime"), Written::Time, unused);
}

// The lines of a stored list of codes that are not blank.
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string line = Trim(text.substr(0, end));
    if (!line.empty()) lines.push_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

// ---- Reading --------------------------------------------------------------------

class LowestPayReader {
 public:
  explicit LowestPayReader(ImportRun& run)
      : run_(run), items_(run.dm.MenuItems(run.edition)), times_(run.dm.TimeSections(run.edition)) {}

  void Read(int r);
  void Forget() { carried_.clear(); }
  std::vector<TLowestPayItem>& Tables() { return tables_; }

 private:
  std::string Cell(int r, Role role) { return run_.Cell(r, ColumnOf(role)); }
  // The amount of column 4; nothing after its message when it is not valid.
  std::optional<double> Amount(int r, const std::string& code, const std::string& text);
  std::optional<std::int32_t> TimeID(int r, const std::string& cell);
  void AddDish(int r, TLowestPayItem& table);

  ImportRun& run_;
  RefList items_;
  RefList times_;
  std::vector<TLowestPayItem> tables_;
  std::string carried_;
};

std::optional<double> LowestPayReader::Amount(int r, const std::string& code, const std::string& text) {
  std::optional<double> value = TryStrToFloat(text);
  if (!value) {
    run_.RowError(r, code + "餐桌指定的最低消费金额不是有效数值!");
    return std::nullopt;
  }
  if (*value < 0) {
    run_.RowError(r, code + "餐桌指定的最低消费金额不能小于0!");
    return std::nullopt;
  }
  return value;
}

std::optional<std::int32_t> LowestPayReader::TimeID(int r, const std::string& cell) {
  std::size_t dash = cell.find('-');
  if (dash != std::string::npos) {
    std::string start = Trim(cell.substr(0, dash)), end = Trim(cell.substr(dash + 1));
    auto hhnn = [](const std::string& stored) {
      std::optional<DateTime> t = ParseStoredDateTime(Trim(stored));
      return t ? FormatDateTime("HH:NN", *t) : std::string();
    };
    for (std::size_t i = 0; i < times_.Size(); ++i) {
      RefList::Row row = times_.At(i);
      if (hhnn(row.Text("StartTime")) == start && hhnn(row.Text("EndTime")) == end)
        return static_cast<std::int32_t>(row.Integer("TimeID"));
    }
  }
  run_.RowError(r, "没有找到时间段:" + cell);
  return std::nullopt;
}

void LowestPayReader::AddDish(int r, TLowestPayItem& table) {
  std::string code = Cell(r, Role::DishCode);
  if (code.empty()) return;
  if (!items_.Find("MenuItemCode", code)) return run_.RowError(r, "没有找到菜品:" + code);
  code = UpperCase(code);
  auto& dishes = table.excludedDishes;
  if (std::find(dishes.begin(), dishes.end(), code) == dishes.end()) dishes.push_back(code);
}

void LowestPayReader::Read(int r) {
  std::string code = Cell(r, Role::TableNo);
  if (code.empty()) code = carried_;
  carried_ = code;
  std::string time = Cell(r, Role::Time);
  std::string amount = Cell(r, Role::Amount);

  auto known = std::find_if(tables_.begin(), tables_.end(),
                            [&](const TLowestPayItem& t) { return t.TableNo == UpperCase(code); });
  if (known != tables_.end()) {
    TLowestPayItem& table = *known;
    if (table.LowestPayType == 2 && !time.empty()) {
      if (amount.empty()) return run_.RowError(r, code + "餐桌没有指定最低消费金额!");
      std::optional<double> value = Amount(r, code, amount);
      if (!value) return;
      // An unknown time section is reported; the row's dish is still taken.
      if (std::optional<std::int32_t> id = TimeID(r, time))
        table.timePlans.push_back({.TableNo = table.TableNo, .TimeID = *id, .LowestPay = *value});
    }
    return AddDish(r, table);
  }

  std::string typeText = Cell(r, Role::Type);
  std::int32_t type;
  if (typeText == "2" || typeText.find("时段") != std::string::npos)
    type = 2;
  else if (typeText == "1" || typeText.find("人") != std::string::npos)
    type = 1;
  else if (typeText == "0" || typeText.find("固定") != std::string::npos)
    type = 0;
  else
    return run_.RowError(r, code + "餐桌没有指定最低消费类型!");
  double value = 0;
  if (!amount.empty()) {
    std::optional<double> parsed = Amount(r, code, amount);
    if (!parsed) return;
    value = *parsed;
  }
  if (type == 2 && !time.empty() && time != kNormalTime)
    return run_.RowError(r, code + "餐桌指定的时段不是平常时段!第一个时段必须是平常时段!");
  tables_.push_back({.TableNo = UpperCase(code), .LowestPayType = type, .LowestPay = value});
  AddDish(r, tables_.back());
}

void WriteTable(ImportRun& run, const TLowestPayItem& table) {
  auto tableNo = [&](db::Query& q) { q.SetString("tableno", 4, table.TableNo); };
  run.Execute(kTimePlanDelete, tableNo);
  std::string dishes;
  for (const std::string& code : table.excludedDishes) dishes += code + "\r\n";
  long changed = run.Execute(kTableUpdate, [&](db::Query& q) {
    q.SetFloat("lowestpay", table.LowestPay);
    q.SetInteger("lowestpaytype", table.LowestPayType);
    q.SetMemo("excludedishs", dishes);
    tableNo(q);
  });
  // A table that does not exist is not created.
  if (changed == 0) return;
  for (const TLPTimePlanItem& plan : table.timePlans)
    run.Execute(kTimePlanInsert, [&](db::Query& q) {
      tableNo(q);
      q.SetInteger("timeid", plan.TimeID);
      q.SetFloat("lowestpay", plan.LowestPay);
    });
}

}  // namespace

void uLowestPayIO::Export(ExportRun& run) {
  RefList items = run.dm.MenuItems(run.edition);
  db::Query& q = run.Query(kExportQuery);
  run.FirstMarker(kKey, kTitle);
  SheetWriter& sheet = run.Sheet();
  sheet.Header(Captions(kColumns));
  int row = sheet.NextRow(), dishRow = row;
  std::string previous;
  for (; !q.Eof(); q.Next()) {
    std::string tableNo = q.FieldByName("TableNo").AsString();
    bool newTable = previous.empty() || !SameTextIgnoringCase(tableNo, previous);
    previous = tableNo;
    if (!newTable) {
      sheet.Cell(row, ColumnOf(Role::Time), TimeText(q));
      sheet.Cell(row, ColumnOf(Role::Amount), q.FieldByName("LowestPayTimeID").AsString());
      ++row;
      continue;
    }
    row = dishRow = std::max(row, dishRow);
    std::int64_t type = q.FieldByName("LowestPayType").AsInteger();
    sheet.Cell(row, ColumnOf(Role::TableNo), tableNo);
    sheet.Cell(row, ColumnOf(Role::Type), TypeText(type));
    sheet.Cell(row, ColumnOf(Role::Amount), q.FieldByName("LowestPay").AsString());
    if (type != 0 && type != 1) sheet.Cell(row, ColumnOf(Role::Time), kNormalTime);
    // A table without any time section amount has no row for one.
    if (type == 2 && !q.FieldByName("TimeID").IsNull()) {
      ++row;
      sheet.Cell(row, ColumnOf(Role::Time), TimeText(q));
      sheet.Cell(row, ColumnOf(Role::Amount), q.FieldByName("LowestPayTimeID").AsString());
    }
    ++row;
    for (const std::string& code : Lines(q.FieldByName("ExcludeDishs").AsString())) {
      std::optional<RefList::Row> dish = items.Find("MenuItemCode", code);
      if (!dish) continue;
      sheet.Cell(dishRow, ColumnOf(Role::DishCode), code);
      sheet.Cell(dishRow, ColumnOf(Role::DishName), dish->Text("MenuItemCName"));
      ++dishRow;
    }
  }
}

void uLowestPayIO::Import(ImportRun& run) {
  LowestPayReader reader(run);
  ReadingLoop loop;
  loop.sections.push_back({.key = kKey,
                           .read = [&](int r) { reader.Read(r); },
                           .continuationColumns = {ColumnOf(Role::Time), ColumnOf(Role::DishCode)},
                           .onEnter = [&] { reader.Forget(); }});
  loop.headerCaptions = {kColumns[ColumnOf(Role::TableNo) - 1].caption};
  loop.columnsWithoutSection = {ColumnOf(Role::Time), ColumnOf(Role::DishCode)};
  run.ReadSections(kKindName, loop);

  for (const TLowestPayItem& table : reader.Tables())
    run.WriteItem("正在导入" + table.TableNo + "的最低消费...", [&] { WriteTable(run, table); });
}

}  // namespace sx
