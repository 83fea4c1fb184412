-- A small sample for a group database; {BRAND} stands for the brand ID.

INSERT INTO Group_BackReason(BrandID,BackReasonDesc) VALUES
  ({BRAND}, '客人不要了'), ({BRAND}, '上错菜'), ({BRAND}, '菜品质量问题');
INSERT INTO Group_GiftReason(BrandID,GiftReasonDesc) VALUES ({BRAND}, '老客户赠送'), ({BRAND}, '店庆活动');
INSERT INTO Group_RepriceReason(BrandID,RepriceReasonDesc) VALUES ({BRAND}, '时价菜'), ({BRAND}, '会员特价');

-- The brand's menu: income subjects and production departments it refers to, six
-- menu types and their dishes; some dishes come in two to five standards.
INSERT INTO Group_Subject(BrandID,SubjectCode,SubjectName,SubjectClass) VALUES
  ({BRAND}, '5101','主营业务收入',1), ({BRAND}, '510101','菜品收入',2), ({BRAND}, '510102','酒水收入',2),
  ({BRAND}, '510103','海鲜收入',2), ({BRAND}, '2171','应交税金',1), ({BRAND}, '217101','应交增值税',2);
INSERT INTO Group_Hotel_Dept(BrandID,DeptCode,DeptName,IsProduct) VALUES
  ({BRAND}, '01','热菜厨房',1), ({BRAND}, '02','凉菜间',1), ({BRAND}, '03','面点间',1), ({BRAND}, '04','海鲜档',1), ({BRAND}, '05','吧台',1), ({BRAND}, '09','前厅',0);
INSERT INTO Group_MenuType(BrandID,tCode,tName,tName2,tName3,MenuTypeAlias,SubjectCode,DeptCode,ServiceRate,UnDiscountTag,IsDrink,Deleted) VALUES
  ({BRAND}, '01','凉菜','Cold Dishes',NULL,'菜品','510101','02',10,0,0,0),
  ({BRAND}, '02','热菜','Hot Dishes',NULL,'菜品','510101','01',10,0,0,0),
  ({BRAND}, '03','海鲜','Seafood',NULL,'菜品','510103','04',10,0,0,0),
  ({BRAND}, '04','汤羹','Soups',NULL,'菜品','510101','01',10,0,0,0),
  ({BRAND}, '05','主食点心','Staples',NULL,'主食','510101','03',0,0,0,0),
  ({BRAND}, '06','酒水饮料','Drinks',NULL,'酒水','510102','05',0,1,1,0);
