-- Group (chain headquarters) database schema for SQL Server (T-SQL), the
-- same tables and columns as the embedded engine's sql/group.sql. Text
-- columns are varchar sized as the statements' parameters (bytes of code page
-- 936), so the database wants a Chinese case-insensitive collation such as
-- Chinese_PRC_CI_AS: names and codes compare ignoring letter case. Run it in
-- an empty database, e.g. with
--   setupxfer init-db --print-ddl sqlserver --edition group | sqlcmd -d DB -I -b
-- Statements end with ";", and "GO" ends a batch where T-SQL needs one.

CREATE TABLE Group_Version (
  VersionNo varchar(20) NULL
);
INSERT INTO Group_Version (VersionNo) VALUES ('2.5.2011.1G');

CREATE TABLE Group_Brand (
  BrandID varchar(8) PRIMARY KEY,
  BrandName varchar(50) NULL,
  ControlMenuSuite int NULL,
  ControlDiscount int NULL,
  ControlSubject int NULL,
  ControlPriceSchema int NULL,
  ControlMaterial int NULL,
  ControlCostCard int NULL,
  ControlMenu int NULL,
  ControlDept int NULL,
  ControlUser int NULL,
  ControlShift int NULL,
  ControlTimeSection int NULL
);

-- When each kind of data last changed, per brand; stores download what is newer.
CREATE TABLE Group_DownloadVersion (
  BrandID varchar(8) PRIMARY KEY,
  MenuSuiteVersion datetime NULL,
  DiscountVersion datetime NULL,
  SubjectVersion datetime NULL,
  PriceSchemaVersion datetime NULL,
  MaterialVersion datetime NULL,
  CostCardVersion datetime NULL,
  MenuVersion datetime NULL,
  BackReasonVersion datetime NULL,
  GiftReasonVersion datetime NULL,
  RepriceReasonVersion datetime NULL,
  DeptVersion datetime NULL,
  ShiftVersion datetime NULL,
  TimeSectionVersion datetime NULL
);

-- Reason lists, per brand.
CREATE TABLE Group_BackReason (
  BrandID varchar(8) NULL,
  BackReasonDesc varchar(250) NULL
);

CREATE TABLE Group_GiftReason (
  BrandID varchar(8) NULL,
  GiftReasonDesc varchar(250) NULL
);

CREATE TABLE Group_RepriceReason (
  BrandID varchar(8) NULL,
  RepriceReasonDesc varchar(250) NULL
);

-- Branch restaurants of the brands, grouped into zones. UseTag 1 marks a
-- branch in use; UserVersion is stamped when its users change.
CREATE TABLE Group_Zone (
  ZoneID int PRIMARY KEY,
  ZoneName varchar(50) NULL
);

CREATE TABLE Group_Hotel (
  HotelID varchar(20) PRIMARY KEY,
  HotelName varchar(100) NULL,
  BrandID varchar(8) NULL,
  ZoneID int NULL,
  UseTag int NULL,
  HotelTag int NULL,
  UserVersion datetime NULL
);

-- Menu types of a brand. Remark holds the guest requests, one per line.
CREATE TABLE Group_MenuType (
  BrandID varchar(8),
  tCode varchar(10),
  tName varchar(50) NULL,
  tName2 varchar(50) NULL,
  tName3 varchar(50) NULL,
  MenuTypeAlias varchar(20) NULL,
  SubjectCode varchar(20) NULL,
  DeptCode varchar(2) NULL,
  ServiceRate int NULL,
  UnDiscountTag int NULL,
  IsDrink int NULL,
  Deleted int NULL,
  Remark varchar(max) NULL,
  PRIMARY KEY (BrandID, tCode)
);

-- Menu items of a brand with up to five standards and their prices. Only
-- items with DishStatus 1 and Deleted 0 are live.
CREATE TABLE Group_MenuItem (
  BrandID varchar(8),
  ItemCode varchar(10),
  ItemName varchar(50) NULL,
  ItemName2 varchar(50) NULL,
  ItemName3 varchar(50) NULL,
  tCode varchar(10) NULL,
  Standard varchar(20) NULL,
  ItemPrice float NULL,
  MemberPrice float NULL,
  CostPrice float NULL,
  Standard2 varchar(20) NULL,
  ItemPrice2 float NULL,
  MemberPrice2 float NULL,
  CostPrice2 float NULL,
  Standard3 varchar(20) NULL,
  ItemPrice3 float NULL,
  MemberPrice3 float NULL,
  CostPrice3 float NULL,
  Standard4 varchar(20) NULL,
  ItemPrice4 float NULL,
  MemberPrice4 float NULL,
  CostPrice4 float NULL,
  Standard5 varchar(20) NULL,
  ItemPrice5 float NULL,
  MemberPrice5 float NULL,
  CostPrice5 float NULL,
  Mask int NULL,
  HelpCode varchar(20) NULL,
  MessageTag int NULL,
  TimePriceTag int NULL,
  QtyNotSureTag int NULL,
  TimeTag int NULL,
  NeedSaleOut int NULL,
  CanChangeNamePrice int NULL,
  AddStandard varchar(10) NULL,
  CanBonusPay int NULL,
  AskQty int NULL,
  AskMemo int NULL,
  AskScanQty int NULL,
  MakeTime int NULL,
  CannotGift int NULL,
  CanBackWORight int NULL,
  BarCode varchar(30) NULL,
  NeedMaker int NULL,
  DeptCode varchar(2) NULL,
  CanRemark int NULL,
  QtyConfine int NULL,
  DefaultMemo varchar(50) NULL,
  TaxRate float NULL,
  UseDate datetime NULL,
  HopeRate float NULL,
  HopeRate2 float NULL,
  HopeRate3 float NULL,
  HopeRate4 float NULL,
  HopeRate5 float NULL,
  DishStatus int NULL,
  Deleted int NULL,
  Remark varchar(max) NULL,
  PRIMARY KEY (BrandID, ItemCode)
);

