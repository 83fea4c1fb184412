// Set meals. The sheet has three sections: "menusuite", one row per set meal;
// "menusuiteitem", one row per dish, whose set meal code stands only on the
// first dish of each set meal and whose group ID and name only where they
// change; and, in a group database, "menusuitehotel", one row per branch a
// set meal is limited to. An import accepts or refuses each set meal as a
// whole and replaces it in one transaction: deletes, inserts and, in a group
// database, the brand's download stamp.
#include "transfer/uMenuSuiteIO.h"

#include <algorithm>
#include <iterator>
#include <list>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "base/Error.h"
#include "base/Text.h"
#include "transfer/ZoneInfo.h"

namespace sx {

namespace {

constexpr const char* kSuiteKey = "menusuite";
constexpr const char* kItemKey = "menusuiteitem";
constexpr const char* kHotelKey = "menusuitehotel";
constexpr const char* kTitle = "套餐清单";
constexpr const char* kKindName = "套餐";

// ---- Sheet layout -------------------------------------------------------------

// When the export fills a set meal cell.
enum class SuiteCell {
  Always,       // the field's text
  PlanStart,    // with a time plan, as "YYYY-MM-DD"
  PlanEnd,      // with a time plan that has an end date, as "YYYY-MM-DD"
  TimeSection,  // with a time plan limited to a time section: "HH:NN-HH:NN"
};

// How the import takes a set meal cell.
enum class Read {
  Own,   // by the row reader's own checks
  Text,  // as it stands into `text`
  Flag,  // the yes/no rule into `flag`
};

// Set meal section, from column 1 on; the group edition adds the last column.
struct SuiteColumn {
  const char* caption;
  const char* source;  // the export query's column
  SuiteCell written = SuiteCell::Always;
  Read read = Read::Own;
  const char* param = nullptr;  // Text and Flag: the insert's parameter
  int size = 0;                 // Text: the parameter's size
  std::string TMenuSuite::*text = nullptr;
  bool TMenuSuite::*flag = nullptr;
  bool groupOnly = false;
};

using T = TMenuSuite;

constexpr SuiteColumn Own(const char* caption, const char* source, SuiteCell written = SuiteCell::Always) {
  return {.caption = caption, .source = source, .written = written};
}
constexpr SuiteColumn Text(const char* caption, const char* source, const char* param, int size,
                           std::string T::*text) {
  return {.caption = caption, .source = source, .read = Read::Text, .param = param, .size = size, .text = text};
}
constexpr SuiteColumn Flag(const char* caption, const char* source, const char* param, bool T::*flag,
                           bool groupOnly = false) {
  return {.caption = caption, .source = source, .read = Read::Flag, .param = param, .flag = flag,
          .groupOnly = groupOnly};
}

constexpr SuiteColumn kSuiteColumns[] = {
    Text("套餐编号", "MenuSuiteNo", "menusuiteno", 2, &T::code),
    Text("名称", "MenuSuiteName", "menusuitename", 20, &T::name),
    Text("组名", "MenuSuiteAlias", "menusuitealias", 20, &T::alias),
    Flag("限定性套餐", "ConfineMenuSuite", "confinemenusuite", &T::restricted),
    Flag("厨房整体打印", "PrintTogether", "printtogether", &T::printTogether),
    Flag("快餐版可用", "QuickUse", "quickuse", &T::quickUse),
    Text("条码", "SuiteBarCode", "suitebarcode", 30, &T::barCode),
    Text("促销代码", "PromID", "promid", 8, &T::promId),
    Flag("有时段性", "UsePlan", "useplan", &T::usePlan),
    Own("开始日期(YYYY-MM-DD)", "PlanStartDate", SuiteCell::PlanStart),
    Own("结束日期(YYYY-MM-DD)空着表示没有结束日期", "PlanEndDate", SuiteCell::PlanEnd),
    Own("时段类型(1:天/2:周/3:月)", "PlanType"),
    Own("每x天/周/月", "EveryOf"),
    Own("周几(周1=1/周2=2/周3=4/周4=8/周5=16/周6=32/周日=64)/月中几号", "EveryDetail"),
    Own("可用范围(0:全天可用/1:指定班次/2:指定时间段)", "DayControlType"),
    Own("可用班次", "MealSectionName"),
    Own("可用时段", "StartTime", SuiteCell::TimeSection),
    Flag("所有店可用", "AllShare", "allshare", &T::allShare, true),
};

// When the export fills an item or branch cell.
enum class ItemCell {
  Always,
  SuiteCode,  // only where the set meal code changes (letter case aside)
  Group,      // group ID and name: only where either changes
};

struct ItemColumn {
  const char* caption;
  const char* source;
  ItemCell written = ItemCell::Always;
};

constexpr ItemColumn kItemColumns[] = {
    {"套餐编号", "MenuSuiteNo", ItemCell::SuiteCode},
    {"分类编码", "GroupID", ItemCell::Group},
    {"分类名称", "GroupName", ItemCell::Group},
    {"菜品编码", "MenuItemCode"},
    {"菜品名称", "MenuItemCName"},
    {"规格", "Standard"},
    {"价格", "MenuItemPrice"},
    {"数量", "Qty"},
    {"缺省选中(0:候选/1:选中)", "Selected"},
};

constexpr ItemColumn kHotelColumns[] = {
    {"套餐编号", "MenuSuiteNo", ItemCell::SuiteCode},
    {"分店标识", "HotelID"},
    {"分店名称", "HotelName"},
};

constexpr int kSuiteColumnCount = std::size(kSuiteColumns);
constexpr int kItemColumnCount = std::size(kItemColumns);
static_assert(kSuiteColumnCount == 18 && kItemColumnCount == 9 && std::size(kHotelColumns) == 3);

// The sheet column (from 1) of an export query column.
constexpr int ColumnOf(const auto& columns, std::string_view source) {
  return ColumnNumber<&std::remove_cvref_t<decltype(columns[0])>::source>(columns, source);
}
constexpr int SuiteColumnOf(std::string_view source) { return ColumnOf(kSuiteColumns, source); }
constexpr int ItemColumnOf(std::string_view source) { return ColumnOf(kItemColumns, source); }
constexpr int HotelColumnOf(std::string_view source) { return ColumnOf(kHotelColumns, source); }
const SuiteColumn& SuiteAt(int column) { return kSuiteColumns[column - 1]; }

constexpr int kSuiteCode = SuiteColumnOf("MenuSuiteNo");
constexpr int kSuiteStart = SuiteColumnOf("PlanStartDate");
constexpr int kSuiteEnd = SuiteColumnOf("PlanEndDate");
constexpr int kSuitePlanType = SuiteColumnOf("PlanType");
constexpr int kSuiteEveryOf = SuiteColumnOf("EveryOf");
constexpr int kSuiteEveryDetail = SuiteColumnOf("EveryDetail");
constexpr int kSuiteDayControl = SuiteColumnOf("DayControlType");
constexpr int kSuiteShift = SuiteColumnOf("MealSectionName");
constexpr int kSuiteTime = SuiteColumnOf("StartTime");

constexpr int kItemSuite = ItemColumnOf("MenuSuiteNo");
constexpr int kItemGroupId = ItemColumnOf("GroupID");
constexpr int kItemGroupName = ItemColumnOf("GroupName");
constexpr int kItemDish = ItemColumnOf("MenuItemCode");
constexpr int kItemDishName = ItemColumnOf("MenuItemCName");
constexpr int kItemStandard = ItemColumnOf("Standard");
constexpr int kItemPrice = ItemColumnOf("MenuItemPrice");
constexpr int kItemQty = ItemColumnOf("Qty");
constexpr int kItemSelected = ItemColumnOf("Selected");

constexpr int kHotelSuite = HotelColumnOf("MenuSuiteNo");
constexpr int kHotelId = HotelColumnOf("HotelID");

// ---- Statements -----------------------------------------------------------------

// The group statements name their columns as the store's do, so that one
// layout serves both.
constexpr const char* kStoreSuiteQuery = R"(
select m.*,s.MealSectionName,t.StartTime,t.EndTime
from MenuSuite m,MealSection s,TimeSection t
where m.MealSectionCode*=s.MealSectionCode
  and m.TimeID*=t.TimeID
order by MenuSuiteNo)";

constexpr const char* kGroupSuiteQuery = R"(
select m.*,m.msCode as MenuSuiteNo,m.msName as MenuSuiteName,s.ShiftName as MealSectionName,t.StartTime,t.EndTime
from Group_MenuSuite m,Group_Shift s,Group_TimeSection t
where m.BrandID=:brandid
  and m.MealSectionCode*=s.ShiftCode and s.BrandID=:brandid
  and m.TimeID*=t.TimeID and t.BrandID=:brandid
order by m.msCode)";

