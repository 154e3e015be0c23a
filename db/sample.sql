-- A small demo company for Tallyward: 江南精密机械, a maker of gear reducers near Suzhou that
-- buys steel, fasteners and wire and has housings, covers and shafts machined by outsourcing
-- partners. Account 001, year 2026; January and February are closed for outsourcing.
--
-- Codes a demo can use:
--   vendors      V001 华东精工 (head office), V003 精工昆山 (its branch), V002 宏达电子,
--                V004 恒通物流 (freight), V005 新兴铸造 (operator demo has no right to it),
--                V009 东方五金 (stopped at the end of 2025)
--   items        P1001 钢板 (no conversion), P1002 六角螺栓 (个/箱 fixed, 箱 = 10),
--                P1003 漆包铜线 (千克/卷 floating), P1004 喷涂外壳 (free items 1 and 2),
--                P1005 密封圈 (free item 3), P1006 环氧树脂胶 (batch and shelf life),
--                P1007 深沟球轴承 (batch), P1008 代销润滑油 (consignment),
--                P1009 旧型号轴承 (stopped), W2001-W2003 outsourced parts,
--                S9001 运输费 (freight service), S9002 采购折扣 (discount), S9003 加工费 (service)
--   departments  01 采购部, 02 外协部, 03 生产中心 (not a leaf: 0301, 0302), 04 质检部, 05 财务部
--   currencies   人民币 (no rate: 1), 美元, 欧元 (daily and period rates), 日元
--   orders       CG2601001 audited and open, CG2601002 not audited, CG2512001 closed

-- Settings -------------------------------------------------------------------------------------

INSERT INTO accinformation (cSysID, cName, cCaption, cValue) VALUES
  ('PU', 'bControlTax',        '不控制税额容差',           'False'),
  ('PU', 'iSingleTax',         '单行税额容差',             '0.06'),
  ('PU', 'iSumTax',            '合计税额容差',             '0.36'),
  ('PU', 'bAccordVen',         '最新价格按供应商取',       'True'),
  ('PU', 'cOtherCostEditMode', '单价录入方式',             '最新价格'),
  ('PU', 'cCostSource',        '最新价格来源',             '订单'),
  ('PU', 'iXchgRateStl',       '汇率按期间（否则按日）',   'False'),
  ('ST', 'dGspStartDate',      'GSP启用日期',              ''),
  ('SA', 'bZYXS',              '有直运销售业务',           'False'),
  ('SA', 'bMustSO_zyxs',       '直运销售必有订单',         'False');

INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd) VALUES
  ('001', 2026,  1, '2026-01-01 00:00:00', '2026-01-31 00:00:00'),
  ('001', 2026,  2, '2026-02-01 00:00:00', '2026-02-28 00:00:00'),
  ('001', 2026,  3, '2026-03-01 00:00:00', '2026-03-31 00:00:00'),
  ('001', 2026,  4, '2026-04-01 00:00:00', '2026-04-30 00:00:00'),
  ('001', 2026,  5, '2026-05-01 00:00:00', '2026-05-31 00:00:00'),
  ('001', 2026,  6, '2026-06-01 00:00:00', '2026-06-30 00:00:00'),
  ('001', 2026,  7, '2026-07-01 00:00:00', '2026-07-31 00:00:00'),
  ('001', 2026,  8, '2026-08-01 00:00:00', '2026-08-31 00:00:00'),
  ('001', 2026,  9, '2026-09-01 00:00:00', '2026-09-30 00:00:00'),
  ('001', 2026, 10, '2026-10-01 00:00:00', '2026-10-31 00:00:00'),
  ('001', 2026, 11, '2026-11-01 00:00:00', '2026-11-30 00:00:00'),
  ('001', 2026, 12, '2026-12-01 00:00:00', '2026-12-31 00:00:00');

INSERT INTO gl_mend (iperiod, bflag, bflag_PU, bflag_ST, bflag_om) VALUES
  (1, 1, 1, 1, 1), (2, 0, 1, 1, 1), (3, 0, 0, 0, 0), (4, 0, 0, 0, 0), (5, 0, 0, 0, 0),
  (6, 0, 0, 0, 0), (7, 0, 0, 0, 0), (8, 0, 0, 0, 0), (9, 0, 0, 0, 0), (10, 0, 0, 0, 0),
  (11, 0, 0, 0, 0), (12, 0, 0, 0, 0);

