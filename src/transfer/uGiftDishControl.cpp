// Gift dish control. Four sections: "giftroles", "giftpackges", "giftrules"
// and "userroles". The database numbers roles, packages and contents itself;
// the sheet's codes only link the rows, and the export writes the numbers as
// codes. The import matches roles by name, replaces all packages and contents
// of every role it names, and then sets the users' gift roles.
#include "transfer/uGiftDishControl.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "base/DateTime.h"
#include "base/Text.h"

namespace sx {

namespace {

constexpr const char* kRolesKey = "giftroles";
constexpr const char* kPackagesKey = "giftpackges";
constexpr const char* kRulesKey = "giftrules";
constexpr const char* kUsersKey = "userroles";
constexpr const char* kTitle = "赠送角色清单";
constexpr const char* kKindName = "赠送角色";

// ---- Sheet layout -------------------------------------------------------------

// How a column's value is shown: as stored, or as the words of a code.
enum class Shown { Stored, YesNo, Period, Control };

constexpr const char* kPeriods[] = {"按单", "按日", "按周", "按月"};
constexpr const char* kControls[] = {"允许赠送", "禁止赠送", "总额控制"};

struct Column {
  const char* caption;
  const char* field;
  // Written only when this field differs from the previous row's; none: always.
  const char* changeOf = nullptr;
  Shown shown = Shown::Stored;
};

constexpr Column kRoleColumns[] = {
    {"赠送角色编号", "ID"},
    {"赠送角色名称", "RoleName"},
    {"只在预订销售人是自己的账单上赠送(0:否/1:是)", "OnlyReserverTable", nullptr, Shown::YesNo},
};

constexpr Column kPackageColumns[] = {
    {"赠送角色编号", "RoleID", "RoleID"},
    {"赠送角色名称", "RoleName", "RoleID"},
    {"赠送包编号", "ID"},
    {"赠送包名称", "PackgeName"},
    {"赠送数量上限(0表示不限)", "QtyConfine"},
    {"赠送金额上限(0表示不限)", "AmountConfine"},
    {"限制范围(0:按单/1:每日/2:每周/3:每月)", "ResetInterval", nullptr, Shown::Period},
    {"限制类型(0:包内容允许赠送/1:包内容禁止赠送/2:只控制总额,没有包内容)", "ControlType", nullptr, Shown::Control},
};

constexpr Column kRuleColumns[] = {
    {"赠送角色编号", "RoleID", "RoleID"},
    {"赠送角色名称", "RoleName", "RoleID"},
    {"赠送包编号", "PackgeID", "PackgeID"},
    {"赠送包名称", "PackgeName", "PackgeID"},
    {"包内容编号", "ID"},
    {"菜类编号", "MenuTypeCode"},
    {"菜类名称", "MenuTypeName"},
    {"菜品编号", "MenuItemCode"},
    {"菜品名称", "MenuItemCName"},
};

constexpr Column kUserColumns[] = {
    {"赠送角色编号", "RoleID", "RoleID"},
    {"赠送角色名称", "RoleName", "RoleID"},
    {"员工编号", "UserID"},
    {"员工姓名", "UserName"},
};

// The sheet column (from 1) of a field in a table of columns.
constexpr int ColumnOf(const auto& columns, std::string_view field) {
  return ColumnNumber<&Column::field>(columns, field);
}

// ---- Statements -----------------------------------------------------------------

constexpr const char* kRoleQuery = "select * from GiftDishRole order by ID";

constexpr const char* kPackageQuery = R"(
select p.*,r.RoleName
from GiftDishRole r,GiftDishPackge p
where r.ID=p.RoleID
order by p.RoleID,p.ID)";

constexpr const char* kRuleQuery = R"(
select i.*,p.PackgeName,r.RoleName,m.MenuItemCName,t.MenuTypeName
from GiftDishRoleItem i,GiftDishPackge p,GiftDishRole r,MenuItem m,MenuType t
where i.PackgeID=p.ID and i.RoleID=r.ID and i.MenuTypeCode*=t.MenuTypeCode and i.MenuItemCode*=m.MenuItemCode
order by i.RoleID,i.PackgeID,i.ID)";

