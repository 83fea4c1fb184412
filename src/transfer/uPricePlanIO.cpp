// Time plans and price plans. The sheet has two sections: "timeplan", one
// block of rows per plan whose first row holds the plan and whose rows below
// add its meal sections, time sections and (group) branch restaurants, and
// "priceplan", one row per price line, the plan code on the first line of each
// plan. An import replaces each plan with all its rows in one transaction.
#include "transfer/uPricePlanIO.h"

#include <optional>
#include <string_view>
#include <unordered_map>

#include "base/Text.h"
#include "transfer/ZoneInfo.h"

namespace sx {

namespace {

constexpr const char* kPlanKey = "timeplan";
constexpr const char* kPriceKey = "priceplan";
constexpr const char* kTitle = "优惠计划清单";
constexpr const char* kKindName = "优惠计划";
constexpr const char* kQ = "\"";

// ---- Sheet layout -------------------------------------------------------------

// What an export writes into a time plan column.
enum class Fill {
  PlanField,    // first row of a plan: the field as stored
  PlanDate,     // first row: the date as "YYYY-MM-DD"
  PlanEndDate,  // first row: the end date, or "无" for a plan without one
  MealSection,  // every row: the name of the row's confining meal section
  TimeSection,  // every row: the row's confining time section, "HH:NN-HH:NN"
  RowField,     // every row: the field as stored
  HotelName,    // every row: the name of the row's branch restaurant
};

// Time plan section, from column 1 on.
struct PlanColumn {
  const char* caption;
  const char* source;  // the export query's column
  Fill fill;
  bool groupOnly = false;
};

constexpr PlanColumn kPlanColumns[] = {
    {"计划代码(整数)", "PlanCode", Fill::PlanField},
    {"计划名称", "PlanName", Fill::PlanField},
    {"计划名称2", "PlanName2", Fill::PlanField, true},
    {"计划名称3", "PlanName3", Fill::PlanField, true},
    {"促销代码", "PromID", Fill::PlanField},
    {"是否启用计划(0-否/1-是)", "PlanUseTag", Fill::PlanField},
    {"开始日期(YYYY-MM-DD)", "PlanStartDate", Fill::PlanDate},
    {"结束日期(YYYY-MM-DD)空着表示没有结束日期", "PlanEndDate", Fill::PlanEndDate},
    {"时段类型(1:天/2:周/3:月)", "PlanType", Fill::PlanField},
    {"每x天/周/月", "EveryOf", Fill::PlanField},
    {"周几(周1=1/周2=2/周3=4/周4=8/周5=16/周6=32/周日=64)/月中几号", "EveryDetail", Fill::PlanField},
    {"可用范围(0:全天可用/1:指定班次/2:指定时间段)", "DayControlType", Fill::PlanField},
    {"可用班次", "MealSectionCode", Fill::MealSection},
    {"可用时段", "TimeID", Fill::TimeSection},
    {"所有店可用", "AllShare", Fill::RowField, true},
    {"分店标识", "HotelID", Fill::RowField, true},
    {"分店名称", "HotelName", Fill::HotelName, true},
};

// Price section, from column 1 on.
struct PriceColumn {
  const char* caption;
  const char* source;
  Written written;
};

constexpr PriceColumn kPriceColumns[] = {
    {"计划代码(整数)", "PlanCode", Written::OnChange},
    {"菜品代码", "MenuItemCode", Written::Always},
    {"菜品名称", "MenuItemCName", Written::Always},
    {"规格1", "Standard", Written::Always},
    {"价格1", "NewPrice", Written::Positive},
    {"规格2", "Standard2", Written::Always},
    {"价格2", "NewPrice2", Written::Positive},
    {"规格3", "Standard3", Written::Always},
    {"价格3", "NewPrice3", Written::Positive},
    {"规格4", "Standard4", Written::Always},
    {"价格4", "NewPrice4", Written::Positive},
    {"规格5", "Standard5", Written::Always},
    {"价格5", "NewPrice5", Written::Positive},
    {"限量(空白或0表示不限)", "MaxQty", Written::Positive},
};

constexpr int kPlanColumnCount = std::size(kPlanColumns);
constexpr int kPriceColumnCount = std::size(kPriceColumns);
static_assert(kPlanColumnCount == 17 && kPriceColumnCount == 14);

// The sheet column (from 1) of an export query column.
constexpr int PlanColumnOf(std::string_view source) {
  for (int c = 0; c < kPlanColumnCount; ++c)
    if (kPlanColumns[c].source == source) return c + 1;
  throw "no such time plan column";
}
constexpr int PriceColumnOf(std::string_view source) {
  for (int c = 0; c < kPriceColumnCount; ++c)
    if (kPriceColumns[c].source == source) return c + 1;
  throw "no such price column";
}

constexpr int kCode = PlanColumnOf("PlanCode");
constexpr int kName = PlanColumnOf("PlanName");
constexpr int kName2 = PlanColumnOf("PlanName2");
constexpr int kName3 = PlanColumnOf("PlanName3");
constexpr int kPromId = PlanColumnOf("PromID");
constexpr int kUseTag = PlanColumnOf("PlanUseTag");
constexpr int kStartDate = PlanColumnOf("PlanStartDate");
constexpr int kEndDate = PlanColumnOf("PlanEndDate");
constexpr int kPlanType = PlanColumnOf("PlanType");
constexpr int kEveryOf = PlanColumnOf("EveryOf");
constexpr int kEveryDetail = PlanColumnOf("EveryDetail");
constexpr int kDayControl = PlanColumnOf("DayControlType");
constexpr int kMealSection = PlanColumnOf("MealSectionCode");
constexpr int kTimeSection = PlanColumnOf("TimeID");
constexpr int kAllShare = PlanColumnOf("AllShare");
constexpr int kHotelId = PlanColumnOf("HotelID");

constexpr int kPriceCode = PriceColumnOf("PlanCode");
constexpr int kPriceItem = PriceColumnOf("MenuItemCode");
constexpr int kPriceItemName = PriceColumnOf("MenuItemCName");
constexpr int kPrices[] = {PriceColumnOf("NewPrice"), PriceColumnOf("NewPrice2"), PriceColumnOf("NewPrice3"),
                           PriceColumnOf("NewPrice4"), PriceColumnOf("NewPrice5")};
constexpr int kMaxQty = PriceColumnOf("MaxQty");

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStorePlanQuery = R"(
select t.*,c.MealSectionCode,c.TimeID
from TimePlan t,TimePlanConfine c
where t.PlanCode*=c.PlanCode
order by t.PlanCode)";

// A plan with m confinements and n branch restaurants gives m times n rows.
constexpr const char* kGroupPlanQuery = R"(
select t.*,c.MealSectionCode,c.TimeID,h.HotelID
from Group_TimePlan t,Group_TimePlanConfine c,Group_TimePlanHotelID h
where t.PlanCode*=c.PlanCode
  and t.PlanCode*=h.PlanCode
  and t.BrandID=:brandid
  and c.BrandID=:brandid
  and h.BrandID=:brandid
order by t.PlanCode)";