-- Staff members, one row per person keyed by the identity document number
-- (PassNo) and assigned to a branch restaurant.
CREATE TABLE Group_Hotel_User (
  PassNo varchar(30) NULL,
  UserID varchar(4) NULL,
  UserName varchar(10) NULL,
  HotelID varchar(20) NULL,
  DeptCode varchar(2) NULL,
  Password varchar(24) NULL,
  Rights int NULL,
  Rights2 int NULL,
  Rights3 int NULL,
  Sex int NULL,
  Phone varchar(250) NULL,
  CardTypeList varchar(max) NULL,
  MaxPreDiscount float NULL,
  Deleted int NULL
);

-- The chain's stock catalogue, shared by all brands.
CREATE TABLE Group_StoreItem (
  ItemCode varchar(30) PRIMARY KEY,
  ItemName varchar(100) NULL,
  ItemName2 varchar(100) NULL,
  ItemName3 varchar(100) NULL,
  fCode varchar(10) NULL,
  tCode varchar(10) NULL,
  StoreUnit varchar(20) NULL,
  StoreRate int NULL,
  CalcUnit varchar(20) NULL,
  CalcRate int NULL,
  Org_Unit varchar(20) NULL,
  Org_Rate float NULL,
  HelpCode varchar(20) NULL,
  MaxQty float NULL,
  MinQty float NULL,
  Add_StoreUnit varchar(8) NULL,
  MaxPrice float NULL,
  BarCode varchar(30) NULL,
  Deleted int NULL
);

-- Accounting subjects of a brand; class 2 are the payment subjects.
CREATE TABLE Group_Subject (
  BrandID varchar(8),
  SubjectCode varchar(10),
  SubjectName varchar(60) NULL,
  SubjectName2 varchar(60) NULL,
  SubjectName3 varchar(60) NULL,
  SubjectClass int NULL,
  SubjectType int NULL,
  PayTag int NULL,
  PayMemoTag int NULL,
  NoChange int NULL,
  PayVisible int NULL,
  QuickUse int NULL,
  CanInvoice int NULL,
  BillCost float NULL,
  UseAmount float NULL,
  Company varchar(100) NULL,
  PostCode varchar(10) NULL,
  Address varchar(100) NULL,
  Tele varchar(100) NULL,
  Fax varchar(100) NULL,
  Contact varchar(20) NULL,
  Mobile varchar(20) NULL,
  CreditLimit float NULL,
  Remark varchar(max) NULL,
  PRIMARY KEY (BrandID, SubjectCode)
);

-- First-level departments of a brand; IsProduct 1 marks production departments.
CREATE TABLE Group_Hotel_Dept (
  BrandID varchar(8),
  DeptCode varchar(2),
  DeptName varchar(250) NULL,
  IsProduct int NULL,
  PRIMARY KEY (BrandID, DeptCode)
);

-- Discount types, shared by all brands.
CREATE TABLE CardType (
  CardTypeCode varchar(4) PRIMARY KEY,
  CardTypeName varchar(10) NULL,
  CardTypeName2 varchar(60) NULL,
  CardTypeName3 varchar(60) NULL,
  AllowJifen int NULL
);

-- Storehouses.
CREATE TABLE S_Store (
  StoreCode int PRIMARY KEY,
  StoreName varchar(50) NULL
);

-- Time sections of a brand.
CREATE TABLE Group_TimeSection (
  BrandID varchar(8),
  TimeID int,
  StartTime datetime NULL,
  EndTime datetime NULL,
  PRIMARY KEY (BrandID, TimeID)
);

-- Shifts (meal sections) of a brand.
CREATE TABLE Group_Shift (
  BrandID varchar(8),
  ShiftCode int,
  ShiftName varchar(10) NULL,
  Deleted int NULL,
  StartTime datetime NULL,
  EndTime datetime NULL,
  PRIMARY KEY (BrandID, ShiftCode)
);

-- Discount types: the brands' discount lines of the shared discount types
-- (CardType); Excludes as in the store database.
CREATE TABLE CardTypeItems (
  BrandID varchar(8) NULL,
  CardTypeCode varchar(4) NULL,
  MenuTypeCode varchar(2) NULL,
  Discount int NULL,
  Excludes varchar(max) NULL,
  MenuSuiteNo varchar(2) NULL
);