INSERT INTO Group_MenuItem(BrandID,ItemCode,ItemName,ItemName2,tCode,DeptCode,Standard,ItemPrice,MemberPrice,CostPrice,Standard2,ItemPrice2,MemberPrice2,CostPrice2,Standard3,ItemPrice3,MemberPrice3,CostPrice3,Standard4,ItemPrice4,MemberPrice4,CostPrice4,Standard5,ItemPrice5,MemberPrice5,CostPrice5,Mask,HelpCode,MessageTag,TimePriceTag,NeedSaleOut,CanBonusPay,AskMemo,MakeTime,QtyConfine,TaxRate,UseDate,DishStatus,Deleted) VALUES
  ({BRAND}, '01001','拍黄瓜','Smashed Cucumber','01','02','例',12,10,3,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'PHG',1,0,0,1,0,5,0,0,NULL,1,0),
  ({BRAND}, '01002','夫妻肺片','Sliced Beef in Chili Sauce','01','02','例',38,35,15,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'FQFP',1,0,0,1,0,5,0,0,NULL,1,0),
  ({BRAND}, '01003','口水鸡','Mouthwatering Chicken','01','02','半只',48,45,20,'整只',88,82,38,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'KSJ',1,0,1,1,0,8,0,0,NULL,1,0),
  ({BRAND}, '01004','皮蛋豆腐','Tofu with Century Egg','01','02','例',16,15,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'PDDF',1,0,0,1,0,5,0,0,NULL,1,0),
  ({BRAND}, '01005','卤水拼盘','Braised Platter','01','02','小份',58,55,22,'中份',78,72,30,'大份',98,90,38,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'LSPP',1,0,0,1,0,10,0,0,NULL,1,0),
  ({BRAND}, '02001','宫保鸡丁','Kung Pao Chicken','02','01','例',38,35,14,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'GBJD',1,0,0,1,1,12,0,0,NULL,1,0),
  ({BRAND}, '02002','鱼香肉丝','Yu-Shiang Shredded Pork','02','01','例',32,30,11,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'YXRS',1,0,0,1,1,12,0,0,NULL,1,0),
  ({BRAND}, '02003','麻婆豆腐','Mapo Tofu','02','01','例',22,20,6,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'MPDF',1,0,0,1,1,10,0,0,NULL,1,0),
  ({BRAND}, '02004','回锅肉','Twice-Cooked Pork','02','01','例',36,33,13,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'HGR',1,0,0,1,1,12,0,0,NULL,1,0),
  ({BRAND}, '02005','水煮牛肉','Boiled Beef in Chili Oil','02','01','小份',48,45,20,'大份',78,72,32,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'SZNR',1,0,0,1,1,15,0,0,NULL,1,0),
  ({BRAND}, '02006','红烧肉','Red-Braised Pork','02','01','例',58,55,22,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'HSR',1,0,1,1,1,25,0,0,NULL,1,0),
  ({BRAND}, '02007','干锅花菜','Griddle Cauliflower','02','01','例',28,26,8,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'GGHC',1,0,0,1,0,10,0,0,NULL,1,0),
  ({BRAND}, '02008','北京烤鸭','Peking Duck','02','01','半只',88,80,40,'整只',168,158,75,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'BJKY',1,0,1,1,1,40,0,0,NULL,1,0),
  ({BRAND}, '02009','蒜蓉西兰花','Garlic Broccoli','02','01','例',26,24,7,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'SRXLH',1,0,0,1,0,8,0,0,NULL,1,0),
  ({BRAND}, '02010','糖醋里脊','Sweet and Sour Pork','02','01','例',42,39,16,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'TCLJ',1,0,0,1,1,15,0,0,NULL,1,0),
  ({BRAND}, '03001','清蒸石斑鱼','Steamed Grouper','03','04','斤',168,158,90,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'QZSBY',1,1,1,0,1,20,0,0,NULL,1,0),
  ({BRAND}, '03002','椒盐皮皮虾','Salt and Pepper Mantis Shrimp','03','04','小份',68,65,35,'中份',98,92,50,'大份',128,120,66,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'JYPPX',1,0,1,1,1,15,0,0,NULL,1,0),
  ({BRAND}, '03003','蒜蓉粉丝蒸扇贝','Garlic Scallops','03','04','只',12,11,6,'6只',68,62,34,'12只',128,118,66,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'SRFSZSB',1,0,1,1,0,15,0,0,NULL,1,0),
  ({BRAND}, '03004','避风塘炒蟹','Typhoon Shelter Crab','03','04','斤',188,178,110,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'BFTCX',1,1,1,0,1,25,0,0,NULL,1,0),
  ({BRAND}, '03005','白灼基围虾','Poached Prawns','03','04','半斤',68,65,38,'一斤',128,120,72,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'BZJWX',1,0,1,1,0,10,0,0,NULL,1,0),
  ({BRAND}, '04001','西湖牛肉羹','West Lake Beef Soup','04','01','例',38,35,12,'位',12,11,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'XHNRG',1,0,0,1,0,10,0,0,NULL,1,0),
  ({BRAND}, '04002','酸辣汤','Hot and Sour Soup','04','01','例',28,26,7,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'SLT',1,0,0,1,0,8,0,0,NULL,1,0),
  ({BRAND}, '04003','老火靓汤','Slow-Cooked Soup','04','01','位',18,16,6,'小煲',68,62,22,'大煲',108,98,36,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,3,'LHLT',1,0,1,1,0,5,0,0,NULL,1,0),
  ({BRAND}, '05001','扬州炒饭','Yangzhou Fried Rice','05','03','例',22,20,6,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'YZCF',1,0,0,1,0,8,0,0,NULL,1,0),
  ({BRAND}, '05002','米饭','Steamed Rice','05','03','碗',3,NULL,1,'桶',20,NULL,6,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'MF',0,0,0,1,0,0,0,0,NULL,1,0),
  ({BRAND}, '05003','手工水饺','Handmade Dumplings','05','03','10只',28,26,9,'20只',52,48,17,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'SGSJ',1,0,0,1,1,12,0,0,NULL,1,0),
  ({BRAND}, '05004','葱油饼','Scallion Pancake','05','03','份',16,15,4,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'CYB',1,0,0,1,0,10,0,0,NULL,1,0),
  ({BRAND}, '05005','担担面','Dan Dan Noodles','05','03','碗',18,16,5,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'DDM',1,0,0,1,1,8,2,0,NULL,1,0),
  ({BRAND}, '06001','青岛啤酒','Tsingtao Beer','06','05','瓶',12,10,5,'扎',45,40,18,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'QDPJ',0,0,1,0,0,0,0,6,'2024-03-01',1,0),
  ({BRAND}, '06002','鲜榨橙汁','Fresh Orange Juice','06','05','杯',18,16,6,'扎',58,52,18,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'XZCZ',0,0,0,1,0,3,0,6,'2024-03-01',1,0),
  ({BRAND}, '06003','王老吉','Wanglaoji Herbal Tea','06','05','罐',6,NULL,2.5,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'WLJ',0,0,1,1,0,0,0,6,'2024-03-01',1,0),
  ({BRAND}, '06004','普洱茶','Pu-erh Tea','06','05','位',8,NULL,1.5,'壶',38,35,8,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,1,'PEC',0,0,0,1,0,2,0,6,'2024-03-01',1,0),
  ({BRAND}, '06005','红酒','Red Wine','06','05','杯',48,45,18,'半瓶',168,158,70,'瓶',298,280,130,'1.5升',888,850,400,'礼盒装',1288,1200,600,15,'HJ',0,0,1,0,0,0,0,13,'2024-03-01',1,0),
  ({BRAND}, '06006','茅台','Moutai','06','05','瓶',2699,2599,2200,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'MT',0,1,1,0,0,0,0,13,'2024-03-01',1,0),
  ({BRAND}, '02099','时令小炒','Seasonal Stir-Fry','02','01','例',38,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'SLXC',1,0,0,1,0,10,0,0,NULL,0,0);