// Price lines of dishes that no longer exist are left out.
constexpr const char* kStorePriceQuery = R"(
select p.*,m.MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5
from PricePlan p,MenuItem m
where p.MenuItemCode=m.MenuItemCode
order by p.PlanCode,p.MenuItemCode)";

constexpr const char* kGroupPriceQuery = R"(
select p.*,m.ItemName as MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5
from Group_PricePlan p,Group_MenuItem m
where p.BrandID=:brandid
  and p.MenuItemCode=m.ItemCode
  and m.BrandID=:brandid
order by p.PlanCode,p.MenuItemCode)";

// A plan's old rows, children first.
constexpr const char* kStoreDeletes[] = {
    R"(
delete from PricePlan
where PlanCode=:plancode)",
    R"(
delete from TimePlanConfine
where PlanCode=:plancode)",
    R"(
delete from TimePlan
where PlanCode=:plancode)",
};

constexpr const char* kGroupDeletes[] = {
    R"(
delete from Group_PricePlan
where PlanCode=:plancode and BrandID=:brandid)",
    R"(
delete from Group_TimePlanConfine
where PlanCode=:plancode and BrandID=:brandid)",
    R"(
delete from Group_TimePlanHotelID
where PlanCode=:plancode and BrandID=:brandid)",
    R"(
