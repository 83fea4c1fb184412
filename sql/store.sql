-- Store database schema for the embedded engine.
-- Text columns compare ignoring letter case, as the host server's collation does.

CREATE TABLE Version (
  VersionNo TEXT COLLATE NOCASE
);
INSERT INTO Version (VersionNo) VALUES ('2.5.2011.1N');

-- The chain's control flags, distributed to every store: 1 means the data of
-- that kind is maintained by the headquarters only.
CREATE TABLE Group_Brand (
  BrandID TEXT COLLATE NOCASE,
  BrandName TEXT COLLATE NOCASE,
  ControlMenuSuite INTEGER,
  ControlDiscount INTEGER,
  ControlSubject INTEGER,
  ControlPriceSchema INTEGER,
  ControlMaterial INTEGER,
  ControlCostCard INTEGER,
  ControlMenu INTEGER,
  ControlDept INTEGER,
  ControlUser INTEGER,
  ControlShift INTEGER,
  ControlTimeSection INTEGER
);

-- Reason lists picked by the staff.
CREATE TABLE BackReason (BackReasonDesc TEXT COLLATE NOCASE);
CREATE TABLE GiftReason (GiftReasonDesc TEXT COLLATE NOCASE);
CREATE TABLE RepriceReason (RepriceReasonDesc TEXT COLLATE NOCASE);

-- Reference tables read by the imports' lookups and written by their own kinds.

-- Menu types (dish categories). Remark holds the guest requests, one per line.
CREATE TABLE MenuType (
  MenuTypeCode TEXT COLLATE NOCASE PRIMARY KEY,
  MenuTypeName TEXT COLLATE NOCASE,
  MenuTypeEName TEXT COLLATE NOCASE,
  MenuTypeEName2 TEXT COLLATE NOCASE,
  MenuTypeAlias TEXT COLLATE NOCASE,
  SubjectCode TEXT COLLATE NOCASE,
  DeptCode TEXT COLLATE NOCASE,
  ServiceRate INTEGER,
  UnDiscountTag INTEGER,
  IsDrink INTEGER,
  Deleted INTEGER,
  Remark TEXT COLLATE NOCASE
);

-- Menu items (dishes) with up to five standards (portion sizes) and their
-- prices. Only items with DishStatus 1 and Deleted 0 are live.
CREATE TABLE MenuItem (
  MenuItemCode TEXT COLLATE NOCASE PRIMARY KEY,
  MenuItemCName TEXT COLLATE NOCASE,
  MenuItemEName TEXT COLLATE NOCASE,
  MenuItemEName2 TEXT COLLATE NOCASE,
  MenuTypeCode TEXT COLLATE NOCASE,
  Standard TEXT COLLATE NOCASE,
  MenuItemPrice REAL,
  MemberPrice REAL,
  CostPrice REAL,
  Standard2 TEXT COLLATE NOCASE,
  MenuItemPrice2 REAL,
  MemberPrice2 REAL,
  CostPrice2 REAL,
  Standard3 TEXT COLLATE NOCASE,
  MenuItemPrice3 REAL,
  MemberPrice3 REAL,
  CostPrice3 REAL,
  Standard4 TEXT COLLATE NOCASE,
  MenuItemPrice4 REAL,
  MemberPrice4 REAL,
  CostPrice4 REAL,
  Standard5 TEXT COLLATE NOCASE,
  MenuItemPrice5 REAL,
  MemberPrice5 REAL,
  CostPrice5 REAL,
  Mask INTEGER,
  HelpCode TEXT COLLATE NOCASE,
  MessageTag INTEGER,
  TimePriceTag INTEGER,
  QtyNotSureTag INTEGER,
  TimeTag INTEGER,
  NeedSaleOut INTEGER,
  CanChangeNamePrice INTEGER,
  AddStandard TEXT COLLATE NOCASE,
  CanBonusPay INTEGER,
  AskQty INTEGER,
  AskMemo INTEGER,
  AskScanQty INTEGER,
  MakeTime INTEGER,
  CannotGift INTEGER,
  CanBackWORight INTEGER,
  BarCode TEXT COLLATE NOCASE,
  NeedMaker INTEGER,
  DeptCode TEXT COLLATE NOCASE,
  CanRemark INTEGER,
  QtyConfine INTEGER,
  DefaultMemo TEXT COLLATE NOCASE,
  TaxRate REAL,
  HopeRate REAL,
  HopeRate2 REAL,
  HopeRate3 REAL,
  HopeRate4 REAL,
  HopeRate5 REAL,
  PhotoTag INTEGER,
  DishStatus INTEGER,
  Deleted INTEGER,
  Remark TEXT COLLATE NOCASE
);

