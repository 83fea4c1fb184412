-- A small sample for a store database: one restaurant's setup data.

INSERT INTO BackReason(BackReasonDesc) VALUES ('客人不要了'), ('上错菜'), ('菜品质量问题'), ('等待时间过长');
INSERT INTO GiftReason(GiftReasonDesc) VALUES ('老客户赠送'), ('生日赠送'), ('经理签单');
INSERT INTO RepriceReason(RepriceReasonDesc) VALUES ('时价菜'), ('称重菜'), ('特价活动');

-- The menu: income subjects and production departments it refers to, six
-- menu types and their dishes; some dishes come in two to five standards.
INSERT INTO Subject(SubjectCode,SubjectName,SubjectClass) VALUES
  ('5101','主营业务收入',1), ('510101','菜品收入',2), ('510102','酒水收入',2),
  ('510103','海鲜收入',2), ('2171','应交税金',1), ('217101','应交增值税',2);
INSERT INTO Dept(DeptCode,DeptName,IsProduct) VALUES
  ('01','热菜厨房',1), ('02','凉菜间',1), ('03','面点间',1), ('04','海鲜档',1), ('05','吧台',1), ('09','前厅',0);
INSERT INTO MenuType(MenuTypeCode,MenuTypeName,MenuTypeEName,MenuTypeEName2,MenuTypeAlias,SubjectCode,DeptCode,ServiceRate,UnDiscountTag,IsDrink,Deleted) VALUES
  ('01','凉菜','Cold Dishes',NULL,'菜品','510101','02',10,0,0,0),
  ('02','热菜','Hot Dishes',NULL,'菜品','510101','01',10,0,0,0),
  ('03','海鲜','Seafood',NULL,'菜品','510103','04',10,0,0,0),
  ('04','汤羹','Soups',NULL,'菜品','510101','01',10,0,0,0),
  ('05','主食点心','Staples',NULL,'主食','510101','03',0,0,0,0),
  ('06','酒水饮料','Drinks',NULL,'酒水','510102','05',0,1,1,0);
