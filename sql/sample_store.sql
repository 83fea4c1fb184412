-- A small sample for a store database: one restaurant's setup data.

INSERT INTO BackReason(BackReasonDesc) VALUES ('客人不要了'), ('上错菜'), ('菜品质量问题'), ('等待时间过长');
INSERT INTO GiftReason(GiftReasonDesc) VALUES ('老客户赠送'), ('生日赠送'), ('经理签单');
INSERT INTO RepriceReason(RepriceReasonDesc) VALUES ('时价菜'), ('称重菜'), ('特价活动');