delete from Group_TimePlan
where PlanCode=:plancode and BrandID=:brandid)",
};

constexpr const char* kStorePlanInsert = R"(
insert into TimePlan(PlanCode,PlanName,PlanUseTag,PlanType,EveryOf,EveryDetail,PlanStartDate,PlanEndDate,PlanEndTag,
                     DayControlType,PromID)
values(:plancode,:planname,:planusetag,:plantype,:everyof,:everydetail,:planstartdate,:planenddate,:planendtag,
       :daycontroltype,:promid))";

constexpr const char* kGroupPlanInsert = R"(
insert into Group_TimePlan(BrandID,PlanCode,PlanName,PlanName2,PlanName3,PlanUseTag,PlanType,EveryOf,EveryDetail,
                           PlanStartDate,PlanEndDate,PlanEndTag,AllShare,ZoneInfo,DayControlType,PromID)
values(:brandid,:plancode,:planname,:planname2,:planname3,:planusetag,:plantype,:everyof,:everydetail,
       :planstartdate,:planenddate,:planendtag,:allshare,:zoneinfo,:daycontroltype,:promid))";

constexpr const char* kStoreConfineInsert = R"(
insert into TimePlanConfine(PlanCode,MealSectionCode,TimeID)
values(:plancode,:mealsectioncode,:timeid))";

constexpr const char* kGroupConfineInsert = R"(
insert into Group_TimePlanConfine(PlanCode,MealSectionCode,TimeID,BrandID)
values(:plancode,:mealsectioncode,:timeid,:brandid))";

constexpr const char* kGroupHotelInsert = R"(
insert into Group_TimePlanHotelID(BrandID,PlanCode,HotelID)
values(:brandid,:plancode,:hotelid))";

constexpr const char* kStorePriceInsert = R"(
insert into PricePlan(PlanCode,MenuItemCode,NewPrice,NewPrice2,NewPrice3,NewPrice4,NewPrice5,MaxQty)
values(:plancode,:menuitemcode,:newprice,:newprice2,:newprice3,:newprice4,:newprice5,:maxqty))";

constexpr const char* kGroupPriceInsert = R"(
insert into Group_PricePlan(BrandID,PlanCode,MenuItemCode,NewPrice,NewPrice2,NewPrice3,NewPrice4,NewPrice5,MaxQty)
values(:brandid,:plancode,:menuitemcode,:newprice,:newprice2,:newprice3,:newprice4,:newprice5,:maxqty))";

// ---- Shared -------------------------------------------------------------------

// A stored time of day as "HH:NN"; text that is no time stays as it is.
std::string HourMinute(const std::string& stored) {
  std::optional<DateTime> t = ParseStoredDateTime(Trim(stored));
  return t ? FormatDateTime("HH:NN", *t) : stored;
}

std::string DateText(const DateTime& d) { return FormatDateTime("YYYY-MM-DD", d); }

// ---- Export ---------------------------------------------------------------------

// The lists that turn a plan row's codes into the names shown.
struct PlanLookups {
  RefList mealSections;
  RefList timeSections;
  RefList hotels;
};

