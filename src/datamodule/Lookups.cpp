// The reference lists that imports check sheet values against. An empty brand
// ID loads the store database's list, any other the group database's list of
// that brand. The group statements alias their columns so that callers read
// both editions by the same names. The brand ID enters a statement only as an
// SQL string value, so a quote in it cannot change the statement.
//
// Each statement stands on one line so that it can be compared as a whole.
#include "base/Text.h"
#include "datamodule/udmio.h"

namespace sx {

namespace {

// Closes `query`, gives it `sql` as its whole text and opens it.
void Reload(db::Query& query, std::string sql) {
  query.Close();
  query.SetSQL(std::move(sql));
  query.Open();
}

}  // namespace

// clang-format off

void Tdmio::LoadMenuItems(const std::string& brandId) {
  // Live dishes of live menu types only.
  if (brandId.empty())
    Reload(qMenu, "select m.MenuItemCode,m.MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5,m.MenuTypeCode,t.MenuTypeName from MenuItem m,MenuType t where IsNull(m.Deleted,0)=0 and m.DishStatus=1 and t.MenuTypeCode=m.MenuTypeCode and IsNull(t.Deleted,0)=0 order by m.MenuItemCode");
  else
    Reload(qMenu, "select m.ItemCode as MenuItemCode,m.ItemName as MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5,m.tCode as MenuTypeCode,t.tName as MenuTypeName from Group_MenuItem m,Group_MenuType t where m.BrandID=" + QuotedStr(brandId) + " and m.DishStatus=1 and IsNull(m.Deleted,0)=0 and t.tCode=m.tCode and t.BrandID=m.BrandID and IsNull(t.Deleted,0)=0 order by MenuItemCode");
}

void Tdmio::LoadUsers(const std::string& brandId) {
  // Group: live users of the brand's branch restaurants in use.
  if (brandId.empty())
    Reload(qUsers, "select UserID,UserName,PassNo,'' as HotelID from HotelUser_V order by UserID");
  else
    Reload(qUsers, "select UserID,UserName,PassNo,HotelID from Group_Hotel_User where HotelID in (select HotelID from Group_Hotel where BrandID=" + QuotedStr(brandId) + " and UseTag=1) and IsNull(Deleted,0)=0 order by HotelID,UserID");
}

void Tdmio::LoadStoreItems(const std::string& brandId) {
  // The group's stock catalogue is shared by all brands: the brand ID only
  // selects the edition.
  if (brandId.empty())
    Reload(qMenuType, "select ItemCode,ItemName,StoreUnit,CalcUnit from S_Item where IsNull(Deleted,0)=0 order by ItemCode");
  else
    Reload(qMenuType, "select ItemCode,ItemName,StoreUnit,CalcUnit from Group_StoreItem where IsNull(Deleted,0)=0 order by ItemCode");
}

void Tdmio::LoadMenuTypes(const std::string& brandId) {
  if (brandId.empty())
    Reload(qMenuType, "select MenuTypeCode,MenuTypeName from MenuType where IsNull(Deleted,0)=0 order by MenuTypeCode");
  else
    Reload(qMenuType, "select tCode as MenuTypeCode,tName as MenuTypeName from Group_MenuType where BrandID=" + QuotedStr(brandId) + " and IsNull(Deleted,0)=0");
}

void Tdmio::LoadSubjects(const std::string& brandId) {
  // Payment subjects are the subjects of class 2.
  if (brandId.empty())
    Reload(qMenuType, "select SubjectCode,SubjectName from Subject where SubjectClass=2 order by SubjectCode");
  else
    Reload(qMenuType, "select SubjectCode,SubjectName from Group_Subject where BrandID=" + QuotedStr(brandId) + " and SubjectClass=2 order by SubjectCode");
}

void Tdmio::LoadDepts(const std::string& brandId) {
  // Production departments only.
  if (brandId.empty())
    Reload(qDept, "select DeptCode,DeptName from Dept where IsProduct=1 order by DeptCode");
  else
    Reload(qDept, "select DeptCode,DeptName from Group_Hotel_Dept where BrandID=" + QuotedStr(brandId) + " and IsProduct=1 order by DeptCode");
}

void Tdmio::LoadTimeSections(const std::string& brandId) {
  if (brandId.empty())
    Reload(qMenuType, "select TimeID,StartTime,EndTime from TimeSection order by TimeID");
  else
    Reload(qMenuType, "select TimeID,StartTime,EndTime from Group_TimeSection where BrandID=" + QuotedStr(brandId) + " order by TimeID");
}

void Tdmio::LoadMealSections(const std::string& brandId) {
  // The group database calls meal sections shifts.
  if (brandId.empty())
    Reload(qMealSection, "select MealSectionCode,MealSectionName from MealSection where IsNull(Deleted,0)=0 order by MealSectionCode");
  else
    Reload(qMealSection, "select ShiftCode as MealSectionCode,ShiftName as MealSectionName from Group_Shift where BrandID=" + QuotedStr(brandId) + " and IsNull(Deleted,0)=0 order by ShiftCode");
}

void Tdmio::LoadHotelIDs(const std::string& brandId) {
  // Branch restaurants exist in the group database only: there is no store
  // statement, and every call reads the brand's branches in use.
  Reload(qHotelIDs, "select h.HotelID,h.HotelName,z.ZoneID,z.ZoneName from Group_Hotel h,Group_Zone z where h.BrandID=" + QuotedStr(brandId) + " and h.UseTag=1 and h.ZoneID=z.ZoneID order by z.ZoneID,h.HotelID");
}

void Tdmio::LoadCardTypes() {
  // Both editions keep card types in one table without a brand column.
  Reload(qMenuType, "select CardTypeCode,CardTypeName from CardType order by CardTypeCode");
}

void Tdmio::LoadStores() {
  Reload(qMealSection, "select StoreCode,StoreName from S_Store order by StoreCode");
}

// clang-format on

}  // namespace sx