-- Payment subjects of the brand.
INSERT INTO Group_Subject(BrandID,SubjectCode,SubjectName,SubjectName2,SubjectClass,SubjectType,PayTag,PayMemoTag,NoChange,PayVisible,QuickUse,CanInvoice,BillCost,UseAmount,Contact,Mobile,Company,CreditLimit,Remark) VALUES
  ({BRAND}, '1001','库存现金',NULL,1,0,1,0,0,0,0,0,0,0,NULL,NULL,NULL,0,NULL),
  ({BRAND}, '100101','人民币','Cash',2,0,0,0,0,1,1,1,0,0,NULL,NULL,NULL,0,NULL),
  ({BRAND}, '1002','银行存款',NULL,1,0,1,0,0,0,0,0,0,0,NULL,NULL,NULL,0,NULL),
  ({BRAND}, '100201','银行卡','Bank Card',2,0,0,1,1,1,1,1,0,0,NULL,NULL,NULL,0,'刷卡需录入凭证号'),
  ({BRAND}, '1122','应收账款',NULL,1,0,1,0,0,0,0,0,0,0,NULL,NULL,NULL,0,NULL),
  ({BRAND}, '112201','协议单位挂账','On Account',2,0,0,1,1,1,0,1,0,0,'王经理','13800000000','华联商贸有限公司',50000,NULL);

-- Discount types (shared by all brands) and the brand's discount lines.
INSERT OR IGNORE INTO CardType(CardTypeCode,CardTypeName,CardTypeName2,CardTypeName3,AllowJifen) VALUES
  ('V1','会员卡','Member',NULL,1), ('V2','员工餐','Staff',NULL,0);
INSERT INTO CardTypeItems(BrandID,CardTypeCode,MenuTypeCode,Discount,Excludes,MenuSuiteNo) VALUES
  ({BRAND}, 'V1','01',90,NULL,NULL), ({BRAND}, 'V1','02',90,'02008@95'||char(13,10),NULL),
  ({BRAND}, 'V2','02',50,NULL,NULL);