-- Staff members. Rights, Rights2 and Rights3 are the role masks; Password
-- holds the host's digest; GiftRoleID links to the gift dish roles.
CREATE TABLE HotelUser (
  UserID TEXT COLLATE NOCASE PRIMARY KEY,
  UserName TEXT COLLATE NOCASE,
  DeptCode TEXT COLLATE NOCASE,
  Password TEXT,
  Rights INTEGER,
  Rights2 INTEGER,
  Rights3 INTEGER,
  Sex INTEGER,
  Phone TEXT COLLATE NOCASE,
  CardTypeList TEXT COLLATE NOCASE,
  OrderLimitAmt REAL,
  MaxPreDiscount REAL,
  Deleted INTEGER,
  PassNo TEXT COLLATE NOCASE,
  GiftRoleID INTEGER
);

-- The users as the host application presents them for reading.
CREATE VIEW HotelUser_V AS
  SELECT UserID, UserName, DeptCode, PassNo, GiftRoleID, Deleted FROM HotelUser;

-- Stock items.
CREATE TABLE S_Item (
  ItemCode TEXT COLLATE NOCASE PRIMARY KEY,
  ItemName TEXT COLLATE NOCASE,
  TypeCode TEXT COLLATE NOCASE,
  StoreUnit TEXT COLLATE NOCASE,
  StoreRate INTEGER,
  CalcUnit TEXT COLLATE NOCASE,
  CalcRate INTEGER,
  Org_StoreUnit TEXT COLLATE NOCASE,
  Org_Rate REAL,
  HelpCode TEXT COLLATE NOCASE,
  MaxQty REAL,
  MinQty REAL,
  Add_StoreUnit TEXT COLLATE NOCASE,
  MaxPrice REAL,
  BarCode TEXT COLLATE NOCASE,
  Deleted INTEGER
);

-- Accounting subjects; class 1 are first-level subjects, class 2 the payment
-- subjects under them. PayTag 0 means a settlement subject.
CREATE TABLE Subject (
  SubjectCode TEXT COLLATE NOCASE PRIMARY KEY,
  SubjectName TEXT COLLATE NOCASE,
  SubjectEName TEXT COLLATE NOCASE,
  SubjectEName2 TEXT COLLATE NOCASE,
  SubjectClass INTEGER,
  SubjectType INTEGER,
  PayTag INTEGER,
  PayMemoTag INTEGER,
  NoChange INTEGER,
  PayVisible INTEGER,
  QuickUse INTEGER,
  CanInvoice INTEGER,
  BillCost REAL,
  UseAmount REAL,
  Company TEXT COLLATE NOCASE,
  PostCode TEXT COLLATE NOCASE,
  Address TEXT COLLATE NOCASE,
  Tele TEXT COLLATE NOCASE,
  Fax TEXT COLLATE NOCASE,
  Contact TEXT COLLATE NOCASE,
  Mobile TEXT COLLATE NOCASE,
  CreditLimit REAL,
  Remark TEXT COLLATE NOCASE
);

-- First-level departments; IsProduct 1 marks production departments.
CREATE TABLE Dept (
  DeptCode TEXT COLLATE NOCASE PRIMARY KEY,
  DeptName TEXT COLLATE NOCASE,
  IsProduct INTEGER,
  Rights INTEGER,
  Rights2 INTEGER,
  Rights3 INTEGER
);

-- Discount types.
CREATE TABLE CardType (
  CardTypeCode TEXT COLLATE NOCASE PRIMARY KEY,
  CardTypeName TEXT COLLATE NOCASE,
  CardTypeEName TEXT COLLATE NOCASE,
  CardTypeEName2 TEXT COLLATE NOCASE,
  AllowJifen INTEGER
);

