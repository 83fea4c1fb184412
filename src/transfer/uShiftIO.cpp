// Shifts and time sections. The sheet has two sections, "shift" and
// "timesection", one row per record. The import gives the n-th data row of a
// section the code n - 1 and updates or inserts the row with that code; the
// code column of the sheet is only shown. A row rejected by its checks keeps
// its position: its code is left alone, so that one bad time does not move
// every later record to another code (set meals, price plans and minimum
// charges refer to these codes).
#include "transfer/uShiftIO.h"

#include <optional>
#include <string_view>
#include <vector>

#include "base/DateTime.h"

namespace sx {

namespace {

constexpr const char* kShiftKey = "shift";
constexpr const char* kTimeSectionKey = "timesection";
constexpr const char* kTitle = "班次时间段";
constexpr const char* kKindName = "班次时间段";

// ---- Sheet layout -------------------------------------------------------------

// A column from column 1 on: caption, the export query's column, write rule.
struct Column {
  const char* caption;
  const char* source;
  Written written = Written::Always;
};

constexpr Column kShiftColumns[] = {
    {"班次名称", "MealSectionName"},
    {"班次代码(从0自动开始,可不填)", "MealSectionCode"},
    {"停止使用(0-可用/1-停止)", "Deleted"},
    {"营业起始时间(时:分)", "StartTime", Written::Time},
    {"营业截止时间(时:分)", "EndTime", Written::Time},
};

constexpr Column kTimeSectionColumns[] = {
    {"起始时间(时:分)", "StartTime", Written::Time},
    {"截止之间(时:分)", "EndTime", Written::Time},
    {"时间段代码(从0自动开始,可不填)", "TimeID"},
};

// The sheet column (from 1) of an export query column.
constexpr int ColumnOf(const auto& columns, std::string_view source) {
  return ColumnNumber<&Column::source>(columns, source);
}

constexpr int kShiftName = ColumnOf(kShiftColumns, "MealSectionName");
constexpr int kShiftStopped = ColumnOf(kShiftColumns, "Deleted");
constexpr int kShiftStart = ColumnOf(kShiftColumns, "StartTime");
constexpr int kShiftEnd = ColumnOf(kShiftColumns, "EndTime");
constexpr int kSectionStart = ColumnOf(kTimeSectionColumns, "StartTime");
constexpr int kSectionEnd = ColumnOf(kTimeSectionColumns, "EndTime");

// ---- Statements -----------------------------------------------------------------

constexpr const char* kStoreShiftQuery = "select * from MealSection order by MealSectionCode";

constexpr const char* kGroupShiftQuery = R"(
select ShiftCode as MealSectionCode,ShiftName as MealSectionName,Deleted,StartTime,EndTime
from Group_Shift
where BrandID=:brandid
order by ShiftCode)";

constexpr const char* kStoreTimeSectionQuery = "select * from TimeSection order by TimeID";

constexpr const char* kGroupTimeSectionQuery = R"(
select * from Group_TimeSection
where BrandID=:brandid
order by TimeID)";

constexpr const char* kStoreShiftUpdate = R"(
update MealSection
set MealSectionName=:mealsectionname,Deleted=:deleted,StartTime=:starttime,EndTime=:endtime
where MealSectionCode=:mealsectioncode)";

constexpr const char* kStoreShiftInsert = R"(
insert into MealSection(MealSectionCode,MealSectionName,Deleted,StartTime,EndTime)
values(:mealsectioncode,:mealsectionname,:deleted,:starttime,:endtime))";

constexpr const char* kGroupShiftUpdate = R"(
update Group_Shift
set ShiftName=:mealsectionname,Deleted=:deleted,StartTime=:starttime,EndTime=:endtime
where ShiftCode=:mealsectioncode and BrandID=:brandid)";

constexpr const char* kGroupShiftInsert = R"(
insert into Group_Shift(BrandID,ShiftCode,ShiftName,Deleted,StartTime,EndTime)
values(:brandid,:mealsectioncode,:mealsectionname,:deleted,:starttime,:endtime))";

constexpr const char* kStoreTimeSectionUpdate = R"(
update TimeSection
set StartTime=:starttime,EndTime=:endtime
where TimeID=:timeid)";

