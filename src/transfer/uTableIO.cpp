// Rooms and tables. The sheet has two sections: "room", one row per permitted
// menu type of a room (the room's own columns only on its first row), and
// "table", one row per table. The import writes one room at a time with its
// menu types and its tables; the room's menu types are replaced, its tables
// updated or added.
#include "transfer/uTableIO.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kRoomKey = "room";
constexpr const char* kTableKey = "table";
constexpr const char* kTitle = "房间餐桌清单";
constexpr const char* kKindName = "房间和餐桌";

// ---- Sheet layout -------------------------------------------------------------

struct Column {
  const char* caption;
  const char* field;  // the query field the export writes
  Written rule;
  bool perRoom = false;  // written only on the first row of a room
};

constexpr Column kRoomColumns[] = {
    {"房间编号", "RoomNo", Written::Always, true},
    {"房间名称", "RoomName", Written::Always, true},
    {"服务费率%", "ServiceRate", Written::Always, true},
    {"不收服务费(0收/1不收)", "NoServiceFee", Written::Always, true},
    {"删除标记(0保留/1删除)", "Deleted", Written::Always, true},
    {"可用菜类编码", "MenuTypeCode", Written::Always},
    {"可用菜类名称", "MenuTypeName", Written::Always},
};

constexpr Column kTableColumns[] = {
    {"房间编号", "RoomNo", Written::OnChange},
    {"餐桌编号", "TableNo", Written::Always},
    {"餐桌名称", "TableAlias", Written::Always},
    {"座位数量", "SeatQty", Written::Always},
    {"是否允许不计时消费(0-否/1-是)", "CanOnePrice", Written::Always},
    {"不计时消费金额", "OnePrice", Written::Always},
    {"是否快餐餐桌(0-否/1-是)", "QuickUse", Written::Always},
    {"是否允许拼台(0-否/1-是)", "UsePinTai", Written::Always},
    {"是否允许外卖(0-否/1-是)", "OutUse", Written::Always},
    {"描述", "Remark", Written::Always},
    {"删除标记(0保留/1删除)", "Deleted", Written::Always},
};

// The sheet column (from 1) of a field in a table of columns.
constexpr int ColumnOf(const auto& columns, std::string_view field) {
  return ColumnNumber<&Column::field>(columns, field);
}

// ---- Statements -----------------------------------------------------------------

constexpr const char* kRoomQuery = R"(
select g.*,t.MenuTypeName
from (select r.*,m.MenuTypeCode from Room r,RoomMenuType m where r.RoomNo*=m.RoomNo) as g,MenuType t
where g.MenuTypeCode*=t.MenuTypeCode
order by g.RoomNo,g.MenuTypeCode)";

constexpr const char* kTableQuery = "select * from HotelTable order by RoomNo,TableNo";

constexpr const char* kMenuTypeDelete = "delete from RoomMenuType where RoomNo=:roomno";

constexpr const char* kRoomUpdate = R"(
update Room
set RoomName=:roomname,ServiceRate=:servicerate,NoServiceFee=:noservicefee,Deleted=:deleted
where RoomNo=:roomno)";

constexpr const char* kRoomInsert = R"(
insert into Room(RoomNo,RoomName,ServiceRate,RoomServTag,RoomDrinkTag,OrderNo,NoServiceFee,Deleted)
values(:roomno,:roomname,:servicerate,0,0,0,:noservicefee,:deleted))";

constexpr const char* kMenuTypeInsert = R"(
insert into RoomMenuType(RoomNo,MenuTypeCode)
values(:roomno,:menutypecode))";

constexpr const char* kTableUpdate = R"(
update HotelTable
set RoomNo=:roomno,SeatQty=:seatqty,OnePrice=:oneprice,CanOnePrice=:canoneprice,QuickUse=:quickuse,
TableAlias=:tablename,UsePinTai=:usepintai,OutUse=:outuse,Remark=:remark,Deleted=:deleted
where TableNo=:tableno)";

constexpr const char* kTableInsert = R"(
insert into HotelTable(TableNo,RoomNo,BillNo,TableStatus,SeatQty,OnePrice,CanOnePrice,QuickUse,OrderNo,
TableAlias,UsePinTai,OutUse,Remark,Deleted)
values(:tableno,:roomno,0,0,:seatqty,:oneprice,:canoneprice,:quickuse,0,
:tablename,:usepintai,:outuse,:remark,:deleted))";

// ---- Export ---------------------------------------------------------------------