std::string PlanCell(const PlanColumn& column, const db::Query& q, bool newPlan, const PlanLookups& lists) {
  auto field = [&] { return q.FieldByName(column.source); };
  switch (column.fill) {
    case Fill::PlanField:
      return newPlan ? field().AsString() : std::string();
    case Fill::PlanDate: {
      std::string previous;
      return newPlan ? ExportCell(field(), Written::Date, previous) : std::string();
    }
    case Fill::PlanEndDate: {
      if (!newPlan) return {};
      std::string previous;
      return q.FieldByName("PlanEndTag").AsInteger() > 0 ? ExportCell(field(), Written::Date, previous) : "无";
    }
    // A missing confinement (NULL) matches nothing; code 0 is a real code.
    case Fill::MealSection: {
      if (q.FieldByName("DayControlType").AsInteger() != 1 || field().IsNull()) return {};
      auto row = lists.mealSections.Find("MealSectionCode", field().AsString(), Case::Exact);
      return row ? row->Text("MealSectionName") : std::string();
    }
    case Fill::TimeSection: {
      if (q.FieldByName("DayControlType").AsInteger() != 2 || field().IsNull()) return {};
      auto row = lists.timeSections.Find("TimeID", field().AsString(), Case::Exact);
      return row ? HourMinute(row->Text("StartTime")) + "-" + HourMinute(row->Text("EndTime")) : std::string();
    }
    case Fill::RowField:
      return field().AsString();
    case Fill::HotelName: {
      const db::Field hotelId = q.FieldByName("HotelID");
      if (hotelId.IsNull()) return {};
      auto row = lists.hotels.Find("HotelID", hotelId.AsString());
      return row ? row->Text("HotelName") : std::string();
    }
  }
  return {};
}

// ---- Reading --------------------------------------------------------------------

// A time section of the list with its times as the sheet shows them.
struct TimeSpan {
  std::string start;
  std::string end;
  std::int32_t timeId;
};

// The state of one import's reading: the plans read so far, where each plan
// code's first plan stands, and the code carried down continuation rows.
class PlanReader {
 public:
  PlanReader(ImportRun& run, std::vector<TTimePlanItem>& plans, const RefList& hotels);

  void ReadPlan(int r);
  void ReadPrice(int r);
  // A section marker row: continuation rows below it carry nothing.
  void ForgetCode() { carried_.clear(); }

 private:
  std::string Cell(int r, int column) { return run_.Cell(r, column); }
  void Reject(int r, const std::string& text) { run_.RowError(r, text); }
  std::string TakeCode(int r);
  TTimePlanItem* FindPlan(const std::string& code);
  void AddToPlan(int r, TTimePlanItem& plan);
  void NewPlan(int r, const std::string& code, std::int32_t number, const std::string& name);
  // The checks of column 13, 14 and 16; each logs and answers nothing when
  // the value is not found.
  std::optional<std::int32_t> MealSectionOf(int r, const std::string& cell);
  std::optional<std::int32_t> TimeSectionOf(int r, const std::string& cell);
  bool BranchFound(int r, const std::string& cell);
  // A cell that must convert: a failure ends the whole import, naming the row.
  std::int32_t IntegerOrFail(int r, int column);
  double NumberOrFail(int r, int column);

  ImportRun& run_;
  std::vector<TTimePlanItem>& plans_;
  const RefList& hotels_;
  RefList menuItems_;
  RefList mealSections_;
  std::vector<TimeSpan> timeSpans_;
  std::unordered_map<std::string, std::size_t> planByCode_;  // decimal text of PlanCode
  std::string carried_;
};

PlanReader::PlanReader(ImportRun& run, std::vector<TTimePlanItem>& plans, const RefList& hotels)
    : run_(run), plans_(plans), hotels_(hotels), menuItems_(run.dm.MenuItems(run.edition)),
      mealSections_(run.dm.MealSections(run.edition)) {
  RefList times = run.dm.TimeSections(run.edition);
  for (std::size_t i = 0; i < times.Size(); ++i) {
    RefList::Row row = times.At(i);
    timeSpans_.push_back({HourMinute(row.Text("StartTime")), HourMinute(row.Text("EndTime")),
                          static_cast<std::int32_t>(row.Integer("TimeID"))});
  }
}

std::string PlanReader::TakeCode(int r) {
  std::string code = Cell(r, kCode);
  if (code.empty()) code = carried_;
  carried_ = code;
  return code;
}

// A plan is found by the exact decimal text of its code: "007" is not plan 7.
TTimePlanItem* PlanReader::FindPlan(const std::string& code) {
  auto it = planByCode_.find(code);
  return it == planByCode_.end() ? nullptr : &plans_[it->second];
}

