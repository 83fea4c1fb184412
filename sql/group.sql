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