constexpr const char* kUserQuery = R"(
select u.UserID,u.UserName,u.GiftRoleID as RoleID,r.RoleName
from HotelUser_V u,GiftDishRole r
where u.GiftRoleID=r.ID
order by RoleID,u.UserID)";

constexpr const char* kRoleUpdate = "update GiftDishRole set OnlyReserverTable=:onlyreservertable where RoleName=:rolename";

constexpr const char* kRoleInsert = R"(
insert into GiftDishRole(RoleName,OnlyReserverTable)
values(:rolename,:onlyreservertable))";

constexpr const char* kRoleNumber = "select ID from GiftDishRole where RoleName=:rolename";

constexpr const char* kPackagesDelete = "delete from GiftDishPackge where RoleID=:roleid";
constexpr const char* kContentsDelete = "delete from GiftDishRoleItem where RoleID=:roleid";

constexpr const char* kPackageInsert = R"(
insert into GiftDishPackge(RoleID,PackgeName,QtyConfine,AmountConfine,ResetInterval,ControlType)
values(:roleid,:packgename,:qtyconfine,:amountconfine,:resetinterval,:controltype))";

// The package just inserted: the role's old packages are gone, so the
// largest number of its name within the role is the new one.
constexpr const char* kPackageNumber = R"(
select max(ID) as ID
from GiftDishPackge
where RoleID=:roleid and PackgeName=:packgename)";

constexpr const char* kContentInsert = R"(
insert into GiftDishRoleItem(PackgeID,RoleID,MenuTypeCode,MenuItemCode)
values(:packgeid,:roleid,:menutypecode,:menuitemcode))";

constexpr const char* kUserUpdate = "update HotelUser set GiftRoleID=:giftroleid where UserID=:userid";

// ---- Export ---------------------------------------------------------------------

// The words of a code; an unknown code shows as an empty cell.
template <std::size_t N>
std::string Word(const char* const (&words)[N], std::int64_t code) {
  return code >= 0 && code < static_cast<std::int64_t>(N) ? words[code] : "";
}

std::string ShownText(const db::Field& field, Shown shown) {
  switch (shown) {
    case Shown::YesNo:
      return field.AsInteger() >= 1 ? "是" : "否";
    case Shown::Period:
      return field.IsNull() ? "" : Word(kPeriods, field.AsInteger());
    case Shown::Control:
      return field.IsNull() ? "" : Word(kControls, field.AsInteger());
    case Shown::Stored:
      break;
  }
  return field.AsString();
}

template <std::size_t N>
void WriteSection(ExportRun& run, db::Query& q, const Column (&columns)[N]) {
  run.Sheet().Header(Captions(columns));
  std::map<std::string_view, std::string> previous;  // by the field whose change is watched
  for (; !q.Eof(); q.Next()) {
    std::map<std::string_view, bool> changed;
    for (const Column& c : columns)
      if (c.changeOf) changed[c.changeOf] = q.FieldByName(c.changeOf).AsString() != previous[c.changeOf];
    std::vector<std::string> cells;
    for (const Column& c : columns)
      cells.push_back(c.changeOf && !changed[c.changeOf] ? "" : ShownText(q.FieldByName(c.field), c.shown));
    for (const auto& [field, unused] : changed) previous[field] = q.FieldByName(field).AsString();
    run.Sheet().Row(cells);
  }
}

// ---- Reading --------------------------------------------------------------------

// A code from its number or its words; anything else is 0.
template <std::size_t N>
int Code(const char* const (&words)[N], const std::string& cell) {
  for (std::size_t i = 0; i < N; ++i)
    if (cell == std::to_string(i) || cell == words[i]) return static_cast<int>(i);
  return 0;
}