constexpr const char* kStoreItemQuery = R"(
select i.*,m.MenuItemCName
from MenuSuiteSub i,MenuItem m
where i.MenuItemCode=m.MenuItemCode
order by i.MenuSuiteNo,i.GroupID,i.Selected desc)";

constexpr const char* kGroupItemQuery = R"(
select i.*,i.msCode as MenuSuiteNo,i.ItemCode as MenuItemCode,i.ItemPrice as MenuItemPrice,m.ItemName as MenuItemCName
from Group_MenuSuiteSub i,Group_MenuItem m
where i.BrandID=:brandid
  and i.ItemCode=m.ItemCode and m.BrandID=:brandid
order by i.msCode,i.GroupID,i.Selected desc)";

constexpr const char* kGroupHotelQuery = R"(
select m.msCode as MenuSuiteNo,m.HotelID,h.HotelName
from Group_MenuSuiteHotelID m,Group_Hotel h
where m.BrandID=:brandid
  and m.HotelID=h.HotelID
order by m.msCode,m.HotelID)";

constexpr const char* kStoreFindShift = R"(
select MealSectionCode from MealSection
where MealSectionName=:name
  and IsNull(Deleted,0)=0)";

constexpr const char* kGroupFindShift = R"(
select ShiftCode as MealSectionCode from Group_Shift
where BrandID=:brandid
  and ShiftName=:name
  and IsNull(Deleted,0)=0)";

