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