-- Organisation and terms ---------------------------------------------------------------------

INSERT INTO Department (cDepCode, cDepName, iDepGrade, bDepEnd) VALUES
  ('01',   '采购部',     1, 1),
  ('02',   '外协部',     1, 1),
  ('03',   '生产中心',   1, 0),
  ('0301', '机加工车间', 2, 1),
  ('0302', '装配车间',   2, 1),
  ('04',   '质检部',     1, 1),
  ('05',   '财务部',     1, 1);

INSERT INTO Person (cPersonCode, cPersonName, cDepCode) VALUES
  ('0001', '王磊', '01'),
  ('0002', '李娜', '01'),
  ('0003', '张伟', '02'),
  ('0004', '刘洋', '0301'),
  ('0005', '陈静', '04'),
  ('0006', '赵敏', '05');

INSERT INTO PayCondition (cPayCode, cPayName, iPayCreDays) VALUES
  ('01', '货到付款',  0),
  ('02', '月结30天', 30),
  ('03', '月结60天', 60),
  ('04', '预付货款',  0);

INSERT INTO PurchaseType (cPTCode, cPTName) VALUES
  ('01', '生产采购'), ('02', '委外加工'), ('03', '办公采购');

INSERT INTO ShippingChoice (cSCCode, cSCName) VALUES
  ('01', '汽运'), ('02', '铁路'), ('03', '快递'), ('04', '自提');

INSERT INTO WareHouse (cWhCode, cWhName) VALUES
  ('01', '原材料库'), ('02', '半成品库'), ('03', '成品库'), ('04', '委外仓');

INSERT INTO AccountPeriod (cAccountPID, cAccountPName) VALUES
  ('01', '票到30天'), ('02', '票到60天');

-- Vendors --------------------------------------------------------------------------------------

INSERT INTO Vendor (cVenCode, cVenName, cVenAbbName, cVenHeadCode, cVenAddress, cVenIAddress,
                    cVenPostCode, cVenRegCode, cVenBank, cVenAccount, cVenPerson, cVenPhone,
                    cVenFax, cVenIType, cVenDepart, cVenPPerson, cVenPayCond, cVenWhCode,
                    cAccountPID, cVenDefine1, dEndDate) VALUES
  ('V001', '苏州华东精工机械有限公司', '华东精工', NULL,
   '苏州市吴中区木渎镇金枫路88号', '苏州市吴中区木渎镇金枫路88号2号仓库', '215101',
   '91320506MA1MC8XK2B', '中国工商银行苏州吴中支行', '1102020109000123456', '周建国',
   '0512-66281234', '0512-66281235', '01', '02', '0003', '02', '04', '01', 'A级', NULL),
  ('V002', '无锡宏达电子有限公司', '宏达电子', NULL,
   '无锡市新吴区长江路21号', '无锡市新吴区长江路21号', '214028',
   '91320214MA1N4R7Q3C', '中国银行无锡新区支行', '5063 5820 1122', '钱芳',
   '0510-85201188', '0510-85201189', '03', '01', '0001', '03', '01', '02', 'B级', NULL),
  ('V003', '苏州华东精工机械有限公司昆山分厂', '精工昆山', 'V001',
   '昆山市开发区前进东路518号', '昆山市开发区前进东路518号', '215300',
   '91320583MA1P6T2W8D', '中国建设银行昆山开发区支行', '3225 0198 8810 0000 1234', '孙海',
   '0512-57701234', NULL, '01', '02', '0003', '02', '04', '01', 'A级', NULL),
  ('V004', '常州恒通物流有限公司', '恒通物流', NULL,
   '常州市新北区通江中路66号', NULL, '213022',
   '91320411MA1Q2H5L7E', '江苏银行常州分行', '8011 0188 0001 2345', '吴刚',
   '0519-85106688', NULL, '01', '01', '0002', '01', NULL, NULL, NULL, NULL),
  ('V005', '南通新兴铸造有限公司', '新兴铸造', NULL,
   '南通市通州区兴东镇工业园8号', '南通市通州区兴东镇工业园8号', '226300',
   '91320612MA1R9K4M6F', '中国农业银行南通通州支行', '1073 0101 0400 5678', '郑强',
   '0513-86551234', NULL, '02', '02', '0003', '03', '04', '02', 'C级', NULL),
  ('V009', '宁波东方五金有限公司', '东方五金', NULL,
   '宁波市鄞州区五乡镇明伦路9号', NULL, '315111',
   '91330212MA2H7C3P1G', '宁波银行鄞州支行', '5101 0122 0003 1234', '冯伟',
   '0574-88121234', NULL, '03', '01', '0002', '02', '01', '01', NULL, '2025-12-31 00:00:00');