constexpr const char* kStoreTimeSectionInsert = R"(
insert into TimeSection(StartTime,EndTime,TimeID)
values(:starttime,:endtime,:timeid))";

constexpr const char* kGroupTimeSectionUpdate = R"(
update Group_TimeSection
set StartTime=:starttime,EndTime=:endtime
where TimeID=:timeid and BrandID=:brandid)";

constexpr const char* kGroupTimeSectionInsert = R"(
insert into Group_TimeSection(BrandID,StartTime,EndTime,TimeID)
values(:brandid,:starttime,:endtime,:timeid))";

constexpr int kNameSize = 10;
constexpr int kTimeSize = 20;

// ---- Export ---------------------------------------------------------------------

template <std::size_t N>
void WriteSection(ExportRun& run, db::Query& q, const Column (&columns)[N]) {
  run.Sheet().Header(Captions(columns));
  std::vector<std::string> cells(N);
  std::vector<std::string> previous(N);
  for (; !q.Eof(); q.Next()) {
    for (std::size_t c = 0; c < N; ++c)
      cells[c] = ExportCell(q.FieldByName(columns[c].source), columns[c].written, previous[c]);
    run.Sheet().Row(cells);
  }
}

// ---- Reading --------------------------------------------------------------------

// The time check of the row readers: the text with ":00" appended must begin
// with a time of day, hours 0-23, then optionally ":" and minutes 0-59, then
// optionally ":" and seconds 0-59; what follows a complete time is not looked
// at here (the writers convert the whole text).
bool IsTimeOfDay(const std::string& typed) {
  std::string text = typed + ":00";
  const int limits[] = {23, 59, 59};
  std::size_t pos = 0;
  for (int part = 0; part < 3 && pos <= text.size(); ++part) {
    std::size_t end = text.find(':', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view digits(text.data() + pos, end - pos);
    if (digits.empty() || digits.size() > 2) return false;
    int value = 0;
    for (char ch : digits) {
      if (ch < '0' || ch > '9') return false;
      value = value * 10 + (ch - '0');
    }
    if (value > limits[part]) return false;
    if (end == text.size()) return true;
    pos = end + 1;
  }
  return true;
}

// Logs and returns false when a time cell is not a time of day.
bool CheckTime(ImportRun& run, int r, const char* what, const std::string& text) {
  if (IsTimeOfDay(text)) return true;
  run.RowError(r, what + text + "不符合时间格式HH:MM!");
  return false;
}

// Each data row of a section takes one position; a rejected row leaves its
// position empty.
using Shifts = std::vector<std::optional<TShiftItem>>;
using TimeSections = std::vector<std::optional<TTimeSectionItem>>;

void ReadShift(ImportRun& run, int r, Shifts& shifts) {
  TShiftItem item{.name = run.Cell(r, kShiftName),
                  .stopped = YesNo(run.Cell(r, kShiftStopped)),
                  .startTime = run.Cell(r, kShiftStart),
                  .endTime = run.Cell(r, kShiftEnd)};
  bool valid = (item.startTime.empty() || CheckTime(run, r, "营业开始时间", item.startTime)) &&
               (item.endTime.empty() || CheckTime(run, r, "营业截止时间", item.endTime));
  shifts.push_back(valid ? std::optional(std::move(item)) : std::nullopt);
}

void ReadTimeSection(ImportRun& run, int r, TimeSections& sections) {
  TTimeSectionItem item{.startTime = run.Cell(r, kSectionStart), .endTime = run.Cell(r, kSectionEnd)};
  bool valid = CheckTime(run, r, "开始时间", item.startTime) && CheckTime(run, r, "截止时间", item.endTime);
  sections.push_back(valid ? std::optional(std::move(item)) : std::nullopt);
}

// ---- Writing --------------------------------------------------------------------

// A typed time as stored: the text with ":00" appended converted as a whole
// (a time with seconds fails here), on the day zero.
DateTime StoredTime(const std::string& typed) { return StrToTime(typed + ":00"); }

void BindStoredTime(db::Query& q, std::string_view param, const std::string& typed) {
  if (typed.empty())
    q.SetNull(param, db::ParamType::String, kTimeSize);
  else
    q.SetString(param, kTimeSize, FormatDateTime("YYYY-MM-DD HH:NN:SS", StoredTime(typed)));
}

template <class Item>
bool AnyAccepted(const std::vector<std::optional<Item>>& items) {
  for (const auto& item : items)
    if (item) return true;
  return false;
}

// Store imports: false after logging the refusal when the chain controls the list.
bool AllowedHere(ImportRun& run, const char* column, const char* refusal) {
  if (run.edition.IsGroup() || run.dm.ImportAllowed(column)) return true;
  run.Info(refusal);
  return false;
}

void WriteShifts(ImportRun& run, const Shifts& shifts) {
  if (!AnyAccepted(shifts) || !AllowedHere(run, "ControlShift", "班次由集团统一下发,不能在门店导入!"))
    return;
  const Edition& e = run.edition;
  for (std::size_t code = 0; code < shifts.size(); ++code) {
    if (!shifts[code]) continue;
    const TShiftItem& s = *shifts[code];
    run.WriteItem("正在导入班次\"" + s.name + "\"...", [&] {
      run.UpdateOrInsert(e.Pick(kStoreShiftUpdate, kGroupShiftUpdate), e.Pick(kStoreShiftInsert, kGroupShiftInsert),
                         [&](db::Query& q) {
                           q.SetInteger("mealsectioncode", static_cast<std::int64_t>(code));
                           q.SetString("mealsectionname", kNameSize, s.name);
                           q.SetInteger("deleted", s.stopped);
                           BindStoredTime(q, "starttime", s.startTime);
                           BindStoredTime(q, "endtime", s.endTime);
                         });
      run.StampDownloadVersion("ShiftVersion");
    });
  }
}

void WriteTimeSections(ImportRun& run, const TimeSections& sections) {
  if (!AnyAccepted(sections) ||
      !AllowedHere(run, "ControlTimeSection", "时间段由集团统一下发,不能在门店导入!"))
    return;
  const Edition& e = run.edition;
  for (std::size_t code = 0; code < sections.size(); ++code) {
    if (!sections[code]) continue;
    const TTimeSectionItem& t = *sections[code];
    run.WriteItem("正在导入时间段\"" + t.startTime + "-" + t.endTime + "\"...", [&] {
      DateTime start = StoredTime(t.startTime);
      DateTime end = StoredTime(t.endTime);
      run.UpdateOrInsert(e.Pick(kStoreTimeSectionUpdate, kGroupTimeSectionUpdate),
                         e.Pick(kStoreTimeSectionInsert, kGroupTimeSectionInsert), [&](db::Query& q) {
                           q.SetInteger("timeid", static_cast<std::int64_t>(code));
                           if (e.IsGroup()) {
                             q.SetDateTime("starttime", start);
                             q.SetDateTime("endtime", end);
                           } else {
                             q.SetString("starttime", kTimeSize, FormatDateTime("YYYY-MM-DD HH:NN:SS", start));
                             q.SetString("endtime", kTimeSize, FormatDateTime("YYYY-MM-DD HH:NN:SS", end));
                           }
                         });
      run.StampDownloadVersion("TimeSectionVersion");
    });
  }
}

}  // namespace

void uShiftIO::Export(ExportRun& run) {
  const Edition& e = run.edition;
  db::Query& shifts = run.Query(e.Pick(kStoreShiftQuery, kGroupShiftQuery));
  run.FirstMarker(kShiftKey, kTitle);
  WriteSection(run, shifts, kShiftColumns);
  run.Sheet().Marker(kTimeSectionKey);
  WriteSection(run, run.Query(e.Pick(kStoreTimeSectionQuery, kGroupTimeSectionQuery)), kTimeSectionColumns);
}

void uShiftIO::Import(ImportRun& run) {
  Shifts shifts;
  TimeSections sections;
  ReadingLoop loop;
  loop.sections.push_back({.key = kShiftKey, .read = [&](int r) { ReadShift(run, r, shifts); }});
  loop.sections.push_back({.key = kTimeSectionKey, .read = [&](int r) { ReadTimeSection(run, r, sections); }});
  loop.headerCaptions = {kShiftColumns[kShiftName - 1].caption, kTimeSectionColumns[kSectionStart - 1].caption};
  run.ReadSections(kKindName, loop);

  WriteShifts(run, shifts);
  WriteTimeSections(run, sections);
}

}  // namespace sx