constexpr const char* kStoreTimeSections = R"(
select TimeID,StartTime,EndTime from TimeSection
order by TimeID)";

constexpr const char* kGroupTimeSections = R"(
select TimeID,StartTime,EndTime from Group_TimeSection
where BrandID=:brandid
order by TimeID)";

constexpr const char* kBranchInBrand = R"(
select count(*) from Group_Hotel
where HotelID=:hotelid
  and BrandID=:brandid
  and IsNull(UseTag,0)>0
  and HotelTag in (1,5))";

// The zone info query; the branch list is appended as parameters.
constexpr const char* kZoneQueryHead = R"(
select h.HotelID,h.HotelName,z.ZoneID,z.ZoneName
from Group_Hotel h,Group_Zone z
where h.BrandID=:brandid
  and h.ZoneID=z.ZoneID
  and h.HotelID in ()";
constexpr const char* kZoneQueryTail = R"()
order by z.ZoneID,h.HotelID)";

constexpr const char* kStoreDeletes[] = {
    "delete from MenuSuiteSub where MenuSuiteNo=:menusuiteno",
    "delete from MenuSuite where MenuSuiteNo=:menusuiteno",
};

constexpr const char* kGroupDeletes[] = {
    "delete from Group_MenuSuiteSub where msCode=:menusuiteno and BrandID=:brandid",
    "delete from Group_MenuSuite where msCode=:menusuiteno and BrandID=:brandid",
    "delete from Group_MenuSuiteHotelID where msCode=:menusuiteno and BrandID=:brandid",
};

constexpr const char* kStoreSuiteInsert = R"(
insert into MenuSuite(MenuSuiteNo,MenuSuiteName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,
                      PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,SuiteBarCode,PromID,
                      QuickUse,PrintTogether,MenuSuiteAlias,SaleOutByHand)
values(:menusuiteno,:menusuitename,:confinemenusuite,:plantype,:everyof,:everydetail,:planstartdate,
       :planenddate,:planendtag,:daycontroltype,:mealsectioncode,:timeid,:useplan,:suitebarcode,:promid,
       :quickuse,:printtogether,:menusuitealias,0))";

constexpr const char* kGroupSuiteInsert = R"(
insert into Group_MenuSuite(msCode,msName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,
                            PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,SuiteBarCode,
                            PromID,QuickUse,PrintTogether,MenuSuiteAlias,BrandID,AllShare,ZoneInfo)
values(:menusuiteno,:menusuitename,:confinemenusuite,:plantype,:everyof,:everydetail,:planstartdate,
       :planenddate,:planendtag,:daycontroltype,:mealsectioncode,:timeid,:useplan,:suitebarcode,
       :promid,:quickuse,:printtogether,:menusuitealias,:brandid,:allshare,:zoneinfo))";