INSERT INTO MenuItem(MenuItemCode,MenuItemCName,MenuItemEName,MenuTypeCode,DeptCode,Standard,MenuItemPrice,MemberPrice,CostPrice,Standard2,MenuItemPrice2,MemberPrice2,CostPrice2,Standard3,MenuItemPrice3,MemberPrice3,CostPrice3,Standard4,MenuItemPrice4,MemberPrice4,CostPrice4,Standard5,MenuItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,NeedSaleOut,CanBonusPay,AskMemo,MakeTime,QtyConfine,TaxRate,DishStatus,Deleted) VALUES
  ('01001','拍黄瓜','Smashed Cucumber','01','02','例',12,10,3,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'PHG',1,0,0,1,0,5,0,0,1,0),
  ('01002','夫妻肺片','Sliced Beef in Chili Sauce','01','02','例',38,35,15,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'FQFP',1,0,0,1,0,5,0,0,1,0),
  ('01003','口水鸡','Mouthwatering Chicken','01','02','半只',48,45,20,'整只',88,82,38,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'KSJ',1,0,1,1,0,8,0,0,1,0),
  ('01004','皮蛋豆腐','Tofu with Century Egg','01','02','例',16,15,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'PDDF',1,0,0,1,0,5,0,0,1,0),
  ('01005','卤水拼盘','Braised Platter','01','02','小份',58,55,22,'中份',78,72,30,'大份',98,90,38,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'LSPP',1,0,0,1,0,10,0,0,1,0),
  ('02001','宫保鸡丁','Kung Pao Chicken','02','01','例',38,35,14,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'GBJD',1,0,0,1,1,12,0,0,1,0),
  ('02002','鱼香肉丝','Yu-Shiang Shredded Pork','02','01','例',32,30,11,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'YXRS',1,0,0,1,1,12,0,0,1,0),
  ('02003','麻婆豆腐','Mapo Tofu','02','01','例',22,20,6,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'MPDF',1,0,0,1,1,10,0,0,1,0),
  ('02004','回锅肉','Twice-Cooked Pork','02','01','例',36,33,13,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'HGR',1,0,0,1,1,12,0,0,1,0),
  ('02005','水煮牛肉','Boiled Beef in Chili Oil','02','01','小份',48,45,20,'大份',78,72,32,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'SZNR',1,0,0,1,1,15,0,0,1,0),
  ('02006','红烧肉','Red-Braised Pork','02','01','例',58,55,22,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'HSR',1,0,1,1,1,25,0,0,1,0),
  ('02007','干锅花菜','Griddle Cauliflower','02','01','例',28,26,8,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'GGHC',1,0,0,1,0,10,0,0,1,0),
  ('02008','北京烤鸭','Peking Duck','02','01','半只',88,80,40,'整只',168,158,75,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'BJKY',1,0,1,1,1,40,0,0,1,0),
  ('02009','蒜蓉西兰花','Garlic Broccoli','02','01','例',26,24,7,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'SRXLH',1,0,0,1,0,8,0,0,1,0),
  ('02010','糖醋里脊','Sweet and Sour Pork','02','01','例',42,39,16,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'TCLJ',1,0,0,1,1,15,0,0,1,0),
  ('03001','清蒸石斑鱼','Steamed Grouper','03','04','斤',168,158,90,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'QZSBY',1,1,1,0,1,20,0,0,1,0),
  ('03002','椒盐皮皮虾','Salt and Pepper Mantis Shrimp','03','04','小份',68,65,35,'中份',98,92,50,'大份',128,120,66,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'JYPPX',1,0,1,1,1,15,0,0,1,0),
  ('03003','蒜蓉粉丝蒸扇贝','Garlic Scallops','03','04','只',12,11,6,'6只',68,62,34,'12只',128,118,66,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'SRFSZSB',1,0,1,1,0,15,0,0,1,0),
  ('03004','避风塘炒蟹','Typhoon Shelter Crab','03','04','斤',188,178,110,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'BFTCX',1,1,1,0,1,25,0,0,1,0),
  ('03005','白灼基围虾','Poached Prawns','03','04','半斤',68,65,38,'一斤',128,120,72,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'BZJWX',1,0,1,1,0,10,0,0,1,0),
  ('04001','西湖牛肉羹','West Lake Beef Soup','04','01','例',38,35,12,'位',12,11,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'XHNRG',1,0,0,1,0,10,0,0,1,0),
  ('04002','酸辣汤','Hot and Sour Soup','04','01','例',28,26,7,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'SLT',1,0,0,1,0,8,0,0,1,0),
  ('04003','老火靓汤','Slow-Cooked Soup','04','01','位',18,16,6,'小煲',68,62,22,'大煲',108,98,36,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'LHLT',1,0,1,1,0,5,0,0,1,0),
  ('05001','扬州炒饭','Yangzhou Fried Rice','05','03','例',22,20,6,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'YZCF',1,0,0,1,0,8,0,0,1,0),
  ('05002','米饭','Steamed Rice','05','03','碗',3,NULL,1,'桶',20,NULL,6,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'MF',0,0,0,1,0,0,0,0,1,0),
  ('05003','手工水饺','Handmade Dumplings','05','03','10只',28,26,9,'20只',52,48,17,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'SGSJ',1,0,0,1,1,12,0,0,1,0),
  ('05004','葱油饼','Scallion Pancake','05','03','份',16,15,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'CYB',1,0,0,1,0,10,0,0,1,0),
  ('05005','担担面','Dan Dan Noodles','05','03','碗',18,16,5,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'DDM',1,0,0,1,1,8,2,0,1,0),
  ('06001','青岛啤酒','Tsingtao Beer','06','05','瓶',12,10,5,'扎',45,40,18,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'QDPJ',0,0,1,0,0,0,0,6,1,0),
  ('06002','鲜榨橙汁','Fresh Orange Juice','06','05','杯',18,16,6,'扎',58,52,18,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'XZCZ',0,0,0,1,0,3,0,6,1,0),
  ('06003','王老吉','Wanglaoji Herbal Tea','06','05','罐',6,NULL,2.5,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'WLJ',0,0,1,1,0,0,0,6,1,0),
  ('06004','普洱茶','Pu-erh Tea','06','05','位',8,NULL,1.5,'壶',38,35,8,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'PEC',0,0,0,1,0,2,0,6,1,0),
  ('06005','红酒','Red Wine','06','05','杯',48,45,18,'半瓶',168,158,70,'瓶',298,280,130,'1.5升',888,850,400,'礼盒装',1288,1200,600,15,'HJ',0,0,1,0,0,0,0,13,1,0),
  ('06006','茅台','Moutai','06','05','瓶',2699,2599,2200,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'MT',0,1,1,0,0,0,0,13,1,0),
  ('02099','时令小炒','Seasonal Stir-Fry','02','01','例',38,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'SLXC',1,0,0,1,0,10,0,0,0,0);