void WriteRooms(ExportRun& run, db::Query& q) {
  std::string previousRoom;
  for (; !q.Eof(); q.Next()) {
    std::string roomNo = q.FieldByName("RoomNo").AsString();
    bool firstOfRoom = roomNo != previousRoom;
    previousRoom = roomNo;
    std::vector<std::string> cells;
    for (const Column& c : kRoomColumns) {
      std::string unused;
      cells.push_back(c.perRoom && !firstOfRoom ? "" : ExportCell(q.FieldByName(c.field), c.rule, unused));
    }
    run.Sheet().Row(cells);
  }
}

void WriteTables(ExportRun& run, db::Query& q) {
  std::vector<std::string> previous(std::size(kTableColumns));
  for (; !q.Eof(); q.Next()) {
    std::vector<std::string> cells;
    for (std::size_t c = 0; c < std::size(kTableColumns); ++c)
      cells.push_back(ExportCell(q.FieldByName(kTableColumns[c].field), kTableColumns[c].rule, previous[c]));
    run.Sheet().Row(cells);
  }
}

// ---- Reading --------------------------------------------------------------------

class RoomReader {
 public:
  explicit RoomReader(ImportRun& run) : run_(run), menuTypes_(run.dm.MenuTypes(run.edition)) {}

  void ReadRoom(int r);
  void ReadTable(int r);
  void Forget() { carried_.clear(); }
  std::vector<TRoomItem>& Rooms() { return rooms_; }

 private:
  std::string RoomCell(int r, std::string_view field) { return run_.Cell(r, ColumnOf(kRoomColumns, field)); }
  std::string TableCell(int r, std::string_view field) { return run_.Cell(r, ColumnOf(kTableColumns, field)); }
  // The room of this workbook with the code, letter case aside.
  TRoomItem* FindRoom(const std::string& code);

  ImportRun& run_;
  RefList menuTypes_;
  std::vector<TRoomItem> rooms_;
  std::string carried_;  // the room code of the rows above
};

TRoomItem* RoomReader::FindRoom(const std::string& code) {
  std::string upper = UpperCase(code);
  for (TRoomItem& room : rooms_)
    if (UpperCase(room.RoomNo) == upper) return &room;
  return nullptr;
}

void RoomReader::ReadRoom(int r) {
  std::string code = RoomCell(r, "RoomNo");
  if (code.empty()) code = carried_;
  // A room already read in this workbook is continued, never opened again:
  // opening it again would drop the menu types it has gathered.
  bool opens = code != carried_ && !FindRoom(code);
  // A rejected room is still carried, so that its continuation rows report it.
  carried_ = code;

  TRoomItem item{.RoomNo = code, .RoomName = RoomCell(r, "RoomName")};
  if (opens) {
    if (item.RoomName.empty()) return run_.RowError(r, code + "没有指定房间名称!");
    std::string rate = RoomCell(r, "ServiceRate");
    if (!rate.empty()) {
      std::optional<double> value = TryStrToFloat(rate);
      if (!value) return run_.RowError(r, code + "房间指定的服务费率不是有效数值!");
      if (*value < 0) return run_.RowError(r, code + "房间指定的服务费率不能小于0!");
      item.ServiceRate = *value;
    }
    item.NoServiceFee = YesNo(RoomCell(r, "NoServiceFee"));
    item.Deleted = YesNo(RoomCell(r, "Deleted"));
  }
  std::string menuType = RoomCell(r, "MenuTypeCode");
  if (!menuType.empty() && !menuTypes_.Find("MenuTypeCode", menuType))
    return run_.RowError(r, "没有找到菜类:" + menuType);
  menuType = UpperCase(menuType);

  if (opens) {
    if (!menuType.empty()) item.menuTypes.push_back(menuType);
    rooms_.push_back(std::move(item));
    return;
  }
  TRoomItem* room = FindRoom(code);
  if (!room) return run_.RowError(r, code + "房间不存在!");
  if (!menuType.empty() && std::find(room->menuTypes.begin(), room->menuTypes.end(), menuType) == room->menuTypes.end())
    room->menuTypes.push_back(menuType);
}