class GiftReader {
 public:
  explicit GiftReader(ImportRun& run)
      : run_(run), items_(run.dm.MenuItems(run.edition)), users_(run.dm.Users(run.edition)) {}

  void ReadRole(int r);
  void ReadPackage(int r);
  void ReadRule(int r);
  void ReadUser(int r);
  void Forget() { carriedRole_.clear(), carriedPackage_.clear(); }
  std::vector<TGiftRole>& Roles() { return roles_; }
  std::vector<TUserGiftRole>& Users() { return userRoles_; }
  TGiftRole* FindRole(const std::string& code);

 private:
  // A column's cell; an empty role or package code takes the carried one,
  // and the carried one becomes the row's.
  std::string Carried(int r, int column, std::string& carried);
  // A ceiling of a package row; false after its message.
  bool Ceiling(int r, int column, double& value);

  ImportRun& run_;
  RefList items_;
  RefList users_;
  std::vector<TGiftRole> roles_;
  std::vector<TUserGiftRole> userRoles_;
  std::string carriedRole_, carriedPackage_;
};

TGiftRole* GiftReader::FindRole(const std::string& code) {
  std::string upper = UpperCase(code);
  for (TGiftRole& role : roles_)
    if (UpperCase(role.code) == upper) return &role;
  return nullptr;
}

std::string GiftReader::Carried(int r, int column, std::string& carried) {
  std::string code = run_.Cell(r, column);
  if (code.empty()) code = carried;
  carried = code;
  return code;
}

bool GiftReader::Ceiling(int r, int column, double& value) {
  std::string cell = run_.Cell(r, column);
  if (cell.empty()) return true;
  std::optional<double> parsed = TryStrToFloat(cell);
  std::string caption = kPackageColumns[column - 1].caption;
  if (!parsed) return run_.RowError(r, caption + "不是数值!"), false;
  if (*parsed < 0) return run_.RowError(r, caption + "不能小于0!"), false;
  value = *parsed;
  return true;
}

void GiftReader::ReadRole(int r) {
  TGiftRole role{.code = run_.Cell(r, ColumnOf(kRoleColumns, "ID")),
                 .RoleName = run_.Cell(r, ColumnOf(kRoleColumns, "RoleName")),
                 .OnlyReserverTable = YesNo(run_.Cell(r, ColumnOf(kRoleColumns, "OnlyReserverTable")))};
  if (role.code.empty()) return run_.RowError(r, "没有指定赠送角色编号!");
  if (role.RoleName.empty()) return run_.RowError(r, "没有指定赠送角色名称!");
  // A second role of the same code or name would take over the first one's
  // rows or replace its packages in the database.
  if (FindRole(role.code)) return run_.RowError(r, "赠送角色编号" + role.code + "重复!");
  for (const TGiftRole& other : roles_)
    if (SameTextIgnoringCase(other.RoleName, role.RoleName))
      return run_.RowError(r, "赠送角色名称" + role.RoleName + "重复!");
  roles_.push_back(std::move(role));
}

void GiftReader::ReadPackage(int r) {
  auto cell = [&](std::string_view field) { return run_.Cell(r, ColumnOf(kPackageColumns, field)); };
  std::string roleCode = Carried(r, ColumnOf(kPackageColumns, "RoleID"), carriedRole_);
  TGiftPackge package{.code = cell("ID"), .PackgeName = cell("PackgeName")};
  if (package.code.empty()) return run_.RowError(r, "没有指定赠送包编号!");
  if (package.PackgeName.empty()) return run_.RowError(r, "没有指定赠送包名称!");
  TGiftRole* role = FindRole(roleCode);
  if (!role) return run_.RowError(r, "没有找到编号为\"" + roleCode + "\"的赠送角色!");
  if (!Ceiling(r, ColumnOf(kPackageColumns, "QtyConfine"), package.QtyConfine) ||
      !Ceiling(r, ColumnOf(kPackageColumns, "AmountConfine"), package.AmountConfine))
    return;
  package.ResetInterval = Code(kPeriods, cell("ResetInterval"));
  package.ControlType = Code(kControls, cell("ControlType"));
  role->packages.push_back(std::move(package));
}

