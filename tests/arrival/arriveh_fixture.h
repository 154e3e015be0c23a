// The arrival note's field-entry class on a real ERP database.
#pragma once

#include "support/erp_fixture.h"

namespace tallyward::test {

class ArriveHTest : public ErpDatabaseTest {
 protected:
  ArriveHTest() {
    arrive.m_Cnn = cnn;
    arrive.clsInfor = context();
    arrive.m_bPositive = true;
  }
  ~ArriveHTest() override { arrive.m_Cnn.reset(); }

  ClsS_VerifyArriveH arrive;
};

// The number of the run-time error a call fails with; 0 when it gives a verdict.
template <class F>
int errorOf(F&& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tallyward::test