-- Remarks: the public guest requests of a brand, one text of request lines;
-- ID numbers the rows as they are added.
CREATE TABLE Group_GuestNeeds (
  ID int identity(1,1) PRIMARY KEY,
  BrandID varchar(8) NULL,
  Needs varchar(max) NULL
);

-- Set meals of a brand, their dishes and the branches they are limited to.
-- ZoneInfo lists those branches by zone, for display.
CREATE TABLE Group_MenuSuite (
  BrandID varchar(8),
  msCode varchar(2),
  msName varchar(20) NULL,
  ConfineMenuSuite int NULL,
  PlanType int NULL,
  EveryOf int NULL,
  EveryDetail int NULL,
  PlanStartDate datetime NULL,
  PlanEndDate datetime NULL,
  PlanEndTag int NULL,
  DayControlType int NULL,
  MealSectionCode int NULL,
  TimeID int NULL,
  UsePlan int NULL,
  SuiteBarCode varchar(30) NULL,
  PromID varchar(8) NULL,
  QuickUse int NULL,
  PrintTogether int NULL,
  MenuSuiteAlias varchar(20) NULL,
  AllShare int NULL,
  ZoneInfo varchar(max) NULL,
  PRIMARY KEY (BrandID, msCode)
);

CREATE TABLE Group_MenuSuiteSub (
  BrandID varchar(8) NULL,
  msCode varchar(2) NULL,
  ItemCode varchar(5) NULL,
  ItemPrice float NULL,
  Qty float NULL,
  Standard varchar(10) NULL,
  Selected int NULL,
  GroupID varchar(4) NULL,
  GroupName varchar(10) NULL
);

CREATE TABLE Group_MenuSuiteHotelID (
  BrandID varchar(8) NULL,
  msCode varchar(2) NULL,
  HotelID varchar(20) NULL
);

-- Time plans and price plans of a brand.
-- Time plans: dated promotions, for all branch restaurants of the brand
-- (AllShare 1) or the listed ones; ZoneInfo lists those by zone for reading.
CREATE TABLE Group_TimePlan (
  BrandID varchar(8),
  PlanCode int,
  PlanName varchar(40) NULL,
  PlanName2 varchar(40) NULL,
  PlanName3 varchar(40) NULL,
  PromID varchar(8) NULL,
  PlanUseTag int NULL,
  PlanStartDate datetime NULL,
  PlanEndDate datetime NULL,
  PlanEndTag int NULL,
  PlanType int NULL,
  EveryOf int NULL,
  EveryDetail int NULL,
  DayControlType int NULL,
  AllShare int NULL,
  ZoneInfo varchar(max) NULL,
  PRIMARY KEY (BrandID, PlanCode)
);

-- The shifts or time sections a plan is confined to.
CREATE TABLE Group_TimePlanConfine (
  BrandID varchar(8) NULL,
  PlanCode int NULL,
  MealSectionCode int NULL,
  TimeID int NULL
);

-- The branch restaurants a plan applies to.
CREATE TABLE Group_TimePlanHotelID (
  BrandID varchar(8) NULL,
  PlanCode int NULL,
  HotelID varchar(20) NULL
);

-- Special prices of a plan for the five standards of a dish; MaxQty 0 is no limit.
CREATE TABLE Group_PricePlan (
  BrandID varchar(8) NULL,
  PlanCode int NULL,
  MenuItemCode varchar(10) NULL,
  NewPrice float NULL,
  NewPrice2 float NULL,
  NewPrice3 float NULL,
  NewPrice4 float NULL,
  NewPrice5 float NULL,
  MaxQty float NULL
);

-- Store items: the chain's item families and types, shared by all brands
-- (stock items are Group_StoreItem above); each brand keeps its own
-- accounting subjects of a type.
CREATE TABLE Group_StoreFamily (
  fCode varchar(10) PRIMARY KEY,
  fName varchar(50) NULL
);

CREATE TABLE Group_StoreType (
  tCode varchar(10) PRIMARY KEY,
  fCode varchar(10) NULL,
  tName varchar(50) NULL,
  tName2 varchar(50) NULL,
  tName3 varchar(50) NULL,
  Deleted int NULL DEFAULT 0
);

CREATE TABLE Group_StoreType_Subject (
  tCode varchar(10),
  BrandID varchar(8),
  SubjectCode54 varchar(10) NULL,
  SubjectCode12 varchar(10) NULL,
  SubjectCode51 varchar(10) NULL,
  PRIMARY KEY (tCode, BrandID)
);

-- Cost cards of a brand; MenuItemCode is the dish code followed by the
-- standard's number (1 to 5), StoreItemCode a stock item of the chain.
CREATE TABLE Group_CostCard (
  BrandID varchar(8) NULL,
  MenuItemCode varchar(6) NULL,
  StoreItemCode varchar(30) NULL,
  CostQty float NULL,
  CostRate float NULL,
  AutoTag int NULL
);