-- Storehouses.
CREATE TABLE S_Store (
  StoreCode INTEGER PRIMARY KEY,
  StoreName TEXT COLLATE NOCASE
);

-- Time sections of the day, times stored as "HH:NN" or a date-time text.
CREATE TABLE TimeSection (
  TimeID INTEGER PRIMARY KEY,
  StartTime TEXT,
  EndTime TEXT
);

-- Meal sections (shifts).
CREATE TABLE MealSection (
  MealSectionCode INTEGER PRIMARY KEY,
  MealSectionName TEXT COLLATE NOCASE,
  Deleted INTEGER,
  StartTime TEXT,
  EndTime TEXT
);

-- Discount types: the discount lines of each discount type (CardType), one
-- per menu type or set meal. Excludes lists the exception dishes, one per
-- line (CR LF), each a dish code with "@" and its own percentage when it has one.
CREATE TABLE DiscountSuite (
  CardTypeCode TEXT COLLATE NOCASE,
  MenuTypeCode TEXT COLLATE NOCASE,
  Discount INTEGER,
  Excludes TEXT,
  MenuSuiteNo TEXT COLLATE NOCASE
);
-- Departments and users: second-level departments under the first-level ones
-- (Dept). StoreTag 1 marks a department that keeps stock, issuing from the
-- storehouse StoreCode for the department AutoSaleDept2Code; the rights
-- columns hold the rights a new user of the department starts with.
CREATE TABLE Dept2 (
  Dept2Code TEXT COLLATE NOCASE PRIMARY KEY,
  DeptCode TEXT COLLATE NOCASE,
  Dept2Name TEXT COLLATE NOCASE,
  Dept2Alias TEXT COLLATE NOCASE,
  StoreCode INTEGER,
  StoreTag INTEGER,
  AutoSaleDept2Code TEXT COLLATE NOCASE,
  Rights INTEGER,
  Rights2 INTEGER,
  Rights3 INTEGER
);

-- Remarks: the public guest requests, one text of request lines.
CREATE TABLE GuestNeeds (
  ID INTEGER PRIMARY KEY,
  Needs TEXT COLLATE NOCASE
);

-- Set meals: a set meal, its dishes arranged in groups, its time plan.
CREATE TABLE MenuSuite (
  MenuSuiteNo TEXT COLLATE NOCASE PRIMARY KEY,
  MenuSuiteName TEXT COLLATE NOCASE,
  ConfineMenuSuite INTEGER,
  PlanType INTEGER,
  EveryOf INTEGER,
  EveryDetail INTEGER,
  PlanStartDate TEXT,
  PlanEndDate TEXT,
  PlanEndTag INTEGER,
  DayControlType INTEGER,
  MealSectionCode INTEGER,
  TimeID INTEGER,
  UsePlan INTEGER,
  SuiteBarCode TEXT COLLATE NOCASE,
  PromID TEXT COLLATE NOCASE,
  QuickUse INTEGER,
  PrintTogether INTEGER,
  MenuSuiteAlias TEXT COLLATE NOCASE,
  SaleOutByHand INTEGER
);

CREATE TABLE MenuSuiteSub (
  MenuSuiteNo TEXT COLLATE NOCASE,
  MenuItemCode TEXT COLLATE NOCASE,
  MenuItemPrice REAL,
  Qty REAL,
  Standard TEXT COLLATE NOCASE,
  Selected INTEGER,
  GroupID TEXT COLLATE NOCASE,
  GroupName TEXT COLLATE NOCASE
);

-- Time plans and price plans.
-- Time plans: dated promotions. DayControlType 0 the whole day, 1 the listed
-- meal sections, 2 the listed time sections; PlanEndDate counts only with PlanEndTag 1.
CREATE TABLE TimePlan (
  PlanCode INTEGER PRIMARY KEY,
  PlanName TEXT COLLATE NOCASE,
  PromID TEXT COLLATE NOCASE,
  PlanUseTag INTEGER,
  PlanStartDate TEXT,
  PlanEndDate TEXT,
  PlanEndTag INTEGER,
  PlanType INTEGER,
  EveryOf INTEGER,
  EveryDetail INTEGER,
  DayControlType INTEGER
);