constexpr const char* kStoreItemInsert = R"(
insert into MenuSuiteSub(MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName)
values(:menusuiteno,:menuitemcode,:menuitemprice,:qty,:standard,:selected,:groupid,:groupname))";

constexpr const char* kGroupItemInsert = R"(
insert into Group_MenuSuiteSub(msCode,ItemCode,ItemPrice,Qty,Standard,Selected,GroupID,GroupName,BrandID)
values(:menusuiteno,:menuitemcode,:menuitemprice,:qty,:standard,:selected,:groupid,:groupname,:brandid))";

constexpr const char* kHotelInsert = R"(
insert into Group_MenuSuiteHotelID(msCode,BrandID,HotelID)
values(:menusuiteno,:brandid,:hotelid))";

// The size of a string parameter that only looks a value up: the value's own,
// so that a long text is simply not found.
int LookupSize(const std::string& text) { return std::max<int>(1, static_cast<int>(Cp936Width(text))); }

// ---- Export ---------------------------------------------------------------------

// A stored date-time as the sheet shows it; empty when NULL.
std::string DateText(const db::Field& field) {
  std::string unused;
  return ExportCell(field, Written::Date, unused);
}

// A stored time of day as "HH:NN"; a text that is no time stands as it is.
std::string TimeText(const db::Field& field) {
  std::string stored = Trim(field.AsString());
  std::optional<DateTime> time = ParseStoredDateTime(stored);
  return time ? FormatDateTime("HH:NN", *time) : stored;
}

std::string SuiteCellText(const db::Query& q, const SuiteColumn& column) {
  db::Field field = q.FieldByName(column.source);
  bool plan = q.FieldByName("UsePlan").AsInteger() > 0;
  switch (column.written) {
    case SuiteCell::Always:
      return field.AsString();
    case SuiteCell::PlanStart:
      return plan ? DateText(field) : std::string();
    case SuiteCell::PlanEnd:
      return plan && q.FieldByName("PlanEndTag").AsInteger() > 0 ? DateText(field) : std::string();
    case SuiteCell::TimeSection: {
      db::Field end = q.FieldByName("EndTime");
      // A set meal whose time section is gone has no times to show.
      if (!plan || q.FieldByName("DayControlType").AsInteger() != 2 || field.IsNull() || end.IsNull())
        return {};
      return TimeText(field) + "-" + TimeText(end);
    }
  }
  return {};
}

void WriteSuites(ExportRun& run, db::Query& q) {
  bool group = run.edition.IsGroup();
  std::vector<std::string> captions;
  for (const SuiteColumn& c : kSuiteColumns)
    if (group || !c.groupOnly) captions.push_back(c.caption);
  run.Sheet().Header(captions);
  std::vector<std::string> cells;
  for (; !q.Eof(); q.Next()) {
    cells.clear();
    for (const SuiteColumn& c : kSuiteColumns)
      if (group || !c.groupOnly) cells.push_back(SuiteCellText(q, c));
    run.Sheet().Row(cells);
  }
}

// Writes item or branch rows. The set meal code stands where it changes; the
// group ID and name stand together where either changes, so that a group
// with the ID of the group above but another name keeps its name.
void WriteRows(ExportRun& run, db::Query& q, const auto& columns) {
  run.Sheet().Header(Captions(columns));
  std::vector<std::string> cells(std::size(columns));
  std::string previousCode, previousGroupId, previousGroupName;
  for (; !q.Eof(); q.Next()) {
    std::optional<bool> groupChanged;
    for (std::size_t c = 0; c < std::size(columns); ++c) {
      db::Field field = q.FieldByName(columns[c].source);
      switch (columns[c].written) {
        case ItemCell::Always:
          cells[c] = field.AsString();
          break;
        case ItemCell::SuiteCode:
          cells[c] = ExportCell(field, Written::OnChangeIgnoringCase, previousCode);
          break;
        case ItemCell::Group: {
          if (!groupChanged) {
            std::string id = q.FieldByName("GroupID").AsString();
            std::string name = q.FieldByName("GroupName").AsString();
            groupChanged = !SameTextIgnoringCase(id, previousGroupId) || name != previousGroupName;
            previousGroupId = id;
            previousGroupName = name;
          }
          cells[c] = *groupChanged ? field.AsString() : std::string();
          break;
        }
      }
    }
    run.Sheet().Row(cells);
  }
}

// ---- Reading --------------------------------------------------------------------

