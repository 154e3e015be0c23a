// The requisition's field-entry class on a real ERP database with a few master-data rows.
#pragma once

#include "support/erp_fixture.h"

namespace tallyward::test {

class ApplyHTest : public ErpDatabaseTest {
 protected:
  ApplyHTest() {
    apply.m_Cnn = cnn;
    apply.clsInfor = context();
    sql(R"(
      INSERT INTO Department (cDepCode, cDepName, bDepEnd) VALUES
        ('01', '采购部', 1), ('03', '生产中心', 0), ('07', 'O''Brien & <Co>', 1);
      INSERT INTO Person (cPersonCode, cPersonName, cDepCode) VALUES ('0001', '王磊', '01'), ('0002', '赵敏', NULL);
      INSERT INTO PayCondition (cPayCode, cPayName) VALUES ('01', '货到付款');
      INSERT INTO PurchaseType (cPTCode, cPTName) VALUES ('01', '生产采购');
      INSERT INTO Vendor (cVenCode, cVenAbbName, dEndDate) VALUES
        ('V001', '华东精工', NULL), ('V007', 'O''Brien', NULL), ('V009', '东方五金', '2025-12-31 00:00:00');
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit) VALUES
        ('0101', '千克', '01', 1, 1);
      INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, cInvStd, cInvCCode, cComUnitCode, iTaxRate,
                             cInvDefine1, bPurchase, bService, bInvType, bInvEntrust, dEDate, bfree3) VALUES
        ('A00', 'B02', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, NULL, 0),
        ('A01', '螺栓', 'ADD1', 'M8', '01', '0101', 13, '宝钢', 1, 0, 0, 0, NULL, 1),
        ('B02', 'A01', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, NULL, 0),
        ('E01', '代销油', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 1, NULL, 0),
        ('S01', '运输费', NULL, NULL, '09', '0101', 9, NULL, 1, 1, 0, 0, NULL, 0),
        ('D01', '折扣', NULL, NULL, '09', '0101', 13, NULL, 1, 0, 1, 0, NULL, 0),
        ('N01', '自制件', NULL, NULL, '02', '0101', 13, NULL, 0, 0, 0, 0, NULL, 0),
        ('X01', '旧轴承', NULL, NULL, '01', '0101', 13, NULL, 1, 0, 0, 0, '2025-06-30 00:00:00', 0),
        ('Q01', 'O''Brien & <Co>', NULL, NULL, '01', NULL, NULL, NULL, 1, 0, 0, 0, NULL, 0);
      UPDATE Inventory SET bfree1 = 1, bfree2 = 1, bfree10 = 1 WHERE cInvCode = 'A01';
      INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('A01', 'V001', 'HD-88');
      INSERT INTO fItem (cItem_Class, cItem_Name, cTable) VALUES
        ('97', '研发项目', 'fitemss97'), ('00', '存货核算', 'INVENTORY');
      INSERT INTO fitemss97 (cItemCode, cItemName) VALUES ('RD1', '轻量化');
      INSERT INTO UserDefine (cID, cValue, cAlias) VALUES
        ('20', '红', 'R'), ('21', '大', NULL), ('28', '70度', NULL), ('35', '甲', NULL);
    )");
  }
  ~ApplyHTest() override { apply.m_Cnn.reset(); }

  ClsS_VerifyApplyH apply;
};

}  // namespace tallyward::test