-- Payment subjects: cash, bank cards and credit accounts under their
-- first-level subjects.
INSERT INTO Subject(SubjectCode,SubjectName,SubjectEName,SubjectClass,SubjectType,PayTag,PayMemoTag,NoChange,PayVisible,QuickUse,CanInvoice,BillCost,UseAmount,Contact,Mobile,Tele,Company,Address,CreditLimit,Remark) VALUES
  ('1001','库存现金',NULL,1,0,1,0,0,0,0,0,0,0,NULL,NULL,NULL,NULL,NULL,0,NULL),
  ('100101','人民币','Cash',2,0,0,0,0,1,1,1,0,0,NULL,NULL,NULL,NULL,NULL,0,NULL),
  ('1002','银行存款',NULL,1,0,1,0,0,0,0,0,0,0,NULL,NULL,NULL,NULL,NULL,0,NULL),
  ('100201','银行卡','Bank Card',2,0,0,1,1,1,1,1,0,0,NULL,NULL,NULL,NULL,NULL,0,'刷卡需录入凭证号'),
  ('100202','代金券','Voucher',2,0,0,1,1,1,0,0,200,50,NULL,NULL,NULL,NULL,NULL,0,'满200元可用50元'),
  ('1122','应收账款',NULL,1,0,1,0,0,0,0,0,0,0,NULL,NULL,NULL,NULL,NULL,0,NULL),
  ('112201','协议单位挂账','On Account',2,0,0,1,1,1,0,1,0,0,'王经理','13800000000','010-88886666','华联商贸有限公司','北京市朝阳区建国路1号',50000,NULL);

-- Discount types and their discount lines: percentages per menu type, some
-- dishes excepted (a bare code keeps the full price).
INSERT INTO CardType(CardTypeCode,CardTypeName,CardTypeEName,CardTypeEName2,AllowJifen) VALUES
  ('V1','会员卡','Member',NULL,1), ('V2','员工餐','Staff',NULL,0), ('V3','酒水八折','Drinks 20% off',NULL,1);
INSERT INTO DiscountSuite(CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo) VALUES
  ('V1','01',90,NULL,NULL), ('V1','02',90,'02008@95'||char(13,10),NULL), ('V1','03',95,'03001'||char(13,10)||'03004'||char(13,10),NULL),
  ('V2','02',50,NULL,NULL), ('V2','05',50,NULL,NULL),
  ('V3','06',80,'06006'||char(13,10),NULL);