// The state of one import's reading: the accepted set meals, found by their
// exact code, and the codes carried down the item and branch rows.
class SuiteReader {
 public:
  SuiteReader(ImportRun& run, std::list<TMenuSuite>& suites)
      : run_(run), suites_(suites), menu_(run.dm.MenuItems(run.edition)) {}

  void ReadSuite(int r);
  void ReadItem(int r);
  void ReadBranch(int r);
  void EnterItems() { carriedItemCode_ = carriedGroupId_ = carriedGroupName_ = {}; }
  void EnterBranches() { carriedBranchCode_ = {}; }

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  // Logs "第r行:" + code + text; always false, so checks can return it.
  bool Reject(int r, const std::string& code, const std::string& text) {
    run_.RowError(r, code + text);
    return false;
  }
  bool ReadPlan(int r, TMenuSuite& s);
  std::optional<int> FindShift(int r, const std::string& name);
  std::optional<int> FindTimeSection(int r, const std::string& text);
  bool BranchInBrand(const std::string& hotelId);
  // The set meal of this sheet with this exact code; logs when there is none.
  TMenuSuite* FindSuite(int r, const std::string& code);
  // Leaves a set meal out, with whatever was accepted for it.
  void Remove(const TMenuSuite& s);

  ImportRun& run_;
  std::list<TMenuSuite>& suites_;
  RefList menu_;
  std::unordered_map<std::string, std::list<TMenuSuite>::iterator> byCode_;
  // Lower-case codes of every set meal row accepted so far.
  std::unordered_set<std::string> seenCodes_;
  std::string carriedItemCode_, carriedGroupId_, carriedGroupName_;
  std::string carriedBranchCode_;
};

void SuiteReader::ReadSuite(int r) {
  TMenuSuite s;
  std::string code = Cell(r, kSuiteCode);
  // A second row with a known code would replace the first set meal, dishes
  // and all, by one without any: the first one stands.
  if (seenCodes_.contains(LowerCase(code))) return run_.RowError(r, "套餐编号" + code + "重复!");
  bool group = run_.edition.IsGroup();
  for (int c = 1; c <= kSuiteColumnCount; ++c) {
    const SuiteColumn& column = SuiteAt(c);
    if (column.groupOnly && !group) continue;
    if (column.read == Read::Text) s.*column.text = Cell(r, c);
    if (column.read == Read::Flag) s.*column.flag = YesNo(Cell(r, c));
  }
  if (s.name.empty()) return (void)Reject(r, code, "套餐没有指定套餐名称!");
  if (s.usePlan && !ReadPlan(r, s)) return;
  seenCodes_.insert(LowerCase(s.code));
  suites_.push_back(std::move(s));
  byCode_.try_emplace(suites_.back().code, std::prev(suites_.end()));
}

bool SuiteReader::ReadPlan(int r, TMenuSuite& s) {
  const std::string& code = s.code;
  std::string start = Cell(r, kSuiteStart);
  if (start.empty()) return Reject(r, code, "套餐没有指定计划起始日期!");
  std::optional<DateTime> startDate = TryStrToDate(start);
  if (!startDate) return Reject(r, code, "套餐的计划起始日期无效，格式YYYY-MM-DD!");
  std::string end = Cell(r, kSuiteEnd);
  bool hasEnd = !end.empty() && end != "无";
  std::optional<DateTime> endDate;
  if (hasEnd && !(endDate = TryStrToDate(end))) return Reject(r, code, "套餐的计划结束日期无效，格式YYYY-MM-DD!");

  std::string planText = Cell(r, kSuitePlanType);
  if (planText.empty()) return Reject(r, code, "套餐的计划类型需要设置!");
  std::optional<std::int32_t> planType = TryStrToInt(planText);
  if (!planType) return Reject(r, code, "套餐的计划类型不是1-3的整数!");
  if (*planType < 1 || *planType > 3) return Reject(r, code, "套餐的计划类型无效!");
  // A daily plan needs no weekday or day of the month.
  std::string detailText = planText == "1" ? "-1" : Cell(r, kSuiteEveryDetail);
  std::optional<std::int32_t> detail = TryStrToInt(detailText);
  if (!detail) return Reject(r, code, "套餐的周几/月中几号没有设置!");
  std::string dayText = Cell(r, kSuiteDayControl);
  if (dayText.empty()) dayText = "0";
  std::optional<std::int32_t> day = TryStrToInt(dayText);
  if (!day) return Reject(r, code, "套餐的可用范围不是0-2的整数!");
  if (*day < 0 || *day > 2) return Reject(r, code, "套餐的可用范围无效!");
  if (*day == 1) {
    std::optional<int> shift = FindShift(r, Cell(r, kSuiteShift));
    if (!shift) return false;
    s.shiftCode = *shift;
  }
  if (*day == 2) {
    std::optional<int> time = FindTimeSection(r, Cell(r, kSuiteTime));
    if (!time) return false;
    s.timeId = *time;
  }

  s.planStart = *startDate;
  if (endDate) s.planEnd = *endDate;
  s.planEndTag = hasEnd;
  s.planType = *planType;
  s.dayControlType = *day;
  s.everyDetail = *detail;
  // Unchecked on purpose: a plan without a valid interval ends the import
  // before anything is written.
  std::string everyOf = Cell(r, kSuiteEveryOf);
  try {
    s.everyOf = StrToInt(everyOf);
  } catch (const ConvertError& e) {
    throw sx::Error(RowMessage(r, SuiteAt(kSuiteEveryOf).caption + std::string(": ") + e.what()));
  }
  return true;
}

