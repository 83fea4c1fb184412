// The reference lists that imports check sheet values against. The group
// statements alias their columns so that callers read both editions by the
// same names; they select the brand's rows through :brandid.
#include "datamodule/udmio.h"

namespace sx {

RefList Tdmio::MenuItems(const Edition& edition) {
  // Live dishes of live menu types only.
  return Load(edition.Pick(R"(
select m.MenuItemCode,m.MenuItemCName,m.Standard,m.Standard2,m.Standard3,m.Standard4,m.Standard5,
       m.MenuTypeCode,t.MenuTypeName
from MenuItem m,MenuType t
where IsNull(m.Deleted,0)=0 and m.DishStatus=1 and t.MenuTypeCode=m.MenuTypeCode
  and IsNull(t.Deleted,0)=0
order by m.MenuItemCode)",
                           R"(
select m.ItemCode as MenuItemCode,m.ItemName as MenuItemCName,m.Standard,m.Standard2,m.Standard3,
       m.Standard4,m.Standard5,m.tCode as MenuTypeCode,t.tName as MenuTypeName
from Group_MenuItem m,Group_MenuType t
where m.BrandID=:brandid and m.DishStatus=1 and IsNull(m.Deleted,0)=0
  and t.tCode=m.tCode and t.BrandID=m.BrandID and IsNull(t.Deleted,0)=0
order by MenuItemCode)"),
              edition);
}

RefList Tdmio::Users(const Edition& edition) {
  // Group: live users of the brand's branch restaurants in use.
  return Load(edition.Pick(R"(
select UserID,UserName,PassNo,'' as HotelID from HotelUser_V order by UserID)",
                           R"(
select UserID,UserName,PassNo,HotelID
from Group_Hotel_User
where HotelID in (select HotelID from Group_Hotel where BrandID=:brandid and UseTag=1)
  and IsNull(Deleted,0)=0
order by HotelID,UserID)"),
              edition);
}

RefList Tdmio::StoreItems(const Edition& edition) {
  // The group's stock catalogue is shared by all brands.
  return Load(edition.Pick(R"(
select ItemCode,ItemName,StoreUnit,CalcUnit from S_Item
where IsNull(Deleted,0)=0 order by ItemCode)",
                           R"(
select ItemCode,ItemName,StoreUnit,CalcUnit from Group_StoreItem
where IsNull(Deleted,0)=0 order by ItemCode)"),
              edition);
}

RefList Tdmio::MenuTypes(const Edition& edition) {
  return Load(edition.Pick(R"(
select MenuTypeCode,MenuTypeName from MenuType
where IsNull(Deleted,0)=0 order by MenuTypeCode)",
                           R"(
select tCode as MenuTypeCode,tName as MenuTypeName from Group_MenuType
where BrandID=:brandid and IsNull(Deleted,0)=0)"),
              edition);
}

RefList Tdmio::Subjects(const Edition& edition) {
  // Payment subjects are the subjects of class 2.
  return Load(edition.Pick(R"(
select SubjectCode,SubjectName from Subject
where SubjectClass=2 order by SubjectCode)",
                           R"(
select SubjectCode,SubjectName from Group_Subject
where BrandID=:brandid and SubjectClass=2 order by SubjectCode)"),
              edition);
}

RefList Tdmio::Depts(const Edition& edition) {
  // Production departments only.
  return Load(edition.Pick(R"(
select DeptCode,DeptName from Dept
where IsProduct=1 order by DeptCode)",
                           R"(
select DeptCode,DeptName from Group_Hotel_Dept
where BrandID=:brandid and IsProduct=1 order by DeptCode)"),
              edition);
}

RefList Tdmio::TimeSections(const Edition& edition) {
  return Load(edition.Pick(R"(
select TimeID,StartTime,EndTime from TimeSection order by TimeID)",
                           R"(
select TimeID,StartTime,EndTime from Group_TimeSection
where BrandID=:brandid order by TimeID)"),
              edition);
}

RefList Tdmio::MealSections(const Edition& edition) {
  // The group database calls meal sections shifts.
  return Load(edition.Pick(R"(
select MealSectionCode,MealSectionName from MealSection
where IsNull(Deleted,0)=0 order by MealSectionCode)",
                           R"(
select ShiftCode as MealSectionCode,ShiftName as MealSectionName from Group_Shift
where BrandID=:brandid and IsNull(Deleted,0)=0 order by ShiftCode)"),
              edition);
}

RefList Tdmio::HotelIDs(const Edition& edition) {
  // Branch restaurants exist in the group database only: every edition reads
  // the brand's branches in use (a store edition has no brand and finds none).
  return Load(R"(
select h.HotelID,h.HotelName,z.ZoneID,z.ZoneName
from Group_Hotel h,Group_Zone z
where h.BrandID=:brandid and h.UseTag=1 and h.ZoneID=z.ZoneID
order by z.ZoneID,h.HotelID)",
              Edition::Group(edition.BrandId()));
}

RefList Tdmio::CardTypes() {
  // Both editions keep card types in one table without a brand column.
  return Load("select CardTypeCode,CardTypeName from CardType order by CardTypeCode", Edition::Store());
}

RefList Tdmio::Stores() {
  return Load("select StoreCode,StoreName from S_Store order by StoreCode", Edition::Store());
}

}  // namespace sx