-- Departments and users: the brand's branch restaurants (their codes begin
-- with the brand ID) in two zones, the discount types the users refer to, and
-- the staff of the branches with their roles.
INSERT OR IGNORE INTO Group_Zone(ZoneID,ZoneName) VALUES (1,'华北区'), (2,'华东区');
INSERT OR IGNORE INTO Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag,HotelTag) VALUES
  ({BRAND}||'001','王府井店',{BRAND},1,1,0), ({BRAND}||'002','国贸店',{BRAND},1,1,0), ({BRAND}||'003','南京路店',{BRAND},2,1,0);
INSERT OR IGNORE INTO CardType(CardTypeCode,CardTypeName) VALUES
  ('V1','会员九折'), ('V2','会员八五折'), ('VIP','贵宾八折'), ('YG','员工餐');
INSERT INTO Group_Hotel_User(PassNo,UserID,UserName,HotelID,DeptCode,Password,Rights,Rights2,Rights3,Sex,Phone,CardTypeList,MaxPreDiscount,Deleted) VALUES
  ('110101198003151234','0001','王建国',{BRAND}||'001','09','sXu0EmptyPwdQ7fK2nB9dH4',-736100472,-2084605385,2293764,0,'13801010001','',500,0),
  ('110102199005202345','0002','李娜',{BRAND}||'001','09','sXu0EmptyPwdQ7fK2nB9dH4',1215632902,-1979317719,131073,1,'13801010002','VIP'||char(13)||char(10),100,0),
  ('110105197502025678','0003','陈师傅',{BRAND}||'001','01','sXu0EmptyPwdQ7fK2nB9dH4',76546048,0,0,0,'13801010005','',0,0),
  ('310101198511113456','0001','黄敏',{BRAND}||'003','09','sXu0EmptyPwdQ7fK2nB9dH4',-736100472,-2084605385,2293764,1,'13901010001','',300,0),
  ('310102199202024567','0002','吴涛',{BRAND}||'003','09','sXu0EmptyPwdQ7fK2nB9dH4',70661,-2010775551,131073,0,'13901010002','V1'||char(13)||char(10),0,0),
  ('310103197909095678','0003','郑凯',{BRAND}||'003','05','sXu0EmptyPwdQ7fK2nB9dH4',16,1280,524298,0,'13901010003','',0,0);

-- Shifts and time sections of the brand.
INSERT INTO Group_Shift(BrandID,ShiftCode,ShiftName,Deleted,StartTime,EndTime) VALUES
  ({BRAND}, 0,'午市',0,'1899-12-30 10:30:00','1899-12-30 14:30:00'),
  ({BRAND}, 1,'晚市',0,'1899-12-30 17:00:00','1899-12-30 22:00:00'),
  ({BRAND}, 2,'早茶',1,'1899-12-30 07:00:00','1899-12-30 10:00:00');
INSERT INTO Group_TimeSection(BrandID,TimeID,StartTime,EndTime) VALUES
  ({BRAND}, 0,'1899-12-30 00:00:00','1899-12-30 14:59:00'),
  ({BRAND}, 1,'1899-12-30 15:00:00','1899-12-30 23:59:00');

-- Guest requests of the brand: for the hot dishes, one dish of its own and the public ones.
UPDATE Group_MenuType SET Remark='少辣,SL' || char(13,10) || '不要辣,BYL' WHERE BrandID={BRAND} AND tCode='02';
UPDATE Group_MenuItem SET Remark='走葱' || char(13,10) || '加蛋@3.00@0,JD' WHERE BrandID={BRAND} AND ItemCode='02001';
INSERT INTO Group_GuestNeeds(BrandID,Needs) VALUES
  ({BRAND}, '打包@1.00@0,DB' || char(13,10) || '分开上,FKS' || char(13,10) || '茶位费@3.00@2,CWF');

-- Set meals of the brand; the weekend family meal and the lunch for two are
-- offered by some branches only. The zones and branches are added when missing.
INSERT OR IGNORE INTO Group_Zone(ZoneID,ZoneName) VALUES (11,'华东区'), (12,'华南区');
INSERT OR IGNORE INTO Group_Hotel(HotelID,HotelName,BrandID,ZoneID,UseTag,HotelTag) VALUES
  ('SH01','上海徐汇店',{BRAND},11,1,1), ('SH02','上海静安店',{BRAND},11,1,1), ('GZ01','广州天河店',{BRAND},12,1,5);
