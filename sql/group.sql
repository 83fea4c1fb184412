-- Group (chain headquarters) database schema for the embedded engine.
-- Text columns compare ignoring letter case, as the host server's collation does.

CREATE TABLE Group_Version (
  VersionNo TEXT COLLATE NOCASE
);
INSERT INTO Group_Version (VersionNo) VALUES ('2.5.2011.1G');

CREATE TABLE Group_Brand (
  BrandID TEXT COLLATE NOCASE PRIMARY KEY,
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

-- When each kind of data last changed, per brand; stores download what is newer.
CREATE TABLE Group_DownloadVersion (
  BrandID TEXT COLLATE NOCASE PRIMARY KEY,
  MenuSuiteVersion TEXT,
  DiscountVersion TEXT,
  SubjectVersion TEXT,
  PriceSchemaVersion TEXT,
  MaterialVersion TEXT,
  CostCardVersion TEXT,
  MenuVersion TEXT,
  BackReasonVersion TEXT,
  GiftReasonVersion TEXT,
  RepriceReasonVersion TEXT,
  DeptVersion TEXT,
  ShiftVersion TEXT,
  TimeSectionVersion TEXT
);

-- Reason lists, per brand.
CREATE TABLE Group_BackReason (BrandID TEXT COLLATE NOCASE, BackReasonDesc TEXT COLLATE NOCASE);
CREATE TABLE Group_GiftReason (BrandID TEXT COLLATE NOCASE, GiftReasonDesc TEXT COLLATE NOCASE);
CREATE TABLE Group_RepriceReason (BrandID TEXT COLLATE NOCASE, RepriceReasonDesc TEXT COLLATE NOCASE);

-- Reference tables read by the imports' lookups and written by their own kinds.
-- Rows belong to a brand (BrandID) unless the table is shared by the chain.

-- Branch restaurants of the brands, grouped into zones. UseTag 1 marks a
-- branch in use; UserVersion is stamped when its users change.
CREATE TABLE Group_Zone (
  ZoneID INTEGER PRIMARY KEY,
  ZoneName TEXT COLLATE NOCASE
);

CREATE TABLE Group_Hotel (
  HotelID TEXT COLLATE NOCASE PRIMARY KEY,
  HotelName TEXT COLLATE NOCASE,
  BrandID TEXT COLLATE NOCASE,
  ZoneID INTEGER,
  UseTag INTEGER,
  HotelTag INTEGER,
  UserVersion TEXT
);

-- Menu types of a brand. Remark holds the guest requests, one per line.
CREATE TABLE Group_MenuType (
  BrandID TEXT COLLATE NOCASE,
  tCode TEXT COLLATE NOCASE,
  tName TEXT COLLATE NOCASE,
  tName2 TEXT COLLATE NOCASE,
  tName3 TEXT COLLATE NOCASE,
  MenuTypeAlias TEXT COLLATE NOCASE,
  SubjectCode TEXT COLLATE NOCASE,
  DeptCode TEXT COLLATE NOCASE,
  ServiceRate INTEGER,
  UnDiscountTag INTEGER,
  IsDrink INTEGER,
  Deleted INTEGER,
  Remark TEXT COLLATE NOCASE,
  PRIMARY KEY (BrandID, tCode)
);

-- Menu items of a brand with up to five standards and their prices. Only
-- items with DishStatus 1 and Deleted 0 are live.
CREATE TABLE Group_MenuItem (
  BrandID TEXT COLLATE NOCASE,
  ItemCode TEXT COLLATE NOCASE,
  ItemName TEXT COLLATE NOCASE,
  ItemName2 TEXT COLLATE NOCASE,
  ItemName3 TEXT COLLATE NOCASE,
  tCode TEXT COLLATE NOCASE,
  Standard TEXT COLLATE NOCASE,
  ItemPrice REAL,
  MemberPrice REAL,
  CostPrice REAL,
  Standard2 TEXT COLLATE NOCASE,
  ItemPrice2 REAL,
  MemberPrice2 REAL,
  CostPrice2 REAL,
  Standard3 TEXT COLLATE NOCASE,
  ItemPrice3 REAL,
  MemberPrice3 REAL,
  CostPrice3 REAL,
  Standard4 TEXT COLLATE NOCASE,
  ItemPrice4 REAL,
  MemberPrice4 REAL,
  CostPrice4 REAL,
  Standard5 TEXT COLLATE NOCASE,
  ItemPrice5 REAL,
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
  UseDate TEXT,
  HopeRate REAL,
  HopeRate2 REAL,
  HopeRate3 REAL,
  HopeRate4 REAL,
  HopeRate5 REAL,
  DishStatus INTEGER,
  Deleted INTEGER,
  Remark TEXT COLLATE NOCASE,
  PRIMARY KEY (BrandID, ItemCode)
);

-- Staff members, one row per person keyed by the identity document number
-- (PassNo) and assigned to a branch restaurant.
CREATE TABLE Group_Hotel_User (
  PassNo TEXT COLLATE NOCASE,
  UserID TEXT COLLATE NOCASE,
  UserName TEXT COLLATE NOCASE,
  HotelID TEXT COLLATE NOCASE,
  DeptCode TEXT COLLATE NOCASE,
  Password TEXT,
  Rights INTEGER,
  Rights2 INTEGER,
  Rights3 INTEGER,
  Sex INTEGER,
  Phone TEXT COLLATE NOCASE,
  CardTypeList TEXT COLLATE NOCASE,
  MaxPreDiscount REAL,
  Deleted INTEGER
);

-- The chain's stock catalogue, shared by all brands.
CREATE TABLE Group_StoreItem (
  ItemCode TEXT COLLATE NOCASE PRIMARY KEY,
  ItemName TEXT COLLATE NOCASE,
  ItemName2 TEXT COLLATE NOCASE,
  ItemName3 TEXT COLLATE NOCASE,
  fCode TEXT COLLATE NOCASE,
  tCode TEXT COLLATE NOCASE,
  StoreUnit TEXT COLLATE NOCASE,
  StoreRate INTEGER,
  CalcUnit TEXT COLLATE NOCASE,
  CalcRate INTEGER,
  Org_Unit TEXT COLLATE NOCASE,
  Org_Rate REAL,
  HelpCode TEXT COLLATE NOCASE,
  MaxQty REAL,
  MinQty REAL,
  Add_StoreUnit TEXT COLLATE NOCASE,
  MaxPrice REAL,
  BarCode TEXT COLLATE NOCASE,
  Deleted INTEGER
);

-- Accounting subjects of a brand; class 2 are the payment subjects.
CREATE TABLE Group_Subject (
  BrandID TEXT COLLATE NOCASE,
  SubjectCode TEXT COLLATE NOCASE,
  SubjectName TEXT COLLATE NOCASE,
  SubjectName2 TEXT COLLATE NOCASE,
  SubjectName3 TEXT COLLATE NOCASE,
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
  Remark TEXT COLLATE NOCASE,
  PRIMARY KEY (BrandID, SubjectCode)
);

-- First-level departments of a brand; IsProduct 1 marks production departments.
CREATE TABLE Group_Hotel_Dept (
  BrandID TEXT COLLATE NOCASE,
  DeptCode TEXT COLLATE NOCASE,
  DeptName TEXT COLLATE NOCASE,
  IsProduct INTEGER,
  PRIMARY KEY (BrandID, DeptCode)
);

-- Discount types, shared by all brands.
CREATE TABLE CardType (
  CardTypeCode TEXT COLLATE NOCASE PRIMARY KEY,
  CardTypeName TEXT COLLATE NOCASE,
  CardTypeName2 TEXT COLLATE NOCASE,
  CardTypeName3 TEXT COLLATE NOCASE,
  AllowJifen INTEGER
);

-- Storehouses.
CREATE TABLE S_Store (
  StoreCode INTEGER PRIMARY KEY,
  StoreName TEXT COLLATE NOCASE
);

-- Time sections of a brand.
CREATE TABLE Group_TimeSection (
  BrandID TEXT COLLATE NOCASE,
  TimeID INTEGER,
  StartTime TEXT,
  EndTime TEXT,
  PRIMARY KEY (BrandID, TimeID)
);

-- Shifts (meal sections) of a brand.
CREATE TABLE Group_Shift (
  BrandID TEXT COLLATE NOCASE,
  ShiftCode INTEGER,
  ShiftName TEXT COLLATE NOCASE,
  Deleted INTEGER,
  StartTime TEXT,
  EndTime TEXT,
  PRIMARY KEY (BrandID, ShiftCode)
);

-- Discount types: the brands' discount lines of the shared discount types
-- (CardType); Excludes as in the store database.
CREATE TABLE CardTypeItems (
  BrandID TEXT COLLATE NOCASE,
  CardTypeCode TEXT COLLATE NOCASE,
  MenuTypeCode TEXT COLLATE NOCASE,
  Discount INTEGER,
  Excludes TEXT,
  MenuSuiteNo TEXT COLLATE NOCASE
);
-- Remarks: the public guest requests of a brand, one text of request lines;
-- ID numbers the rows as they are added.
CREATE TABLE Group_GuestNeeds (
  ID INTEGER PRIMARY KEY,
  BrandID TEXT COLLATE NOCASE,
  Needs TEXT COLLATE NOCASE
);

-- Set meals of a brand, their dishes and the branches they are limited to.
-- ZoneInfo lists those branches by zone, for display.
CREATE TABLE Group_MenuSuite (
  BrandID TEXT COLLATE NOCASE,
  msCode TEXT COLLATE NOCASE,
  msName TEXT COLLATE NOCASE,
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
  AllShare INTEGER,
  ZoneInfo TEXT,
  PRIMARY KEY (BrandID, msCode)
);

CREATE TABLE Group_MenuSuiteSub (
  BrandID TEXT COLLATE NOCASE,
  msCode TEXT COLLATE NOCASE,
  ItemCode TEXT COLLATE NOCASE,
  ItemPrice REAL,
  Qty REAL,
  Standard TEXT COLLATE NOCASE,
  Selected INTEGER,
  GroupID TEXT COLLATE NOCASE,
  GroupName TEXT COLLATE NOCASE
);

CREATE TABLE Group_MenuSuiteHotelID (
  BrandID TEXT COLLATE NOCASE,
  msCode TEXT COLLATE NOCASE,
  HotelID TEXT COLLATE NOCASE
);

-- Time plans and price plans of a brand.
-- Time plans: dated promotions, for all branch restaurants of the brand
-- (AllShare 1) or the listed ones; ZoneInfo lists those by zone for reading.
CREATE TABLE Group_TimePlan (
  BrandID TEXT COLLATE NOCASE,
  PlanCode INTEGER,
  PlanName TEXT COLLATE NOCASE,
  PlanName2 TEXT COLLATE NOCASE,
  PlanName3 TEXT COLLATE NOCASE,
  PromID TEXT COLLATE NOCASE,
  PlanUseTag INTEGER,
  PlanStartDate TEXT,
  PlanEndDate TEXT,
  PlanEndTag INTEGER,
  PlanType INTEGER,
  EveryOf INTEGER,
  EveryDetail INTEGER,
  DayControlType INTEGER,
  AllShare INTEGER,
  ZoneInfo TEXT COLLATE NOCASE,
  PRIMARY KEY (BrandID, PlanCode)
);

-- The shifts or time sections a plan is confined to.
CREATE TABLE Group_TimePlanConfine (
  BrandID TEXT COLLATE NOCASE,
  PlanCode INTEGER,
  MealSectionCode INTEGER,
  TimeID INTEGER
);

-- The branch restaurants a plan applies to.
CREATE TABLE Group_TimePlanHotelID (
  BrandID TEXT COLLATE NOCASE,
  PlanCode INTEGER,
  HotelID TEXT COLLATE NOCASE
);

-- Special prices of a plan for the five standards of a dish; MaxQty 0 is no limit.
CREATE TABLE Group_PricePlan (
  BrandID TEXT COLLATE NOCASE,
  PlanCode INTEGER,
  MenuItemCode TEXT COLLATE NOCASE,
  NewPrice REAL,
  NewPrice2 REAL,
  NewPrice3 REAL,
  NewPrice4 REAL,
  NewPrice5 REAL,
  MaxQty REAL
);

-- Store items: the chain's item families and types, shared by all brands
-- (stock items are Group_StoreItem above); each brand keeps its own
-- accounting subjects of a type.
CREATE TABLE Group_StoreFamily (
  fCode TEXT COLLATE NOCASE PRIMARY KEY,
  fName TEXT COLLATE NOCASE
);

CREATE TABLE Group_StoreType (
  tCode TEXT COLLATE NOCASE PRIMARY KEY,
  fCode TEXT COLLATE NOCASE,
  tName TEXT COLLATE NOCASE,
  tName2 TEXT COLLATE NOCASE,
  tName3 TEXT COLLATE NOCASE,
  Deleted INTEGER DEFAULT 0
);

CREATE TABLE Group_StoreType_Subject (
  tCode TEXT COLLATE NOCASE,
  BrandID TEXT COLLATE NOCASE,
  SubjectCode54 TEXT COLLATE NOCASE,
  SubjectCode12 TEXT COLLATE NOCASE,
  SubjectCode51 TEXT COLLATE NOCASE,
  PRIMARY KEY (tCode, BrandID)
);

-- Cost cards of a brand; MenuItemCode is the dish code followed by the
-- standard's number (1 to 5), StoreItemCode a stock item of the chain.
CREATE TABLE Group_CostCard (
  BrandID TEXT COLLATE NOCASE,
  MenuItemCode TEXT COLLATE NOCASE,
  StoreItemCode TEXT COLLATE NOCASE,
  CostQty REAL,
  CostRate REAL,
  AutoTag INTEGER
);
