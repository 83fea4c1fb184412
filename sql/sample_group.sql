-- A small sample for a group database; {BRAND} stands for the brand ID.

INSERT INTO Group_BackReason(BrandID,BackReasonDesc) VALUES
  ({BRAND}, '客人不要了'), ({BRAND}, '上错菜'), ({BRAND}, '菜品质量问题');
INSERT INTO Group_GiftReason(BrandID,GiftReasonDesc) VALUES ({BRAND}, '老客户赠送'), ({BRAND}, '店庆活动');
INSERT INTO Group_RepriceReason(BrandID,RepriceReasonDesc) VALUES ({BRAND}, '时价菜'), ({BRAND}, '会员特价');