INSERT INTO Group_MenuSuite(BrandID,msCode,msName,ConfineMenuSuite,PlanType,EveryOf,EveryDetail,PlanStartDate,PlanEndDate,PlanEndTag,DayControlType,MealSectionCode,TimeID,UsePlan,SuiteBarCode,PromID,QuickUse,PrintTogether,MenuSuiteAlias,AllShare,ZoneInfo) VALUES
  ({BRAND},'T1','商务套餐',0,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,'6901234500011','',1,1,'商务餐',1,NULL),
  ({BRAND},'T2','午市双人餐',1,1,1,-1,'2024-01-01',NULL,0,2,NULL,0,1,'','P01',1,0,'午市',0,
   '[华东区]' || char(13,10) || '    上海徐汇店' || char(13,10) || '    上海静安店' || char(13,10) ||
   '[华南区]' || char(13,10) || '    广州天河店'),
  ({BRAND},'T3','周末家庭餐',0,2,1,96,'2024-03-01','2025-12-31',1,1,0,NULL,1,'','',0,1,'家庭餐',0,
   '[华东区]' || char(13,10) || '    上海静安店'),
  ({BRAND},'T4','月度特惠',0,3,1,15,'2024-06-01',NULL,0,0,NULL,NULL,1,'','P02',0,0,'',0,'');
INSERT INTO Group_MenuSuiteSub(BrandID,msCode,ItemCode,ItemPrice,Qty,Standard,Selected,GroupID,GroupName) VALUES
  ({BRAND},'T1','02001',30,1,'例',1,'1','热菜'), ({BRAND},'T1','02002',28,1,'例',0,'1','热菜'),
  ({BRAND},'T1','02003',18,1,'例',0,'1','热菜'), ({BRAND},'T1','05002',2,1,'碗',1,'2','主食'),
  ({BRAND},'T1','06003',5,1,'罐',1,'3','饮料'),
  ({BRAND},'T2','01001',10,1,'例',1,'1','凉菜'), ({BRAND},'T2','02008',80,1,'半只',1,'2','热菜'),
  ({BRAND},'T2','02006',50,1,'例',1,'2','热菜'), ({BRAND},'T2','04002',25,1,'例',1,'3','汤'),
  ({BRAND},'T2','05002',2,2,'碗',1,'4','主食'),
  ({BRAND},'T3','01005',70,1,'中份',1,'1','凉菜'), ({BRAND},'T3','02005',70,1,'大份',1,'2','热菜'),
  ({BRAND},'T3','02010',38,1,'例',0,'2','热菜'), ({BRAND},'T3','03002',90,1,'中份',1,'2','热菜'),
  ({BRAND},'T3','04003',60,1,'小煲',1,'3','汤'), ({BRAND},'T3','05003',45,1,'20只',1,'4','主食'),
  ({BRAND},'T4','06005',150,1,'半瓶',1,'1','酒水'), ({BRAND},'T4','01003',45,1,'半只',1,'2','凉菜');
INSERT INTO Group_MenuSuiteHotelID(BrandID,msCode,HotelID) VALUES
  ({BRAND},'T2','SH01'), ({BRAND},'T2','SH02'), ({BRAND},'T2','GZ01'), ({BRAND},'T3','SH02');

-- Time plans and price plans of the brand: a weekday lunch offer for two
-- branches in two zones (those of the set meals), confined to the lunch shift,
-- and a weekend afternoon tea for all branches, confined to a time section.
INSERT INTO Group_TimePlan(BrandID,PlanCode,PlanName,PlanName2,PlanName3,PromID,PlanUseTag,PlanStartDate,PlanEndDate,PlanEndTag,PlanType,EveryOf,EveryDetail,DayControlType,AllShare,ZoneInfo) VALUES
  ({BRAND},1,'工作日午市特价','Weekday Lunch',NULL,'P01',1,'2024-03-01','2024-12-31',1,2,1,31,1,0,
   '[华东区]' || char(13,10) || '    上海徐汇店' || char(13,10) || '[华南区]' || char(13,10) || '    广州天河店'),
  ({BRAND},2,'周末下午茶','Weekend Tea',NULL,'P02',1,'2024-04-06','1899-12-30',0,2,1,96,2,1,NULL);