std::optional<int> SuiteReader::FindShift(int r, const std::string& name) {
  db::Query& q = run_.dm.Open(run_.dm.qGet, run_.edition.Pick(kStoreFindShift, kGroupFindShift), run_.edition,
                              [&](db::Query& p) { p.SetString("name", LookupSize(name), name); });
  std::optional<int> code;
  if (!q.Eof()) code = static_cast<int>(q.Fields(0).AsInteger());
  q.Close();
  if (!code) run_.RowError(r, "没有找到班次:" + name);
  return code;
}

std::optional<int> SuiteReader::FindTimeSection(int r, const std::string& text) {
  std::optional<int> id;
  if (std::size_t dash = text.find('-'); dash != std::string::npos) {
    std::string start = Trim(text.substr(0, dash)), end = Trim(text.substr(dash + 1));
    db::Query& q =
        run_.dm.Open(run_.dm.qGet, run_.edition.Pick(kStoreTimeSections, kGroupTimeSections), run_.edition);
    for (; !q.Eof() && !id; q.Next()) {
      db::Field from = q.FieldByName("StartTime"), to = q.FieldByName("EndTime");
      if (from.IsNull() || to.IsNull()) continue;
      if (TimeText(from) == start && TimeText(to) == end) id = static_cast<int>(q.FieldByName("TimeID").AsInteger());
    }
    q.Close();
  }
  if (!id) run_.RowError(r, "没有找到时间段:" + text);
  return id;
}

bool SuiteReader::BranchInBrand(const std::string& hotelId) {
  db::Query& q = run_.dm.Open(run_.dm.qGet, kBranchInBrand, run_.edition,
                              [&](db::Query& p) { p.SetString("hotelid", LookupSize(hotelId), hotelId); });
  bool found = !q.Eof() && q.Fields(0).AsInteger() > 0;
  q.Close();
  return found;
}

TMenuSuite* SuiteReader::FindSuite(int r, const std::string& code) {
  auto it = byCode_.find(code);
  if (it != byCode_.end()) return &*it->second;
  run_.RowError(r, "没有找到编号为\"" + code + "\"的套餐!");
  return nullptr;
}

void SuiteReader::Remove(const TMenuSuite& s) {
  auto it = byCode_.find(s.code);
  auto at = it->second;
  byCode_.erase(it);
  suites_.erase(at);
}

