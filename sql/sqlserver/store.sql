-- Store database schema for SQL Server (T-SQL), the same tables and columns
-- as the embedded engine's sql/store.sql. Text columns are varchar sized as
-- the statements' parameters (bytes of code page 936), so the database wants
-- a Chinese case-insensitive collation such as Chinese_PRC_CI_AS: names and
-- codes compare ignoring letter case. Run it in an empty database, e.g. with
--   setupxfer init-db --print-ddl sqlserver --edition store | sqlcmd -d DB -I -b
-- Statements end with ";", and "GO" ends a batch where T-SQL needs one.

CREATE TABLE Version (
  VersionNo varchar(20) NULL
);
INSERT INTO Version (VersionNo) VALUES ('2.5.2011.1N');

-- The chain's control flags, distributed to every store: 1 means the data of
-- that kind is maintained by the headquarters only.
CREATE TABLE Group_Brand (
  BrandID varchar(8) NULL,
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

-- Reason lists picked by the staff.
CREATE TABLE BackReason (
  BackReasonDesc varchar(250) NULL
);

CREATE TABLE GiftReason (
  GiftReasonDesc varchar(250) NULL
);

CREATE TABLE RepriceReason (
  RepriceReasonDesc varchar(250) NULL
);

-- Menu types (dish categories). Remark holds the guest requests, one per line.
CREATE TABLE MenuType (
  MenuTypeCode varchar(2) PRIMARY KEY,
  MenuTypeName varchar(40) NULL,
  MenuTypeEName varchar(40) NULL,
  MenuTypeEName2 varchar(40) NULL,
  MenuTypeAlias varchar(20) NULL,
  SubjectCode varchar(10) NULL,
  DeptCode varchar(2) NULL,
  ServiceRate int NULL,
  UnDiscountTag int NULL,
  IsDrink int NULL,
  Deleted int NULL,
  Remark varchar(max) NULL
);

-- Menu items (dishes) with up to five standards (portion sizes) and their
-- prices. Only items with DishStatus 1 and Deleted 0 are live.
CREATE TABLE MenuItem (
  MenuItemCode varchar(5) PRIMARY KEY,
  MenuItemCName varchar(50) NULL,
  MenuItemEName varchar(50) NULL,
  MenuItemEName2 varchar(50) NULL,
  MenuTypeCode varchar(2) NULL,
  Standard varchar(10) NULL,
  MenuItemPrice float NULL,
  MemberPrice float NULL,
  CostPrice float NULL,
  Standard2 varchar(10) NULL,
  MenuItemPrice2 float NULL,
  MemberPrice2 float NULL,
  CostPrice2 float NULL,
  Standard3 varchar(10) NULL,
  MenuItemPrice3 float NULL,
  MemberPrice3 float NULL,
  CostPrice3 float NULL,
  Standard4 varchar(10) NULL,
  MenuItemPrice4 float NULL,
  MemberPrice4 float NULL,
  CostPrice4 float NULL,
  Standard5 varchar(10) NULL,
  MenuItemPrice5 float NULL,
  MemberPrice5 float NULL,
  CostPrice5 float NULL,
  Mask int NULL,
  HelpCode varchar(10) NULL,
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
  HopeRate float NULL,
  HopeRate2 float NULL,
  HopeRate3 float NULL,
  HopeRate4 float NULL,
  HopeRate5 float NULL,
  PhotoTag int NULL,
  DishStatus int NULL,
  Deleted int NULL,
  Remark varchar(max) NULL
);

-- Staff members. Rights, Rights2 and Rights3 are the role masks; Password
-- holds the host's digest; GiftRoleID links to the gift dish roles.
CREATE TABLE HotelUser (
  UserID varchar(4) PRIMARY KEY,
  UserName varchar(10) NULL,
  DeptCode varchar(2) NULL,
  Password varchar(24) NULL,
  Rights int NULL,
  Rights2 int NULL,
  Rights3 int NULL,
  Sex int NULL,
  Phone varchar(250) NULL,
  CardTypeList varchar(max) NULL,
  OrderLimitAmt float NULL,
  MaxPreDiscount float NULL,
  Deleted int NULL,
  PassNo varchar(30) NULL,
  GiftRoleID int NULL
);

GO
-- The users as the host application presents them for reading.
CREATE VIEW HotelUser_V AS
  SELECT UserID, UserName, DeptCode, PassNo, GiftRoleID, Deleted FROM HotelUser;
GO

-- Stock items.
CREATE TABLE S_Item (
  ItemCode varchar(30) PRIMARY KEY,
  ItemName varchar(100) NULL,
  TypeCode varchar(10) NULL,
  StoreUnit varchar(20) NULL,
  StoreRate int NULL,
  CalcUnit varchar(20) NULL,
  CalcRate int NULL,
  Org_StoreUnit varchar(20) NULL,
  Org_Rate float NULL,
  HelpCode varchar(20) NULL,
  MaxQty float NULL,
  MinQty float NULL,
  Add_StoreUnit varchar(8) NULL,
  MaxPrice float NULL,
  BarCode varchar(30) NULL,
  Deleted int NULL
);

-- Accounting subjects; class 1 are first-level subjects, class 2 the payment
-- subjects under them. PayTag 0 means a settlement subject.
CREATE TABLE Subject (
  SubjectCode varchar(10) PRIMARY KEY,
  SubjectName varchar(60) NULL,
  SubjectEName varchar(60) NULL,
  SubjectEName2 varchar(60) NULL,
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
  Remark varchar(max) NULL
);

-- First-level departments; IsProduct 1 marks production departments.
CREATE TABLE Dept (
  DeptCode varchar(2) PRIMARY KEY,
  DeptName varchar(250) NULL,
  IsProduct int NULL,
  Rights int NULL,
  Rights2 int NULL,
  Rights3 int NULL
);

-- Discount types.
CREATE TABLE CardType (
  CardTypeCode varchar(4) PRIMARY KEY,
  CardTypeName varchar(10) NULL,
  CardTypeEName varchar(60) NULL,
  CardTypeEName2 varchar(60) NULL,
  AllowJifen int NULL
);

-- Storehouses.
CREATE TABLE S_Store (
  StoreCode int PRIMARY KEY,
  StoreName varchar(50) NULL
);

-- Time sections of the day, times stored as "HH:NN" or a date-time text.
CREATE TABLE TimeSection (
  TimeID int PRIMARY KEY,
  StartTime datetime NULL,
  EndTime datetime NULL
);

-- Meal sections (shifts).
CREATE TABLE MealSection (
  MealSectionCode int PRIMARY KEY,
  MealSectionName varchar(10) NULL,
  Deleted int NULL,
  StartTime datetime NULL,
  EndTime datetime NULL
);

-- Discount types: the discount lines of each discount type (CardType), one
-- per menu type or set meal. Excludes lists the exception dishes, one per
-- line (CR LF), each a dish code with "@" and its own percentage when it has one.
CREATE TABLE DiscountSuite (
  CardTypeCode varchar(4) NULL,
  MenuTypeCode varchar(2) NULL,
  Discount int NULL,
  Excludes varchar(max) NULL,
  MenuSuiteNo varchar(2) NULL
);

-- Departments and users: second-level departments under the first-level ones
-- (Dept). StoreTag 1 marks a department that keeps stock, issuing from the
-- storehouse StoreCode for the department AutoSaleDept2Code; the rights
-- columns hold the rights a new user of the department starts with.
CREATE TABLE Dept2 (
  Dept2Code varchar(4) PRIMARY KEY,
  DeptCode varchar(2) NULL,
  Dept2Name varchar(250) NULL,
  Dept2Alias varchar(30) NULL,
  StoreCode int NULL,
  StoreTag int NULL,
  AutoSaleDept2Code varchar(4) NULL,
  Rights int NULL,
  Rights2 int NULL,
  Rights3 int NULL
);

-- Remarks: the public guest requests, one text of request lines.
CREATE TABLE GuestNeeds (
  ID int PRIMARY KEY,
  Needs varchar(max) NULL
);

-- Set meals: a set meal, its dishes arranged in groups, its time plan.
CREATE TABLE MenuSuite (
  MenuSuiteNo varchar(2) PRIMARY KEY,
  MenuSuiteName varchar(20) NULL,
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
  SaleOutByHand int NULL
);

CREATE TABLE MenuSuiteSub (
  MenuSuiteNo varchar(2) NULL,
  MenuItemCode varchar(5) NULL,
  MenuItemPrice float NULL,
  Qty float NULL,
  Standard varchar(10) NULL,
  Selected int NULL,
  GroupID varchar(4) NULL,
  GroupName varchar(10) NULL
);

-- Time plans and price plans.
-- Time plans: dated promotions. DayControlType 0 the whole day, 1 the listed
-- meal sections, 2 the listed time sections; PlanEndDate counts only with PlanEndTag 1.
CREATE TABLE TimePlan (
  PlanCode int PRIMARY KEY,
  PlanName varchar(40) NULL,
  PromID varchar(8) NULL,
  PlanUseTag int NULL,
  PlanStartDate datetime NULL,
  PlanEndDate datetime NULL,
  PlanEndTag int NULL,
  PlanType int NULL,
  EveryOf int NULL,
  EveryDetail int NULL,
  DayControlType int NULL
);

-- The meal sections or time sections a plan is confined to.
CREATE TABLE TimePlanConfine (
  PlanCode int NULL,
  MealSectionCode int NULL,
  TimeID int NULL
);

-- Special prices of a plan for the five standards of a dish; MaxQty 0 is no limit.
CREATE TABLE PricePlan (
  PlanCode int NULL,
  MenuItemCode varchar(5) NULL,
  NewPrice float NULL,
  NewPrice2 float NULL,
  NewPrice3 float NULL,
  NewPrice4 float NULL,
  NewPrice5 float NULL,
  MaxQty float NULL
);

-- Store items: the stock item types (stock items are S_Item above).
CREATE TABLE S_ItemType (
  TypeCode varchar(10) PRIMARY KEY,
  TypeName varchar(50) NULL,
  SubjectCode51 varchar(10) NULL,
  SubjectCode54 varchar(10) NULL,
  SubjectCode12 varchar(10) NULL,
  Deleted int NULL DEFAULT 0
);

-- Cost cards: the stock items one standard of a dish consumes. CostCardNo is
-- the dish code followed by the standard's number (1 to 5).
CREATE TABLE CostCard (
  CostCardNo varchar(6) NULL,
  ItemCode varchar(30) NULL,
  CostQty float NULL,
  CostRate float NULL,
  AutoTag int NULL
);

-- Rooms and tables: the dining rooms, the menu types each room may serve and
-- the tables in each room. LowestPay, LowestPayType and ExcludeDishs hold a
-- table's minimum charge (type 0 fixed, 1 per guest, 2 by time section;
-- ExcludeDishs: menu item codes, each followed by CR LF).
CREATE TABLE Room (
  RoomNo varchar(4) PRIMARY KEY,
  RoomName varchar(10) NULL,
  ServiceRate float NULL,
  RoomServTag int NULL,
  RoomDrinkTag int NULL,
  OrderNo int NULL,
  NoServiceFee int NULL,
  Deleted int NULL
);

