// The order's field-entry class on a real ERP database.
#pragma once

#include "support/erp_fixture.h"

namespace tallyward::test {

class HpoTest : public ErpDatabaseTest {
 protected:
  HpoTest() {
    hpo.m_Cnn = cnn;
    hpo.clsInfor = context();
  }
  ~HpoTest() override { hpo.m_Cnn.reset(); }

  ClsS_VerifyHPO hpo;
};

}  // namespace tallyward::test