-- Units and items ------------------------------------------------------------------------------

INSERT INTO ComputationGroup (cGroupCode, cGroupName, iGroupType) VALUES
  ('01', '基本计量单位', 0),
  ('02', '个箱换算',     1),
  ('03', '线材换算',     2);

INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit, iNumber) VALUES
  ('0101', '千克', '01',   1, 1, 1),
  ('0102', '件',   '01',   1, 1, 2),
  ('0103', '米',   '01',   1, 1, 3),
  ('0104', '次',   '01',   1, 1, 4),
  ('0201', '个',   '02',   1, 1, 1),
  ('0202', '箱',   '02',  10, 0, 2),
  ('0203', '托',   '02', 200, 0, 3),
  ('0301', '千克', '03',   1, 1, 1),
  ('0302', '卷',   '03',  25, 0, 2);

INSERT INTO Inventory (cInvCode, cInvAddCode, cInvName, cInvStd, cInvCCode, cGroupCode,
                       iGroupType, cComUnitCode, cPUComUnitCode, iTaxRate, bPurchase,
                       bProxyForeign, bInvEntrust, bService, bInvType, bInvBatch, bInvQuality,
                       iMassDate, bPropertyCheck, bfree1, bfree2, bfree3, cInvDefine1, dSDate,
                       dEDate) VALUES
  ('P1001', 'GB-Q235-6', '钢板',       'Q235 6mm',      '01', '01', 0, '0101', NULL,   13, 1, 0, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 0, '宝钢', '2024-01-01 00:00:00', NULL),
  ('P1002', 'GB5783-M8', '六角螺栓',   'M8×30 8.8级',   '01', '02', 1, '0201', '0202', 13, 1, 0, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('P1003', NULL,        '漆包铜线',   'QZ-2 Φ0.5',     '01', '03', 2, '0301', NULL,   13, 1, 0, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('P1004', NULL,        '喷涂外壳',   'JN-200',        '01', '01', 0, '0102', NULL,   13, 1, 0, 0, 0, 0, 0, 0, NULL, 0, 1, 1, 0, NULL,   '2024-06-01 00:00:00', NULL),
  ('P1005', NULL,        '密封圈',     'NBR 50×3',      '01', '02', 1, '0201', '0202', 13, 1, 0, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 1, NULL,   '2024-06-01 00:00:00', NULL),
  ('P1006', NULL,        '环氧树脂胶', 'E-44 1kg/桶',   '01', '01', 0, '0101', NULL,   13, 1, 0, 0, 0, 0, 1, 1,   12, 1, 0, 0, 0, NULL,   '2025-01-01 00:00:00', NULL),
  ('P1007', NULL,        '深沟球轴承', '6204-2RS',      '01', '02', 1, '0201', '0202', 13, 1, 0, 0, 0, 0, 1, 0, NULL, 0, 0, 0, 0, 'SKF',  '2024-01-01 00:00:00', NULL),
  ('P1008', NULL,        '代销润滑油', '美孚 DTE 25',   '01', '01', 0, '0101', NULL,   13, 1, 0, 1, 0, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2025-03-01 00:00:00', NULL),
  ('P1009', NULL,        '旧型号轴承', '6203',          '01', '02', 1, '0201', '0202', 13, 1, 0, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2022-01-01 00:00:00', '2025-06-30 00:00:00'),
  ('W2001', 'JN-XT-100', '减速机箱体', 'HT250 铸铁',    '02', '01', 0, '0102', NULL,   13, 1, 1, 0, 0, 0, 0, 0, NULL, 1, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('W2002', 'JN-DG-100', '电机端盖',   'Y100 铝合金',   '02', '02', 1, '0201', '0202', 13, 1, 1, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('W2003', 'JN-CZ-040', '齿轮轴',     '40Cr 调质',     '02', '01', 0, '0102', NULL,   13, 1, 1, 0, 0, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('S9001', NULL,        '运输费',     NULL,            '09', '01', 0, '0104', NULL,    9, 1, 1, 0, 1, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('S9002', NULL,        '采购折扣',   NULL,            '09', '01', 0, '0104', NULL,   13, 1, 0, 0, 0, 1, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL),
  ('S9003', NULL,        '加工费',     NULL,            '09', '01', 0, '0104', NULL,   13, 1, 1, 0, 1, 0, 0, 0, NULL, 0, 0, 0, 0, NULL,   '2024-01-01 00:00:00', NULL);

INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode, cVenInvName) VALUES
  ('P1001', 'V001', 'HD-GB06',   '热轧钢板6mm'),
  ('W2001', 'V001', 'HD-XT-100', '箱体机加工'),
  ('W2003', 'V001', 'HD-CZ-40',  '齿轮轴精车'),
  ('W2002', 'V003', 'KS-DG-100', '端盖压铸'),
  ('P1003', 'V002', 'HD-CU05',   '铜线0.5');

-- Currencies and rates -------------------------------------------------------------------------

INSERT INTO ForeignCurrency (cexch_name, cexch_code, iDec) VALUES
  ('人民币', 'RMB', 2), ('美元', 'USD', 2), ('欧元', 'EUR', 2), ('日元', 'JPY', 0);

-- Daily rates (itype 1) on a few working days.
INSERT INTO exch (cexch_name, itype, cdate, nflat) VALUES
  ('美元', 1, '2026.01.05', 7.0312), ('美元', 1, '2026.01.15', 7.0288),
  ('美元', 1, '2026.03.02', 7.0156), ('美元', 1, '2026.11.20', 7.0856),
  ('欧元', 1, '2026.01.05', 7.6821), ('欧元', 1, '2026.03.02', 7.7012),
  ('欧元', 1, '2026.11.20', 7.7234), ('日元', 1, '2026.11.20', 0.0468);

-- Period rates (itype 2), by period number.
INSERT INTO exch (cexch_name, itype, cdate, nflat) VALUES
  ('美元', 2, '1', 7.03), ('美元', 2, '2', 7.02), ('美元', 2, '3', 7.02), ('美元', 2, '4', 7.04),
  ('美元', 2, '5', 7.05), ('美元', 2, '6', 7.06), ('美元', 2, '7', 7.06), ('美元', 2, '8', 7.07),
  ('美元', 2, '9', 7.08), ('美元', 2, '10', 7.08), ('美元', 2, '11', 7.09), ('美元', 2, '12', 7.1),
  ('欧元', 2, '1', 7.68), ('欧元', 2, '2', 7.69), ('欧元', 2, '3', 7.7), ('欧元', 2, '4', 7.71);

-- Projects and user-defined values -----------------------------------------------------------

INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES
  ('00', '存货核算', 'Inventory'),
  ('97', '研发项目', 'fitemss97'),
  ('98', '客户合同', 'fitemss98');

INSERT INTO fitemss97 (cItemCode, cItemName, cItemCcode, bclose) VALUES
  ('RD2601', '减速机轻量化研发', '01', 0),
  ('RD2602', '伺服电机端盖改型', '01', 0),
  ('RD2501', '旧型号箱体改进',   '01', 1);

INSERT INTO fitemss98 (cItemCode, cItemName, cItemCcode, bclose) VALUES
  ('HT2026001', '南方重工减速机合同',   '01', 0),
  ('HT2026002', '北方风电齿轮箱合同',   '01', 0);

-- Free item 1 (colour), 2 (surface), 3 (hardness), 4 (grade).
INSERT INTO UserDefine (cID, cValue, cAlias) VALUES
  ('20', '红色', 'R'), ('20', '蓝色', 'B'), ('20', '黑色', 'K'), ('20', '灰色', 'G'),
  ('21', '喷塑', 'PS'), ('21', '电镀', 'DD'), ('21', '发黑', 'FH'),
  ('28', '70度', '70A'), ('28', '80度', '80A'),
  ('29', '一等品', 'A'), ('29', '二等品', 'B');

-- Price history --------------------------------------------------------------------------------

INSERT INTO PO_Pomain (POID, cPOID, dPODate, cVenCode, cDepCode, cPersonCode, cexch_name, nflat,
                       iTaxRate, cPeriod, cMaker, cVerifier, cCloser) VALUES
  (1, 'CG2512001', '2025-12-15 00:00:00', 'V001', '01', '0001', '人民币', 1, 13, '2025-12', '王磊', '李娜', '李娜'),
  (2, 'CG2601001', '2026-01-08 00:00:00', 'V001', '01', '0001', '人民币', 1, 13, '2026-01', '王磊', '李娜', NULL),
  (3, 'CG2601002', '2026-01-20 00:00:00', 'V002', '01', '0002', '人民币', 1, 13, '2026-01', '李娜', NULL,   NULL),
  (4, 'CG2603001', '2026-03-02 00:00:00', 'V002', '01', '0002', '美元', 7.0156, 0, '2026-03', '李娜', '王磊', NULL);

INSERT INTO PO_Podetails (ID, POID, cInvCode, iQuantity, iUnitPrice, iTaxPrice, iPerTaxRate,
                          iMoney, iTax, iSum, dArriveDate) VALUES
  (1, 1, 'P1001', 1000, 4.35,  4.9155,   13, 4350,   565.5,  4915.5, '2025-12-22 00:00:00'),
  (2, 2, 'P1001', 2000, 4.2,   4.746,    13, 8400,   1092,   9492,   '2026-01-15 00:00:00'),
  (3, 2, 'P1002',  500, 0.35,  0.3955,   13, 175,    22.75,  197.75, '2026-01-15 00:00:00'),
  (4, 3, 'P1003',  300, 68,    76.84,    13, 20400,  2652,   23052,  '2026-02-05 00:00:00'),
  (5, 4, 'P1003',  200, 9.4,   9.4,       0, 1880,   0,      1880,   '2026-03-20 00:00:00'),
  (6, 4, 'P1007',  100, 1.22,  1.22,      0, 122,    0,      122,    '2026-03-20 00:00:00');

INSERT INTO PU_ArrivalVouch (ID, cCode, dDate, cVenCode, cBusType, cexch_name, iExchRate, iTaxRate) VALUES
  (1, 'DH2601001', '2026-01-15 00:00:00', 'V001', '普通采购', '人民币', 1, 13),
  (2, 'DH2603001', '2026-03-20 00:00:00', 'V002', '普通采购', '美元', 7.0156, 0);

INSERT INTO PU_ArrivalVouchs (Autoid, ID, cInvCode, iQuantity, iOriCost, iOriTaxCost, iTaxRate,
                              iOriMoney, iOriTaxPrice, iOriSum) VALUES
  (1, 1, 'P1001', 2000, 4.2,  4.746,  13, 8400, 1092,  9492),
  (2, 1, 'P1002',  500, 0.35, 0.3955, 13, 175,  22.75, 197.75),
  (3, 2, 'P1003',  200, 9.4,  9.4,     0, 1880, 0,     1880);

INSERT INTO PurBillVouch (PBVID, cPBVCode, cPBVBillType, dPBVDate, cVenCode, cexch_name, nflat, iPBVTaxRate) VALUES
  (1, 'FP2601001', '01', '2026-01-20 00:00:00', 'V001', '人民币', 1, 13),
  (2, 'FP2603001', '02', '2026-03-25 00:00:00', 'V002', '人民币', 1, 13);

INSERT INTO PurBillVouchs (ID, PBVID, cInvCode, iPBVQuantity, iOriCost, iTaxRate, iOriMoney, iOriTaxPrice, iOriSum) VALUES
  (1, 1, 'P1001', 2000, 4.2,   13, 8400, 1092,  9492),
  (2, 2, 'P1003',  100, 75.71, 13, 6700, 871,   7571);

INSERT INTO OM_ProductPO (ID, cCode, dDate, cVenCode, cDepCode, cPersonCode, cexch_name, nflat, cVerifier, cCloser) VALUES
  (1, 'WW2601001', '2026-01-10 00:00:00', 'V001', '02', '0003', '人民币', 1, '张伟', NULL),
  (2, 'WW2602001', '2026-02-12 00:00:00', 'V003', '02', '0003', '人民币', 1, '张伟', NULL);

INSERT INTO OM_POMain (MainID, ID, cInvCode, iQuantity, iMakeCharge, dArriveDate) VALUES
  (1, 1, 'W2001', 100, 85,   '2026-01-25 00:00:00'),
  (2, 1, 'W2003', 200, 12.5, '2026-01-25 00:00:00'),
  (3, 2, 'W2002', 300, 6.8,  '2026-02-26 00:00:00');

INSERT INTO OM_PurBillVouch (PBVID, cPBVCode, cPBVBillType, dPBVDate, cVenCode, cUnitCode, cexch_name, nflat, iPBVTaxRate, cSource) VALUES
  (1, 'WF2601001', '11', '2026-01-28 00:00:00', 'V001', 'V001', '人民币', 1, 13, '委外'),
  (2, 'WF2602001', '12', '2026-02-25 00:00:00', 'V003', 'V001', '人民币', 1, 13, '委外'),
  (3, 'WF2602002', '13', '2026-02-26 00:00:00', 'V004', 'V004', '人民币', 1,  9, '委外');

INSERT INTO OM_PurBillVouchs (ID, PBVID, cInvCode, iPBVQuantity, iOriCost, iTaxRate, iOriMoney, iOriTaxPrice, iOriSum) VALUES
  (1, 1, 'W2001', 100, 85,    13, 8500, 1105, 9605),
  (2, 1, 'W2003', 200, 12.5,  13, 2500, 325,  2825),
  (3, 2, 'W2002', 300, 7.684, 13, 2040, 265.2, 2305.2),
  (4, 3, 'S9001',   1, 450,    9, 450,  40.5, 490.5);

INSERT INTO PP_PPCMain (ID, cPeriod, iState) VALUES
  (1, '2025-12', 3), (2, '2026-01', 3), (3, '2026-03', 2);

-- Stand-in host ----------------------------------------------------------------------------------

-- Operator demo may enter every item and salesman, four of the vendors and every department but
-- finance; operator admin may enter everything.
INSERT INTO tw_data_right (cOperator, cKind, cCode, cRight) VALUES
  ('demo', 'Inventory', '*', 'W'),
  ('demo', 'Person', '*', 'W'),
  ('demo', 'Vendor', 'V001', 'W'), ('demo', 'Vendor', 'V002', 'W'),
  ('demo', 'Vendor', 'V003', 'W'), ('demo', 'Vendor', 'V004', 'W'),
  ('demo', 'Department', '01', 'W'), ('demo', 'Department', '02', 'W'),
  ('demo', 'Department', '0301', 'W'), ('demo', 'Department', '0302', 'W'),
  ('demo', 'Department', '04', 'W'),
  ('admin', 'Inventory', '*', 'W'), ('admin', 'Vendor', '*', 'W'),
  ('admin', 'Department', '*', 'W'), ('admin', 'Person', '*', 'W');

INSERT INTO tw_price (cVenCode, cInvCode, cexch_name, dFrom, dTo, fMinQuantity, iUnitPrice, iTaxRate) VALUES
  ('V001', 'P1001', '人民币', '2025-01-01 00:00:00', '2025-12-31 00:00:00',    0, 4.5,  13),
  ('V001', 'P1001', '人民币', '2026-01-01 00:00:00', NULL,                     0, 4.2,  13),
  ('V001', 'P1001', '人民币', '2026-01-01 00:00:00', NULL,                  1000, 4.05, 13),
  ('V001', 'P1002', '人民币', NULL,                  NULL,                     0, 0.35, 13),
  ('V001', 'W2001', '人民币', '2026-01-01 00:00:00', NULL,                     0, 85,   13),
  ('V001', 'W2003', '人民币', '2026-01-01 00:00:00', NULL,                     0, 12.5, 13),
  ('V003', 'W2002', '人民币', '2026-01-01 00:00:00', '2026-12-31 00:00:00',    0, 6.8,  13),
  ('V002', 'P1003', '人民币', '2026-01-01 00:00:00', NULL,                     0, 67,   13),
  ('V002', 'P1003', '美元',   '2026-01-01 00:00:00', NULL,                     0, 9.4,   0);

INSERT INTO tw_inspection (cVenCode, cInvCode) VALUES
  ('V001', 'W2001'), ('V003', 'W2002'), ('V002', 'P1006');