void GiftReader::ReadRule(int r) {
  auto cell = [&](std::string_view field) { return run_.Cell(r, ColumnOf(kRuleColumns, field)); };
  std::string roleCode = Carried(r, ColumnOf(kRuleColumns, "RoleID"), carriedRole_);
  std::string packageCode = Carried(r, ColumnOf(kRuleColumns, "PackgeID"), carriedPackage_);
  TGiftRule rule{.code = cell("ID")};
  if (rule.code.empty()) return run_.RowError(r, "没有指定包内容编号!");
  std::string itemCode = cell("MenuItemCode");
  std::string typeCode = cell("MenuTypeCode");
  if (!itemCode.empty()) {
    std::optional<RefList::Row> item = items_.Find("MenuItemCode", itemCode);
    if (!item) return run_.RowError(r, "没有找到菜品:" + itemCode);
    // The item's own menu type, whatever the row says.
    rule.MenuItemCode = item->Text("MenuItemCode");
    rule.MenuTypeCode = item->Text("MenuTypeCode");
  } else {
    if (typeCode.empty()) return run_.RowError(r, "包内容既没有指定菜类，也没有指定菜品!");
    std::optional<RefList::Row> item = items_.Find("MenuTypeCode", typeCode);
    if (!item) return run_.RowError(r, "没有找到菜类:" + typeCode);
    rule.MenuTypeCode = item->Text("MenuTypeCode");
  }
  TGiftRole* role = FindRole(roleCode);
  if (!role) return run_.RowError(r, "没有找到编号为\"" + roleCode + "\"的赠送角色!");
  std::string upper = UpperCase(packageCode);
  auto package = std::find_if(role->packages.begin(), role->packages.end(),
                              [&](const TGiftPackge& p) { return UpperCase(p.code) == upper; });
  if (package == role->packages.end())
    return run_.RowError(r, "没有找到编号为\"" + packageCode + "\"的赠送包!");
  package->contents.push_back(std::move(rule));
}

void GiftReader::ReadUser(int r) {
  std::string roleCode = Carried(r, ColumnOf(kUserColumns, "RoleID"), carriedRole_);
  TGiftRole* role = FindRole(roleCode);
  if (!role) return run_.RowError(r, "编号" + roleCode + "的角色不存在!");
  std::string userId = run_.Cell(r, ColumnOf(kUserColumns, "UserID"));
  std::optional<RefList::Row> user = users_.Find("UserID", userId);
  if (!user) return run_.RowError(r, "没有找到用户编号:" + userId);
  userId = user->Text("UserID");
  auto entry = std::find_if(userRoles_.begin(), userRoles_.end(),
                            [&](const TUserGiftRole& u) { return UpperCase(u.UserID) == UpperCase(userId); });
  if (entry == userRoles_.end()) entry = userRoles_.insert(userRoles_.end(), {.UserID = userId});
  entry->roleCode = role->code;
  entry->roleName = role->RoleName;
}