INSERT INTO Group_TimePlanConfine(BrandID,PlanCode,MealSectionCode,TimeID) VALUES ({BRAND},1,0,NULL), ({BRAND},2,NULL,1);
INSERT INTO Group_TimePlanHotelID(BrandID,PlanCode,HotelID) VALUES ({BRAND},1,'SH01'), ({BRAND},1,'GZ01');
INSERT INTO Group_PricePlan(BrandID,PlanCode,MenuItemCode,NewPrice,NewPrice2,NewPrice3,NewPrice4,NewPrice5,MaxQty) VALUES
  ({BRAND},1,'02001',28,0,0,0,0,0), ({BRAND},1,'02005',38,68,0,0,0,20),
  ({BRAND},2,'04003',0,58,88,0,0,10), ({BRAND},2,'06004',6,30,0,0,0,0);

-- Store items: the chain's item families and types, shared by all brands,
-- the brand's subjects of each type, and the stock items.
INSERT INTO Group_Subject(BrandID,SubjectCode,SubjectName,SubjectClass) VALUES
  ({BRAND}, '5401','主营业务成本',1), ({BRAND}, '540101','原材料成本',2), ({BRAND}, '540102','酒水成本',2),
  ({BRAND}, '1211','原材料',1), ({BRAND}, '121101','食品原材料',2), ({BRAND}, '121102','库存酒水',2),
  ({BRAND}, '510104','材料销售收入',2);
INSERT OR IGNORE INTO Group_StoreFamily(fCode,fName) VALUES ('1','食品原料'), ('2','酒水饮料');
INSERT OR IGNORE INTO Group_StoreType(tCode,fCode,tName,tName2,tName3,Deleted) VALUES
  ('01','1','蔬菜','Vegetables',NULL,0), ('02','1','肉禽','Meat',NULL,0), ('03','1','海鲜水产','Seafood',NULL,0),
  ('04','2','酒水','Drinks',NULL,0);
INSERT INTO Group_StoreType_Subject(tCode,BrandID,SubjectCode54,SubjectCode12,SubjectCode51) VALUES
  ('01',{BRAND},'540101','121101',NULL), ('02',{BRAND},'540101','121101',NULL),
  ('03',{BRAND},'540101','121101','510104'), ('04',{BRAND},'540102','121102','510104');
INSERT OR IGNORE INTO Group_StoreItem(ItemCode,ItemName,ItemName2,ItemName3,tCode,fCode,StoreUnit,StoreRate,CalcUnit,CalcRate,Org_Unit,Org_Rate,HelpCode,MaxQty,MinQty,Add_StoreUnit,MaxPrice,BarCode,Deleted) VALUES
  ('010001','黄瓜','Cucumber',NULL,'01','1','斤',100,'克',500,'箱',20,'HG',200,20,NULL,6,NULL,0),
  ('010002','土豆','Potato',NULL,'01','1','斤',100,'克',500,'袋',50,'TD',300,50,NULL,3.5,NULL,0),
  ('020001','鸡胸肉','Chicken Breast',NULL,'02','1','公斤',100,'克',1000,'箱',10,'JXR',80,10,NULL,40,NULL,0),
  ('020002','五花肉','Pork Belly',NULL,'02','1','公斤',100,'克',1000,'公斤',1,'WHR',60,10,NULL,45,NULL,0),
  ('030001','基围虾','Prawn',NULL,'03','1','斤',100,'克',500,'斤',1,'JWX',30,5,'只',0,NULL,0),
  ('040001','青岛啤酒','Tsingtao Beer',NULL,'04','2','瓶',100,'瓶',1,'箱',24,'QDPJ',480,48,NULL,4.5,'6901035603430',0);

-- Cost cards of the brand: the stock items some dishes consume, per standard.
INSERT INTO Group_CostCard(BrandID,MenuItemCode,StoreItemCode,CostQty,CostRate,AutoTag) VALUES
  ({BRAND},'010011','010001',300,85,1),
  ({BRAND},'010031','020001',250,90,1), ({BRAND},'010031','010001',50,85,0),
  ({BRAND},'010032','020001',500,90,1), ({BRAND},'010032','010001',100,85,0),
  ({BRAND},'020011','020001',200,90,1), ({BRAND},'020011','010001',50,85,1), ({BRAND},'020011','010002',30,80,0),
  ({BRAND},'030051','030001',250,100,1), ({BRAND},'030052','030001',500,100,1),
  ({BRAND},'060011','040001',1,100,1);