-- Departments and users: the rights a new user of each department starts
-- with, the storehouses, the second-level departments and the staff with
-- their roles (one cashier also holds part of the delivery role) and the
-- discount types (of the discount types' sample) they may not grant.
UPDATE Dept SET Rights=70660, Rights2=-2012872703, Rights3=131073 WHERE DeptCode='09';
UPDATE Dept SET Rights=76546048, Rights2=0, Rights3=0 WHERE DeptCode IN ('01','02','03','04');
UPDATE Dept SET Rights=0, Rights2=0, Rights3=0 WHERE DeptCode='05';
INSERT OR IGNORE INTO S_Store(StoreCode,StoreName) VALUES (1,'主仓库'), (2,'酒水仓'), (3,'干货仓');
INSERT INTO Dept2(Dept2Code,DeptCode,Dept2Name,Dept2Alias,StoreCode,StoreTag,AutoSaleDept2Code,Rights,Rights2,Rights3) VALUES
  ('0101','01','炒锅','厨房',1,1,'0101',76546048,0,0),
  ('0102','01','蒸灶','厨房',1,1,'0101',76546048,0,0),
  ('0201','02','凉菜间','厨房',1,1,'0201',76546048,0,0),
  ('0301','03','面点间','厨房',3,1,'0301',76546048,0,0),
  ('0501','05','吧台','酒水',2,1,'0501',0,0,0),
  ('0901','09','大厅','前厅',NULL,0,NULL,70660,-2012872703,131073),
  ('0902','09','包房','前厅',NULL,0,NULL,70660,-2012872703,131073);
INSERT INTO HotelUser(UserID,UserName,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,OrderLimitAmt,MaxPreDiscount,Deleted,PassNo) VALUES
  ('0001','王建国','09','sXu0EmptyPwdQ7fK2nB9dH4',-736100472,-2084605385,2293764,0,'13801010001','',0,500,0,'110101198003151234'),
  ('0002','李娜','09','sXu0EmptyPwdQ7fK2nB9dH4',1215632902,-1979317719,131329,1,'13801010002','V3'||char(13)||char(10),0,100,0,'110102199005202345'),
  ('0003','张伟','09','sXu0EmptyPwdQ7fK2nB9dH4',70661,-2010775551,131073,0,'13801010003','',2000,0,0,'110103199107083456'),
  ('0004','刘芳','09','sXu0EmptyPwdQ7fK2nB9dH4',-803480320,-2084634109,196612,1,'13801010004','V1'||char(13)||char(10)||'V2'||char(13)||char(10),0,200,0,'110104198811114567'),
  ('0005','陈师傅','01','sXu0EmptyPwdQ7fK2nB9dH4',76546048,0,0,0,'13801010005','',0,0,0,'110105197502025678'),
  ('0006','赵磊','05','sXu0EmptyPwdQ7fK2nB9dH4',16,1280,524298,0,'13801010006','',0,0,0,'110106198609096789'),
  ('0007','孙丽','09','sXu0EmptyPwdQ7fK2nB9dH4',96,63616,1048576,1,'13801010007','',0,0,0,'110107199212127890'),
  ('0008','周强','09','sXu0EmptyPwdQ7fK2nB9dH4',70660,-2012872703,131073,0,'','',0,0,1,'110108199401018901');

-- Shifts and time sections: four service periods (the late-night one stopped)
-- and three time sections of the day, times on the day zero as the import stores them.
INSERT INTO MealSection(MealSectionCode,MealSectionName,Deleted,StartTime,EndTime) VALUES
  (0,'早餐',0,'1899-12-30 07:00:00','1899-12-30 10:00:00'),
  (1,'午餐',0,'1899-12-30 11:00:00','1899-12-30 14:30:00'),
  (2,'晚餐',0,'1899-12-30 17:00:00','1899-12-30 21:30:00'),
  (3,'夜宵',1,'1899-12-30 22:00:00',NULL);
INSERT INTO TimeSection(TimeID,StartTime,EndTime) VALUES
  (0,'1899-12-30 00:00:00','1899-12-30 10:59:00'),
  (1,'1899-12-30 11:00:00','1899-12-30 16:59:00'),
  (2,'1899-12-30 17:00:00','1899-12-30 23:59:00');

-- Guest requests: for the hot dishes, two dishes of their own and the public ones;
-- "name@price@type" carries a surcharge, ",code" a mnemonic.
UPDATE MenuType SET Remark='少辣,SL' || char(13,10) || '不要辣,BYL' || char(13,10) || '加辣@2.00@0,JL' WHERE MenuTypeCode='02';
UPDATE MenuItem SET Remark='三分熟' || char(13,10) || '五分熟' || char(13,10) || '七分熟' WHERE MenuItemCode='02005';
UPDATE MenuItem SET Remark='加饼@5.00@0,JB' || char(13,10) || '加酱@2.00@1' WHERE MenuItemCode='02008';
INSERT INTO GuestNeeds(ID,Needs) VALUES
  (0,'打包@1.00@0,DB' || char(13,10) || '分开上,FKS' || char(13,10) || '加急,JJ' || char(13,10) || '茶位费@3.00@2,CWF');

-- Set meals: a business lunch without a time plan, a lunch for two during the
-- midday time section, a weekend family meal during the lunch shift, a monthly
-- offer.
INSERT INTO MenuSuite(MenuSuiteNo,MenuSuiteName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,SuiteBarCode,PromID,QuickUse,PrintTogether,MenuSuiteAlias,SaleOutByHand) VALUES
  ('T1','商务套餐',0,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'6901234500011','',1,1,'商务餐',0),
  ('T2','午市双人餐',1,1,1,-1,'2024-01-01',NULL,0,2,NULL,1,1,'','P01',1,0,'午市',0),
  ('T3','周末家庭餐',0,2,1,96,'2024-03-01','2025-12-31',1,1,1,NULL,1,'','',0,1,'家庭餐',0),
  ('T4','月度特惠',0,3,1,15,'2024-06-01',NULL,0,0,NULL,NULL,1,'','P02',0,0,'',0);
INSERT INTO MenuSuiteSub(MenuSuiteNo,MenuItemCode,MenuItemPrice,Qty,Standard,Selected,GroupID,GroupName) VALUES
  ('T1','02001',30,1,'例',1,'1','热菜'), ('T1','02002',28,1,'例',0,'1','热菜'), ('T1','02003',18,1,'例',0,'1','热菜'),
  ('T1','05002',2,1,'碗',1,'2','主食'), ('T1','06003',5,1,'罐',1,'3','饮料'),
  ('T2','01001',10,1,'例',1,'1','凉菜'), ('T2','02008',80,1,'半只',1,'2','热菜'), ('T2','02006',50,1,'例',1,'2','热菜'),
  ('T2','04002',25,1,'例',1,'3','汤'), ('T2','05002',2,2,'碗',1,'4','主食'),
  ('T3','01005',70,1,'中份',1,'1','凉菜'), ('T3','02005',70,1,'大份',1,'2','热菜'), ('T3','02010',38,1,'例',0,'2','热菜'),
  ('T3','03002',90,1,'中份',1,'2','热菜'), ('T3','04003',60,1,'小煲',1,'3','汤'), ('T3','05003',45,1,'20只',1,'4','主食'),
  ('T4','06005',150,1,'半瓶',1,'1','酒水'), ('T4','01003',45,1,'半只',1,'2','凉菜');

-- Time plans and price plans: a weekday lunch offer confined to the lunch
-- shift, a weekend afternoon tea confined to a time section and without end,
-- and a monthly members' day.
INSERT INTO TimePlan(PlanCode,PlanName,PromID,PlanUseTag,PlanStartDate,PlanEndDate,PlanEndTag,PlanType,EveryOf,EveryDetail,DayControlType) VALUES
  (1,'工作日午市特价','P01',1,'2024-03-01','2024-12-31',1,2,1,31,1),
  (2,'周末下午茶','P02',1,'2024-04-06','1899-12-30',0,2,1,96,2),
  (3,'每月8号会员日',NULL,0,'2024-01-08','2025-01-08',1,3,1,8,0);
INSERT INTO TimePlanConfine(PlanCode,MealSectionCode,TimeID) VALUES (1,1,NULL), (2,NULL,1);
INSERT INTO PricePlan(PlanCode,MenuItemCode,NewPrice,NewPrice2,NewPrice3,NewPrice4,NewPrice5,MaxQty) VALUES
  (1,'02001',28,0,0,0,0,0), (1,'02005',38,68,0,0,0,20), (1,'05001',15,0,0,0,0,0),
  (2,'04003',0,58,88,0,0,10), (2,'06004',6,30,0,0,0,0),
  (3,'02008',0,138,0,0,0,5), (3,'06005',0,0,248,0,0,2);

-- Store items: the subjects of the stock, three item types and their stock
-- items; one item was retired and one type and its item are still in use.
INSERT INTO Subject(SubjectCode,SubjectName,SubjectClass) VALUES
  ('5401','主营业务成本',1), ('540101','原材料成本',2), ('540102','酒水成本',2),
  ('1211','原材料',1), ('121101','食品原材料',2), ('121102','库存酒水',2), ('510104','材料销售收入',2);
INSERT INTO S_ItemType(TypeCode,TypeName,SubjectCode51,SubjectCode54,SubjectCode12,Deleted) VALUES
  ('01','蔬菜',NULL,'540101','121101',0),
  ('02','肉禽',NULL,'540101','121101',0),
  ('03','海鲜水产','510104','540101','121101',0),
  ('04','酒水','510104','540102','121102',0),
  ('09','停用类别',NULL,NULL,NULL,1);
INSERT INTO S_Item(ItemCode,ItemName,TypeCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_StoreUnit,Org_Rate,HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode,Deleted) VALUES
  ('010001','黄瓜','01','斤',100,'克',500,'箱',20,'HG',200,20,NULL,6,NULL,0),
  ('010002','土豆','01','斤',100,'克',500,'袋',50,'TD',300,50,NULL,3.5,NULL,0),
  ('010003','西兰花','01','斤',100,'克',500,'箱',10,'XLH',100,10,NULL,12,NULL,0),
  ('020001','鸡胸肉','02','公斤',100,'克',1000,'箱',10,'JXR',80,10,NULL,40,NULL,0),
  ('020002','五花肉','02','公斤',100,'克',1000,'公斤',1,'WHR',60,10,NULL,45,NULL,0),
  ('020003','牛腱子','02','公斤',100,'克',1000,'公斤',1,'NJZ',40,5,NULL,0,NULL,1),
  ('030001','基围虾','03','斤',100,'克',500,'斤',1,'JWX',30,5,'只',0,NULL,0),
  ('030002','扇贝','03','只',100,'只',1,'打',12,'SB',200,24,NULL,0,NULL,0),
  ('040001','青岛啤酒','04','瓶',100,'瓶',1,'箱',24,'QDPJ',480,48,NULL,4.5,'6901035603430',0);

-- Cost cards: the stock items some dishes consume, per standard.
INSERT INTO CostCard(CostCardNo,ItemCode,CostQty,CostRate,AutoTag) VALUES
  ('010011','010001',300,85,1),
  ('010031','020001',250,90,1), ('010031','010001',50,85,0),
  ('010032','020001',500,90,1), ('010032','010001',100,85,0),
  ('020011','020001',200,90,1), ('020011','010001',50,85,1), ('020011','010002',30,80,0),
  ('020041','020002',300,95,1),
  ('030051','030001',250,100,1), ('030052','030001',500,100,1),
  ('060011','040001',1,100,1);
-- Rooms and tables: the hall serves everything but drinks are ordered at the
-- bar, two private rooms charge a service fee, the terrace is closed.
INSERT INTO Room(RoomNo,RoomName,ServiceRate,RoomServTag,RoomDrinkTag,OrderNo,NoServiceFee,Deleted) VALUES
  ('A','大厅',0,0,0,1,1,0), ('B01','牡丹厅',10,0,0,2,0,0), ('B02','芙蓉厅',15,0,0,3,0,0), ('C','露台',0,0,0,4,1,1);
INSERT INTO RoomMenuType(RoomNo,MenuTypeCode) VALUES
  ('A','01'), ('A','02'), ('A','04'), ('A','05'),
  ('B01','01'), ('B01','02'), ('B01','03'), ('B01','04'), ('B01','06'),
  ('B02','02'), ('B02','03'), ('B02','06');
INSERT INTO HotelTable(TableNo,RoomNo,BillNo,TableStatus,SeatQty,OnePrice,CanOnePrice,QuickUse,OrderNo,TableAlias,UsePinTai,OutUse,Remark,Deleted) VALUES
  ('A01','A','0',0,4,0,0,0,1,'大厅1号',1,0,NULL,0),
  ('A02','A','0',0,4,0,0,0,2,'大厅2号',1,0,NULL,0),
  ('A03','A','0',0,2,0,0,1,3,'快餐台',0,1,'靠门口',0),
  ('B011','B01','0',0,12,0,0,0,4,'牡丹厅',0,0,'带卡拉OK',0),
  ('B021','B02','0',0,10,300,1,0,5,'芙蓉厅',0,0,NULL,0),
  ('C01','C','0',0,6,0,0,0,6,'露台1号',0,0,'冬季停用',1);
-- Minimum charges: the private rooms charge by time section (dinner costs
-- more), without drinks and staples; the hall's big table per guest.
UPDATE HotelTable SET LowestPayType=-1;
UPDATE HotelTable SET LowestPay=800,LowestPayType=2,ExcludeDishs='06005' || char(13,10) || '05003' || char(13,10) WHERE TableNo='B011';
UPDATE HotelTable SET LowestPay=600,LowestPayType=2,ExcludeDishs='06005' || char(13,10) WHERE TableNo='B021';
UPDATE HotelTable SET LowestPay=50,LowestPayType=1,ExcludeDishs=NULL WHERE TableNo='A01';
INSERT INTO LowestPayTimePlan(TableNo,TimeID,LowestPay) VALUES ('B011',1,600), ('B011',2,1000), ('B021',2,800);
-- Gift dish control: the manager may give drinks and cold dishes up to a
-- monthly amount; the head waiter a few cold dishes per day, never seafood.
INSERT INTO GiftDishRole(ID,RoleName,OnlyReserverTable) VALUES (1,'经理',0), (2,'领班',1);
INSERT INTO GiftDishPackge(ID,RoleID,PackgeName,QtyConfine,AmountConfine,ResetInterval,ControlType) VALUES
  (1,1,'酒水凉菜',0,2000,3,0), (2,1,'每单总额',0,300,0,2), (3,2,'凉菜',5,0,1,0), (4,2,'禁送海鲜',0,0,0,1);
INSERT INTO GiftDishRoleItem(ID,PackgeID,RoleID,MenuTypeCode,MenuItemCode) VALUES
  (1,1,1,'06',NULL), (2,1,1,'01',NULL), (3,3,2,'01','01005'), (4,3,2,'01','01003'), (5,4,2,'03',NULL);
UPDATE HotelUser SET GiftRoleID=1 WHERE UserID IN (SELECT UserID FROM HotelUser ORDER BY UserID LIMIT 1);