void SuiteReader::ReadItem(int r) {
  TMenuSuiteItem item;
  item.suiteCode = Cell(r, kItemSuite);
  if (item.suiteCode.empty()) item.suiteCode = carriedItemCode_;
  carriedItemCode_ = item.suiteCode;
  item.groupId = Cell(r, kItemGroupId);
  if (item.groupId.empty()) {
    item.groupId = carriedGroupId_;
    item.groupName = carriedGroupName_;
  } else {
    item.groupName = Cell(r, kItemGroupName);
  }
  carriedGroupId_ = item.groupId;
  carriedGroupName_ = item.groupName;

  TMenuSuite* s = FindSuite(r, item.suiteCode);
  if (!s) return;
  item.dishCode = Cell(r, kItemDish);
  std::optional<RefList::Row> dish = menu_.Find("MenuItemCode", item.dishCode);
  if (!dish) {
    run_.RowError(r, "没有找到编号为\"" + item.dishCode + "\"的菜品!");
    return Remove(*s);
  }
  item.standard = Cell(r, kItemStandard);
  bool standardFound = item.standard.empty() && dish->Text("Standard").empty();
  for (const char* column : {"Standard", "Standard2", "Standard3", "Standard4", "Standard5"})
    if (!item.standard.empty() && dish->Text(column) == item.standard) standardFound = true;
  if (!standardFound) {
    run_.RowError(r, "没有找到编号为\"" + item.dishCode + "\",规格为\"" + item.standard + "\"的菜品!");
    return Remove(*s);
  }
  std::optional<double> qty = TryStrToFloat(Cell(r, kItemQty));
  if (!qty || *qty <= 0)
    return (void)Reject(r, item.suiteCode,
                        "套餐的菜品" + item.dishCode + " " + Cell(r, kItemDishName) + "没有指定数量!");
  item.qty = *qty;
  item.selected = YesNo(Cell(r, kItemSelected));
  item.price = TryStrToFloat(Cell(r, kItemPrice)).value_or(0);
  s->items.push_back(std::move(item));
}

void SuiteReader::ReadBranch(int r) {
  if (!run_.edition.IsGroup()) return;  // a store has no branches
  TMenuSuiteLocation branch;
  branch.suiteCode = Cell(r, kHotelSuite);
  if (branch.suiteCode.empty()) branch.suiteCode = carriedBranchCode_;
  carriedBranchCode_ = branch.suiteCode;
  TMenuSuite* s = FindSuite(r, branch.suiteCode);
  if (!s) return;
  branch.hotelId = Cell(r, kHotelId);
  if (branch.hotelId.empty()) {
    run_.RowError(r, "套餐" + branch.suiteCode + "没有指定可用的店号!");
    return Remove(*s);
  }
  if (!BranchInBrand(branch.hotelId)) {
    run_.RowError(r, "在品牌" + run_.edition.BrandId() + "中，没有找到分店:" + branch.hotelId);
    return Remove(*s);
  }
  s->branches.push_back(std::move(branch));
}

// ---- Writing --------------------------------------------------------------------

// The set meal's branches listed by zone: each zone's name in brackets, then
// its branches indented, one a line. Branches without a zone are left out.
std::string ZoneInfo(ImportRun& run, const TMenuSuite& s) {
  if (s.branches.empty()) return {};
  std::string sql = kZoneQueryHead;
  for (std::size_t i = 0; i < s.branches.size(); ++i)
    sql += (i ? ",:hotelid" : ":hotelid") + std::to_string(i);
  sql += kZoneQueryTail;
  db::Query& q = run.dm.Open(run.dm.qGet, sql, run.edition, [&](db::Query& p) {
    for (std::size_t i = 0; i < s.branches.size(); ++i)
      p.SetString("hotelid" + std::to_string(i), LookupSize(s.branches[i].hotelId), s.branches[i].hotelId);
  });
  std::vector<ZoneBranch> branches;
  for (; !q.Eof(); q.Next())
    branches.push_back({q.FieldByName("ZoneID").AsString(), q.FieldByName("ZoneName").AsString(),
                        q.FieldByName("HotelName").AsString()});
  q.Close();
  return ZoneInfoText(branches);
}

void BindSuite(db::Query& q, const TMenuSuite& s, const Edition& e) {
  for (const SuiteColumn& c : kSuiteColumns) {
    if (c.groupOnly && !e.IsGroup()) continue;
    if (c.read == Read::Text) q.SetString(c.param, c.size, s.*c.text);
    if (c.read == Read::Flag) q.SetInteger(c.param, s.*c.flag ? 1 : 0);
  }
  auto integer = [&](const char* name, bool present, int value) {
    if (present)
      q.SetInteger(name, value);
    else
      q.SetNull(name, db::ParamType::Integer);
  };
  auto date = [&](const char* name, bool present, const DateTime& value) {
    if (present)
      q.SetString(name, 10, FormatDateTime("YYYY-MM-DD", value));
    else
      q.SetNull(name, db::ParamType::String, 10);
  };
  // Without a time plan its fields are NULL.
  bool plan = s.usePlan;
  integer("plantype", plan, s.planType);
  integer("everyof", plan, s.everyOf);
  integer("everydetail", plan, s.everyDetail);
  integer("daycontroltype", plan, s.dayControlType);
  date("planstartdate", plan, s.planStart);
  date("planenddate", plan && s.planEndTag, s.planEnd);
  integer("planendtag", plan, s.planEndTag ? 1 : 0);
  integer("mealsectioncode", plan && s.dayControlType == 1, s.shiftCode);
  integer("timeid", plan && s.dayControlType == 2, s.timeId);
  if (e.IsGroup()) {
    if (s.allShare)
      q.SetNull("zoneinfo", db::ParamType::Memo);
    else
      q.SetMemo("zoneinfo", s.zoneInfo);
  }
}