CREATE TABLE RoomMenuType (
  RoomNo varchar(4) NULL,
  MenuTypeCode varchar(2) NULL
);

CREATE TABLE HotelTable (
  TableNo varchar(4) PRIMARY KEY,
  RoomNo varchar(4) NULL,
  BillNo varchar(20) NULL,
  TableStatus int NULL,
  SeatQty int NULL,
  OnePrice float NULL,
  CanOnePrice int NULL,
  QuickUse int NULL,
  OrderNo int NULL,
  TableAlias varchar(20) NULL,
  UsePinTai int NULL,
  OutUse int NULL,
  Remark varchar(250) NULL,
  Deleted int NULL,
  LowestPay float NULL,
  LowestPayType int NULL,
  ExcludeDishs varchar(max) NULL
);

-- Minimum charges: the amounts of a time-section table for the time sections
-- after the normal one (the table's own LowestPay).
CREATE TABLE LowestPayTimePlan (
  TableNo varchar(4) NULL,
  TimeID int NULL,
  LowestPay float NULL
);

-- Gift dish control: gift roles, their packages (ceilings over a period) and
-- the packages' contents. The database numbers them itself and never reuses
-- a number. HotelUser.GiftRoleID assigns a user's role.
CREATE TABLE GiftDishRole (
  ID int identity(1,1) PRIMARY KEY,
  RoleName varchar(250) NULL,
  OnlyReserverTable int NULL
);

CREATE TABLE GiftDishPackge (
  ID int identity(1,1) PRIMARY KEY,
  RoleID int NULL,
  PackgeName varchar(250) NULL,
  QtyConfine float NULL,
  AmountConfine float NULL,
  ResetInterval int NULL,
  ControlType int NULL
);

CREATE TABLE GiftDishRoleItem (
  ID int identity(1,1) PRIMARY KEY,
  PackgeID int NULL,
  RoleID int NULL,
  MenuTypeCode varchar(2) NULL,
  MenuItemCode varchar(5) NULL
);