std::optional<std::int32_t> PlanReader::MealSectionOf(int r, const std::string& cell) {
  if (!cell.empty())
    if (auto row = mealSections_.Find("MealSectionName", cell))
      return static_cast<std::int32_t>(row->Integer("MealSectionCode"));
  Reject(r, std::string("可用班次") + kQ + cell + kQ + "没有找到!");
  return std::nullopt;
}

std::optional<std::int32_t> PlanReader::TimeSectionOf(int r, const std::string& cell) {
  std::size_t dash = cell.find('-');
  if (dash != std::string::npos) {
    std::string start = Trim(cell.substr(0, dash));
    std::string end = Trim(cell.substr(dash + 1));
    for (const TimeSpan& span : timeSpans_)
      if (span.start == start && span.end == end) return span.timeId;
  }
  Reject(r, "没有找到时间段:" + cell);
  return std::nullopt;
}

bool PlanReader::BranchFound(int r, const std::string& cell) {
  if (hotels_.Find("HotelID", cell)) return true;
  Reject(r, "在品牌" + run_.edition.BrandId() + "中，没有找到分店:" + cell);
  return false;
}

std::int32_t PlanReader::IntegerOrFail(int r, int column) {
  try {
    return StrToInt(Cell(r, column));
  } catch (const ConvertError& e) {
    throw ConvertError(RowMessage(r, e.what()));
  }
}

double PlanReader::NumberOrFail(int r, int column) {
  std::string text = Cell(r, column);
  if (text.empty()) return 0;
  try {
    return StrToFloat(text);
  } catch (const ConvertError& e) {
    throw ConvertError(RowMessage(r, e.what()));
  }
}

void PlanReader::ReadPlan(int r) {
  std::string code = TakeCode(r);
  std::string name = Cell(r, kName);
  std::optional<std::int32_t> number = TryStrToInt(code);
  if (!number) return Reject(r, kQ + code + " " + name + kQ + "优惠计划的代码不是整数!");
  if (TTimePlanItem* plan = FindPlan(code)) return AddToPlan(r, *plan);
  NewPlan(r, code, *number, name);
}

// A further row of a plan adds its meal section, time section and branch
// restaurant once each; its other columns are not read.
void PlanReader::AddToPlan(int r, TTimePlanItem& plan) {
  std::string meal = Cell(r, kMealSection);
  std::string time = Cell(r, kTimeSection);
  std::string hotel = run_.edition.IsGroup() ? Cell(r, kHotelId) : std::string();
  std::optional<std::int32_t> mealCode, timeId;
  if (plan.DayControlType == 1 && !meal.empty() && !(mealCode = MealSectionOf(r, meal))) return;
  if (plan.DayControlType == 2 && !time.empty() && !(timeId = TimeSectionOf(r, time))) return;
  if (!hotel.empty() && !BranchFound(r, hotel)) return;

  auto hasConfine = [&](std::int32_t meal, std::int32_t time) {
    for (const auto& c : plan.confines)
      if (c.MealSectionCode == meal && c.TimeID == time) return true;
    return false;
  };
  if (mealCode && !hasConfine(*mealCode, -1)) plan.confines.push_back({plan.PlanCode, *mealCode, -1});
  if (timeId && !hasConfine(-1, *timeId)) plan.confines.push_back({plan.PlanCode, -1, *timeId});
  if (!hotel.empty()) {
    for (const auto& h : plan.hotels)
      if (SameTextIgnoringCase(h.HotelID, hotel)) return;
    plan.hotels.push_back({plan.PlanCode, hotel});
  }
}