// Writes a role with its packages and their contents; the role's database number.
std::int64_t WriteRole(ImportRun& run, const TGiftRole& role) {
  auto name = [&](db::Query& q) { q.SetString("rolename", 250, role.RoleName); };
  run.UpdateOrInsert(kRoleUpdate, kRoleInsert, [&](db::Query& q) {
    name(q);
    q.SetInteger("onlyreservertable", role.OnlyReserverTable);
  });
  std::int64_t roleId = run.Query(kRoleNumber, name).FieldByName("ID").AsInteger();
  auto id = [&](db::Query& q) { q.SetInteger("roleid", roleId); };
  run.Execute(kPackagesDelete, id);
  run.Execute(kContentsDelete, id);
  for (const TGiftPackge& p : role.packages) {
    run.Info("正在导入角色" + role.code + " " + role.RoleName + "的赠送包" + p.PackgeName + "...");
    auto package = [&](db::Query& q) {
      id(q);
      q.SetString("packgename", 250, p.PackgeName);
    };
    run.Execute(kPackageInsert, [&](db::Query& q) {
      package(q);
      q.SetFloat("qtyconfine", p.QtyConfine);
      q.SetFloat("amountconfine", p.AmountConfine);
      q.SetInteger("resetinterval", p.ResetInterval);
      q.SetInteger("controltype", p.ControlType);
    });
    std::int64_t packageId = run.Query(kPackageNumber, package).FieldByName("ID").AsInteger();
    for (const TGiftRule& c : p.contents)
      run.Execute(kContentInsert, [&](db::Query& q) {
        q.SetInteger("packgeid", packageId);
        id(q);
        q.SetString("menutypecode", 2, c.MenuTypeCode);
        q.SetString("menuitemcode", 5, c.MenuItemCode);
      });
  }
  return roleId;
}

}  // namespace

void uGiftDishControl::Export(ExportRun& run) {
  db::Query& roles = run.Query(kRoleQuery);
  run.FirstMarker(kRolesKey, kTitle);
  WriteSection(run, roles, kRoleColumns);
  const std::pair<const char*, const char*> sections[] = {
      {kPackagesKey, kPackageQuery}, {kRulesKey, kRuleQuery}, {kUsersKey, kUserQuery}};
  for (const auto& [key, sql] : sections) {
    db::Query& q = run.Query(sql);
    run.Sheet().Marker(key);
    if (key == kPackagesKey) WriteSection(run, q, kPackageColumns);
    if (key == kRulesKey) WriteSection(run, q, kRuleColumns);
    if (key == kUsersKey) WriteSection(run, q, kUserColumns);
  }
}

void uGiftDishControl::Import(ImportRun& run) {
  GiftReader reader(run);
  ReadingLoop loop;
  auto forget = [&] { reader.Forget(); };
  loop.sections = {
      {.key = kRolesKey, .read = [&](int r) { reader.ReadRole(r); }, .onEnter = forget},
      {.key = kPackagesKey,
       .read = [&](int r) { reader.ReadPackage(r); },
       .continuationColumns = {ColumnOf(kPackageColumns, "ID")},
       .onEnter = forget},
      {.key = kRulesKey,
       .read = [&](int r) { reader.ReadRule(r); },
       .continuationColumns = {ColumnOf(kRuleColumns, "ID")},
       .onEnter = forget},
      {.key = kUsersKey,
       .read = [&](int r) { reader.ReadUser(r); },
       .continuationColumns = {ColumnOf(kUserColumns, "UserID")},
       .onEnter = forget},
  };
  loop.headerCaptions = {kRoleColumns[ColumnOf(kRoleColumns, "ID") - 1].caption};
  run.ReadSections(kKindName, loop);

  for (TGiftRole& role : reader.Roles()) {
    std::int64_t number = 0;
    // The number counts only once the role's transaction has committed.
    if (run.WriteItem("正在导入角色" + role.code + " " + role.RoleName + "...",
                      [&] { number = WriteRole(run, role); }))
      role.number = number;
  }
  for (const TUserGiftRole& user : reader.Users()) {
    std::string line = "正在导入员工" + user.UserID + "的赠送角色\"" + user.roleName + "\"...";
    TGiftRole* role = reader.FindRole(user.roleCode);
    if (!role || !role->number) {
      // A user whose role was not written keeps the role it has.
      run.Info(line);
      run.Error("员工" + user.UserID + "的赠送角色" + user.roleCode + " " + user.roleName + "没有找到!");
      continue;
    }
    run.WriteItem(line, [&] {
      run.Execute(kUserUpdate, [&](db::Query& q) {
        q.SetInteger("giftroleid", *role->number);
        q.SetString("userid", 4, user.UserID);
      });
    });
  }
}

}  // namespace sx