-- The meal sections or time sections a plan is confined to.
CREATE TABLE TimePlanConfine (
  PlanCode INTEGER,
  MealSectionCode INTEGER,
  TimeID INTEGER
);

-- Special prices of a plan for the five standards of a dish; MaxQty 0 is no limit.
CREATE TABLE PricePlan (
  PlanCode INTEGER,
  MenuItemCode TEXT COLLATE NOCASE,
  NewPrice REAL,
  NewPrice2 REAL,
  NewPrice3 REAL,
  NewPrice4 REAL,
  NewPrice5 REAL,
  MaxQty REAL
);

-- Store items: the stock item types (stock items are S_Item above).
CREATE TABLE S_ItemType (
  TypeCode TEXT COLLATE NOCASE PRIMARY KEY,
  TypeName TEXT COLLATE NOCASE,
  SubjectCode51 TEXT COLLATE NOCASE,
  SubjectCode54 TEXT COLLATE NOCASE,
  SubjectCode12 TEXT COLLATE NOCASE,
  Deleted INTEGER DEFAULT 0
);

-- Cost cards: the stock items one standard of a dish consumes. CostCardNo is
-- the dish code followed by the standard's number (1 to 5).
CREATE TABLE CostCard (
  CostCardNo TEXT COLLATE NOCASE,
  ItemCode TEXT COLLATE NOCASE,
  CostQty REAL,
  CostRate REAL,
  AutoTag INTEGER
);

-- Rooms and tables: the dining rooms, the menu types each room may serve and
-- the tables in each room. LowestPay, LowestPayType and ExcludeDishs hold a
-- table's minimum charge (type 0 fixed, 1 per guest, 2 by time section;
-- ExcludeDishs: menu item codes, each followed by CR LF).
CREATE TABLE Room (
  RoomNo TEXT COLLATE NOCASE PRIMARY KEY,
  RoomName TEXT COLLATE NOCASE,
  ServiceRate REAL,
  RoomServTag INTEGER,
  RoomDrinkTag INTEGER,
  OrderNo INTEGER,
  NoServiceFee INTEGER,
  Deleted INTEGER
);
CREATE TABLE RoomMenuType (
  RoomNo TEXT COLLATE NOCASE,
  MenuTypeCode TEXT COLLATE NOCASE
);
CREATE TABLE HotelTable (
  TableNo TEXT COLLATE NOCASE PRIMARY KEY,
  RoomNo TEXT COLLATE NOCASE,
  BillNo TEXT COLLATE NOCASE,
  TableStatus INTEGER,
  SeatQty INTEGER,
  OnePrice REAL,
  CanOnePrice INTEGER,
  QuickUse INTEGER,
  OrderNo INTEGER,
  TableAlias TEXT COLLATE NOCASE,
  UsePinTai INTEGER,
  OutUse INTEGER,
  Remark TEXT COLLATE NOCASE,
  Deleted INTEGER,
  LowestPay REAL,
  LowestPayType INTEGER,
  ExcludeDishs TEXT COLLATE NOCASE
);

-- Minimum charges: the amounts of a time-section table for the time sections
-- after the normal one (the table's own LowestPay).
CREATE TABLE LowestPayTimePlan (
  TableNo TEXT COLLATE NOCASE,
  TimeID INTEGER,
  LowestPay REAL
);

-- Gift dish control: gift roles, their packages (ceilings over a period) and
-- the packages' contents. The database numbers them itself and never reuses
-- a number. HotelUser.GiftRoleID assigns a user's role.
CREATE TABLE GiftDishRole (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  RoleName TEXT COLLATE NOCASE,
  OnlyReserverTable INTEGER
);
CREATE TABLE GiftDishPackge (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  RoleID INTEGER,
  PackgeName TEXT COLLATE NOCASE,
  QtyConfine REAL,
  AmountConfine REAL,
  ResetInterval INTEGER,
  ControlType INTEGER
);
CREATE TABLE GiftDishRoleItem (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  PackgeID INTEGER,
  RoleID INTEGER,
  MenuTypeCode TEXT COLLATE NOCASE,
  MenuItemCode TEXT COLLATE NOCASE
);