void PlanReader::NewPlan(int r, const std::string& code, std::int32_t number, const std::string& name) {
  if (name.empty()) return Reject(r, code + "优惠计划没有指定名称!");
  const std::string who = kQ + code + " " + name + kQ;

  std::string startText = Cell(r, kStartDate);
  if (startText.empty()) return Reject(r, who + "优惠计划没有指定计划起始日期!");
  std::optional<DateTime> start = TryStrToDate(startText);
  if (!start) return Reject(r, who + "优惠计划的计划起始日期无效，格式YYYY-MM-DD!");

  std::string endText = Cell(r, kEndDate);
  bool hasEnd = !endText.empty() && endText != "无";
  std::optional<DateTime> end;
  if (hasEnd && !(end = TryStrToDate(endText))) return Reject(r, who + "优惠计划的计划结束日期无效，格式YYYY-MM-DD!");

  std::string typeText = Cell(r, kPlanType);
  if (typeText.empty()) return Reject(r, who + "优惠计划的计划类型需要设置!");
  std::optional<std::int32_t> type = TryStrToInt(typeText);
  if (!type) return Reject(r, who + "优惠计划的计划类型不是1-3的整数!");
  if (*type < 1 || *type > 3) return Reject(r, who + "优惠计划的计划类型无效!");

  // A daily plan has no weekday or day of the month.
  std::optional<std::int32_t> detail = TryStrToInt(typeText == "1" ? "-1" : Cell(r, kEveryDetail));
  if (!detail) return Reject(r, who + "优惠计划的周几/月中几号没有设置!");

  std::string controlText = Cell(r, kDayControl);
  std::optional<std::int32_t> control = TryStrToInt(controlText.empty() ? "0" : controlText);
  if (!control) return Reject(r, who + "优惠计划的可用范围不是0-2的整数!");
  if (*control < 0 || *control > 2) return Reject(r, who + "优惠计划的可用范围无效!");

  std::optional<std::int32_t> mealCode, timeId;
  if (*control == 1 && !(mealCode = MealSectionOf(r, Cell(r, kMealSection)))) return;
  if (*control == 2 && !(timeId = TimeSectionOf(r, Cell(r, kTimeSection)))) return;
  std::string hotel = run_.edition.IsGroup() ? Cell(r, kHotelId) : std::string();
  if (!hotel.empty() && !BranchFound(r, hotel)) return;

  TTimePlanItem plan;
  plan.PlanCode = number;
  plan.PlanName = name;
  plan.PlanName2 = Cell(r, kName2);
  plan.PlanName3 = Cell(r, kName3);
  plan.PromID = Cell(r, kPromId);
  plan.AllShare = run_.edition.IsGroup() && YesNo(Cell(r, kAllShare));
  plan.PlanUseTag = YesNo(Cell(r, kUseTag));
  plan.PlanStartDate = *start;
  if (hasEnd) plan.PlanEndDate = *end;
  plan.PlanEndTag = hasEnd;
  plan.PlanType = *type;
  plan.DayControlType = *control;
  plan.EveryDetail = *detail;
  plan.EveryOf = IntegerOrFail(r, kEveryOf);
  if (mealCode) plan.confines.push_back({number, *mealCode, -1});
  if (timeId) plan.confines.push_back({number, -1, *timeId});
  if (!hotel.empty()) plan.hotels.push_back({number, hotel});
  planByCode_.try_emplace(std::to_string(number), plans_.size());
  plans_.push_back(std::move(plan));
}

void PlanReader::ReadPrice(int r) {
  std::string code = TakeCode(r);
  if (!TryStrToInt(code)) return Reject(r, kQ + code + kQ + "优惠计划的代码不是整数!");
  TTimePlanItem* plan = FindPlan(code);
  if (!plan) return Reject(r, kQ + code + kQ + "优惠计划没有找到!");
  const std::string who = kQ + code + " " + plan->PlanName + kQ;

  TPricePlanItem line;
  line.PlanCode = plan->PlanCode;
  line.MenuItemCode = Cell(r, kPriceItem);
  if (line.MenuItemCode.empty()) return Reject(r, who + "优惠计划没有指定菜品编号!");
  if (!menuItems_.Find("MenuItemCode", line.MenuItemCode))
    return Reject(r, who + "优惠计划中没有找到编号为" + kQ + line.MenuItemCode + kQ + "的菜品!");

  const std::string dish = "优惠计划中菜品" + line.MenuItemCode + " " + Cell(r, kPriceItemName) + "的价格";
  double* prices[] = {&line.NewPrice, &line.NewPrice2, &line.NewPrice3, &line.NewPrice4, &line.NewPrice5};
  for (int k = 0; k < 5; ++k) {
    std::string text = Cell(r, kPrices[k]);
    if (text.empty()) continue;
    std::optional<double> price = TryStrToFloat(text);
    if (!price) return Reject(r, who + dish + std::to_string(k + 1) + "不是有效数值!");
    if (*price < 0) return Reject(r, who + dish + std::to_string(k + 1) + "不能小于0!");
    *prices[k] = *price;
  }
  // The limit has no check of its own; a negative one is kept.
  line.MaxQty = NumberOrFail(r, kMaxQty);
  plan->prices.push_back(std::move(line));
}