void BindItem(db::Query& q, const TMenuSuiteItem& item) {
  q.SetString("menusuiteno", 2, item.suiteCode);
  q.SetString("menuitemcode", 5, item.dishCode);
  q.SetFloat("menuitemprice", item.price);
  q.SetFloat("qty", item.qty);
  q.SetString("standard", 10, item.standard);
  q.SetInteger("selected", item.selected ? 1 : 0);
  q.SetString("groupid", 4, item.groupId);
  q.SetString("groupname", 10, item.groupName);
}

void WriteSuite(ImportRun& run, const TMenuSuite& s) {
  const Edition& e = run.edition;
  run.WriteItem("正在导入套餐" + s.code + " " + s.name + "...", [&] {
    auto code = [&](db::Query& q) { q.SetString("menusuiteno", 2, s.code); };
    if (e.IsGroup())
      for (const char* sql : kGroupDeletes) run.Execute(sql, code);
    else
      for (const char* sql : kStoreDeletes) run.Execute(sql, code);
    run.Execute(e.Pick(kStoreSuiteInsert, kGroupSuiteInsert), [&](db::Query& q) { BindSuite(q, s, e); });
    for (const TMenuSuiteItem& item : s.items)
      run.Execute(e.Pick(kStoreItemInsert, kGroupItemInsert), [&](db::Query& q) { BindItem(q, item); });
    if (!e.IsGroup()) return;
    for (const TMenuSuiteLocation& branch : s.branches)
      run.Execute(kHotelInsert, [&](db::Query& q) {
        q.SetString("menusuiteno", 2, branch.suiteCode);
        q.SetString("hotelid", 20, branch.hotelId);
      });
    run.StampDownloadVersion("MenuSuiteVersion");
  });
}

}  // namespace

void uMenuSuiteIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  db::Query& suites = run.Query(e.Pick(kStoreSuiteQuery, kGroupSuiteQuery));
  run.FirstMarker(kSuiteKey, kTitle);
  WriteSuites(run, suites);
  run.Sheet().Marker(kItemKey);
  WriteRows(run, run.Query(e.Pick(kStoreItemQuery, kGroupItemQuery)), kItemColumns);
  if (!e.IsGroup()) return;
  run.Sheet().Marker(kHotelKey);
  WriteRows(run, run.Query(kGroupHotelQuery), kHotelColumns);
}

void uMenuSuiteIO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlMenuSuite", "套餐由集团统一下发,不能在门店导入!");
  std::list<TMenuSuite> suites;
  SuiteReader reader(run, suites);
  ReadingLoop loop;
  loop.sections.push_back({.key = kSuiteKey, .read = [&](int r) { reader.ReadSuite(r); }});
  // Dish rows below the first of a set meal leave column 1 empty: the dish
  // code makes them data rows. Branch rows likewise by the branch ID.
  loop.sections.push_back({.key = kItemKey,
                           .read = [&](int r) { reader.ReadItem(r); },
                           .continuationColumns = {kItemDish},
                           .onEnter = [&] { reader.EnterItems(); }});
  loop.sections.push_back({.key = kHotelKey,
                           .read = [&](int r) { reader.ReadBranch(r); },
                           .continuationColumns = {kHotelId},
                           .onEnter = [&] { reader.EnterBranches(); }});
  loop.headerCaptions = {SuiteAt(kSuiteCode).caption};
  run.ReadSections(kKindName, loop);

  for (TMenuSuite& s : suites) {
    // A failing zone query ends the import; the set meals written stay.
    if (run.edition.IsGroup() && !s.allShare) s.zoneInfo = ZoneInfo(run, s);
    WriteSuite(run, s);
  }
}

}  // namespace sx