void RoomReader::ReadTable(int r) {
  std::string code = TableCell(r, "RoomNo");
  if (code.empty()) code = carried_;
  carried_ = code;
  // Tables are taken only under the rooms of this workbook.
  TRoomItem* room = FindRoom(code);
  if (!room) return run_.RowError(r, "没有找到编号为\"" + code + "\"的房间!");
  TTableItem table{.TableNo = TableCell(r, "TableNo"),
                   .RoomNo = room->RoomNo,
                   .TableAlias = TableCell(r, "TableAlias"),
                   .CanOnePrice = YesNo(TableCell(r, "CanOnePrice")),
                   .QuickUse = YesNo(TableCell(r, "QuickUse")),
                   .UsePinTai = YesNo(TableCell(r, "UsePinTai")),
                   .OutUse = YesNo(TableCell(r, "OutUse")),
                   .Remark = TableCell(r, "Remark"),
                   .Deleted = YesNo(TableCell(r, "Deleted"))};
  if (table.TableNo.empty()) return run_.RowError(r, code + "没有指定餐桌编号!");
  std::string seats = TableCell(r, "SeatQty");
  if (!seats.empty()) {
    std::optional<std::int32_t> value = TryStrToInt(seats);
    if (!value) return run_.RowError(r, table.TableNo + "餐桌的座位数量不是有效数值!");
    if (*value < 0) return run_.RowError(r, table.TableNo + "餐桌的座位数量不能小于0!");
    table.SeatQty = *value;
  }
  std::string amount = TableCell(r, "OnePrice");
  if (!amount.empty()) {
    std::optional<double> value = TryStrToFloat(amount);
    if (!value) return run_.RowError(r, table.TableNo + "餐桌的不计时消费金额不是有效数值!");
    if (*value < 0) return run_.RowError(r, table.TableNo + "餐桌的不计时消费金额不能小于0!");
    table.OnePrice = *value;
  }
  room->tables.push_back(std::move(table));
}

// The continuation columns of a section: every column but the first.
template <std::size_t N>
std::vector<int> OtherColumns(const Column (&)[N]) {
  std::vector<int> columns;
  for (int c = 2; c <= static_cast<int>(N); ++c) columns.push_back(c);
  return columns;
}

void WriteRoom(ImportRun& run, const TRoomItem& room) {
  auto roomNo = [&](db::Query& q) { q.SetString("roomno", 4, room.RoomNo); };
  run.Execute(kMenuTypeDelete, roomNo);
  run.UpdateOrInsert(kRoomUpdate, kRoomInsert, [&](db::Query& q) {
    roomNo(q);
    q.SetString("roomname", 10, room.RoomName);
    q.SetFloat("servicerate", room.ServiceRate);
    q.SetInteger("noservicefee", room.NoServiceFee);
    q.SetInteger("deleted", room.Deleted);
  });
  for (const std::string& menuType : room.menuTypes)
    run.Execute(kMenuTypeInsert, [&](db::Query& q) {
      roomNo(q);
      q.SetString("menutypecode", 2, menuType);
    });
  for (const TTableItem& t : room.tables)
    run.UpdateOrInsert(kTableUpdate, kTableInsert, [&](db::Query& q) {
      roomNo(q);
      q.SetInteger("seatqty", t.SeatQty);
      q.SetFloat("oneprice", t.OnePrice);
      q.SetInteger("canoneprice", t.CanOnePrice);
      q.SetInteger("quickuse", t.QuickUse);
      q.SetString("tablename", 20, t.TableAlias);
      q.SetInteger("usepintai", t.UsePinTai);
      q.SetInteger("outuse", t.OutUse);
      q.SetString("remark", 250, t.Remark);
      q.SetInteger("deleted", t.Deleted);
      q.SetString("tableno", 4, t.TableNo);
    });
}

}  // namespace

void uTableIO::Export(ExportRun& run) {
  db::Query& rooms = run.Query(kRoomQuery);
  run.FirstMarker(kRoomKey, kTitle);
  run.Sheet().Header(Captions(kRoomColumns));
  WriteRooms(run, rooms);
  db::Query& tables = run.Query(kTableQuery);
  run.Sheet().Marker(kTableKey);
  run.Sheet().Header(Captions(kTableColumns));
  WriteTables(run, tables);
}

void uTableIO::Import(ImportRun& run) {
  RoomReader reader(run);
  ReadingLoop loop;
  // A row of a section is empty when all its columns are; rows before the
  // first marker with column 1 empty count as empty, so every sheet ends.
  loop.sections.push_back({.key = kRoomKey,
                           .read = [&](int r) { reader.ReadRoom(r); },
                           .continuationColumns = OtherColumns(kRoomColumns),
                           .onEnter = [&] { reader.Forget(); }});
  loop.sections.push_back({.key = kTableKey,
                           .read = [&](int r) { reader.ReadTable(r); },
                           .continuationColumns = OtherColumns(kTableColumns),
                           .onEnter = [&] { reader.Forget(); }});
  loop.headerCaptions = {kRoomColumns[ColumnOf(kRoomColumns, "RoomNo") - 1].caption};
  run.ReadSections(kKindName, loop);

  for (const TRoomItem& room : reader.Rooms())
    run.WriteItem("正在导入房间" + room.RoomNo + " " + room.RoomName + "...", [&] { WriteRoom(run, room); });
}

}  // namespace sx