// ---- Writing --------------------------------------------------------------------

void BindPlan(db::Query& q, const TTimePlanItem& p, const Edition& e) {
  q.SetInteger("plancode", p.PlanCode);
  q.SetString("planname", 40, p.PlanName);
  q.SetOptionalString("promid", 8, p.PromID);
  q.SetInteger("planusetag", p.PlanUseTag);
  q.SetInteger("plantype", p.PlanType);
  q.SetInteger("everyof", p.EveryOf);
  q.SetInteger("everydetail", p.EveryDetail);
  q.SetString("planstartdate", 10, DateText(p.PlanStartDate));
  // Without an end the end date is the date value zero, 1899-12-30.
  q.SetString("planenddate", 10, DateText(p.PlanEndTag > 0 ? p.PlanEndDate : DateTime{}));
  q.SetInteger("planendtag", p.PlanEndTag);
  q.SetInteger("daycontroltype", p.DayControlType);
  if (!e.IsGroup()) return;
  q.SetString("planname2", 40, p.PlanName2);
  q.SetString("planname3", 40, p.PlanName3);
  q.SetInteger("allshare", p.AllShare);
  if (p.AllShare > 0)
    q.SetNull("zoneinfo", db::ParamType::Memo);
  else
    q.SetMemo("zoneinfo", p.ZoneInfo);
}

void BindConfine(db::Query& q, const TTimePlanConfineItem& c, const TTimePlanItem& p) {
  q.SetInteger("plancode", c.PlanCode);
  if (p.DayControlType == 1)
    q.SetInteger("mealsectioncode", c.MealSectionCode);
  else
    q.SetNull("mealsectioncode", db::ParamType::Integer);
  if (p.DayControlType == 2)
    q.SetInteger("timeid", c.TimeID);
  else
    q.SetNull("timeid", db::ParamType::Integer);
}

void BindPrice(db::Query& q, const TPricePlanItem& l, const Edition& e) {
  q.SetInteger("plancode", l.PlanCode);
  // As long as the edition's menu item codes.
  q.SetString("menuitemcode", e.Pick(5, 10), l.MenuItemCode);
  q.SetFloat("newprice", l.NewPrice);
  q.SetFloat("newprice2", l.NewPrice2);
  q.SetFloat("newprice3", l.NewPrice3);
  q.SetFloat("newprice4", l.NewPrice4);
  q.SetFloat("newprice5", l.NewPrice5);
  q.SetFloat("maxqty", l.MaxQty);
}

void WritePlan(ImportRun& run, const TTimePlanItem& p) {
  const Edition& e = run.edition;
  auto code = [&](db::Query& q) { q.SetInteger("plancode", p.PlanCode); };
  if (e.IsGroup())
    for (const char* sql : kGroupDeletes) run.Execute(sql, code);
  else
    for (const char* sql : kStoreDeletes) run.Execute(sql, code);
  run.Execute(e.Pick(kStorePlanInsert, kGroupPlanInsert), [&](db::Query& q) { BindPlan(q, p, e); });
  for (const auto& c : p.confines)
    run.Execute(e.Pick(kStoreConfineInsert, kGroupConfineInsert), [&](db::Query& q) { BindConfine(q, c, p); });
  if (e.IsGroup())
    for (const auto& h : p.hotels)
      run.Execute(kGroupHotelInsert, [&](db::Query& q) {
        q.SetInteger("plancode", h.PlanCode);
        q.SetString("hotelid", 20, h.HotelID);
      });
  for (const auto& l : p.prices)
    run.Execute(e.Pick(kStorePriceInsert, kGroupPriceInsert), [&](db::Query& q) { BindPrice(q, l, e); });
  run.StampDownloadVersion("PriceSchemaVersion");
}

}  // namespace

void uPricePlanIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  PlanLookups lists{run.dm.MealSections(e), run.dm.TimeSections(e), e.IsGroup() ? run.dm.HotelIDs(e) : RefList()};
  db::Query& q = run.Query(e.Pick(kStorePlanQuery, kGroupPlanQuery));
  run.FirstMarker(kPlanKey, kTitle);
  run.Sheet().Header(Captions(kPlanColumns));
  std::string previous;
  std::vector<std::string> cells(kPlanColumnCount);
  for (; !q.Eof(); q.Next()) {
    std::string code = q.FieldByName("PlanCode").AsString();
    bool newPlan = !SameTextIgnoringCase(code, previous);
    previous = code;
    for (int c = 0; c < kPlanColumnCount; ++c)
      cells[c] = kPlanColumns[c].groupOnly && !e.IsGroup() ? std::string()
                                                          : PlanCell(kPlanColumns[c], q, newPlan, lists);
    run.Sheet().Row(cells);
  }

  run.Sheet().Marker(kPriceKey);
  run.Sheet().Header(Captions(kPriceColumns));
  db::Query& p = run.Query(e.Pick(kStorePriceQuery, kGroupPriceQuery));
  std::vector<std::string> priceCells(kPriceColumnCount), previousCells(kPriceColumnCount);
  for (; !p.Eof(); p.Next()) {
    for (int c = 0; c < kPriceColumnCount; ++c)
      priceCells[c] = ExportCell(p.FieldByName(kPriceColumns[c].source), kPriceColumns[c].written, previousCells[c]);
    run.Sheet().Row(priceCells);
  }
}

void uPricePlanIO::Import(ImportRun& run) {
  run.RequireNotControlled("ControlPriceSchema", "价格优惠计划由集团统一下发,不能在门店导入!");
  const Edition& e = run.edition;
  RefList hotels = e.IsGroup() ? run.dm.HotelIDs(e) : RefList();
  std::vector<TTimePlanItem> plans;
  PlanReader reader(run, plans, hotels);
  ReadingLoop loop;
  // Rows without a code add meal sections, time sections and branches to the
  // plan above (columns 13 to 16), or price lines to it (column 2).
  loop.sections.push_back({.key = kPlanKey,
                           .read = [&](int r) { reader.ReadPlan(r); },
                           .continuationColumns = {kMealSection, kTimeSection, kAllShare, kHotelId},
                           .onEnter = [&] { reader.ForgetCode(); }});
  loop.sections.push_back({.key = kPriceKey,
                           .read = [&](int r) { reader.ReadPrice(r); },
                           .continuationColumns = {kPriceItem},
                           .onEnter = [&] { reader.ForgetCode(); }});
  loop.headerCaptions = {kPlanColumns[kCode - 1].caption};
  run.ReadSections(kKindName, loop);

  // One transaction per plan: its old rows out, the plan and all its rows in.
  for (auto& plan : plans) {
    std::string line = std::string("正在导入优惠计划") + kQ + plan.PlanName + kQ + "...";
    if (plan.prices.empty()) {
      run.Info(line);
      run.Error("该优惠计划没有内容!");
      continue;
    }
    if (e.IsGroup() && plan.AllShare == 0) {
      std::vector<std::string> ids;
      for (const auto& h : plan.hotels) ids.push_back(h.HotelID);
      plan.ZoneInfo = ZoneInfoText(hotels, ids);
    }
    run.WriteItem(line, [&] { WritePlan(run, plan); });
  }
}

}  // namespace sx
