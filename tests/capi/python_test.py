"""What the Python binding adds to the C interface: values of Python's types both ways, run-time
errors as exceptions, object lifetimes, and its example run as a user would run it. Run by ctest
with TALLYWARD_LIBRARY (the built library) and PYTHONPATH (bindings/python) set.
"""
import os
import subprocess
import sys
import unittest

import tallyward as tw

EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "bindings", "python", "example.py")
BODY = ("<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data><z:row editprop='A' "
        "cinvcode='' iquantity='1' igrouptype='0' iunitprice='2' ipertaxrate='13'/></rs:data></xml>")


class Binding(unittest.TestCase):
    def test_the_example_runs_both_checks(self):
        out = subprocess.run([sys.executable, EXAMPLE], capture_output=True, text=True, check=True).stdout
        for part in ["order body, whole pass:\n第[1]行数量不能为空，请检查！\n第[2]行存货不能为空，请检查！\n",
                     "single-field check without R: error 13: ", "order head, vendor typed by name: accepted\n",
                     "<head>\n<R K='cVenCode' V='V001'/>\n<R K='cVenAbbName' V='华东精工'/>\n",
                     "the same for operator nobody: 对不起，您没有录入该供应商的权限！"]:
            self.assertIn(part, out)

    def test_values_go_and_come_back_as_their_own_types(self):
        arrive, bill = tw.create("ClsS_VerifyArriveF"), tw.create("{CFA31A4F-F351-4D08-B18E-45DFEB8D576D}")
        for target, name, given, wanted in [(arrive, "m_UseMode", tw.BS, 1), (arrive, "m_bPositive", "False", False),
                                            (arrive, "m_ConvertExchRate", 7, 7.0), (bill, "sBillType", 12.5, "12.5")]:
            with self.subTest(name=name, given=given):
                target.put(name, given)
                self.assertEqual((target.get(name), type(target.get(name))), (wanted, type(wanted)))
        start = tw.default_session().get("Information").get("startdate")
        self.assertEqual((type(start), start), (tw.Date, 46023.0))  # 2026-01-01
        self.assertIsNone(tw.create("ClsS_VerifyHPO").get("m_Cnn"))  # Nothing
        order = tw.create("ClsS_VerifyFPO")
        self.assertEqual(order.call("VerifyBody", "iunitprice", tw.Document(BODY), 4), "第[4]行请先录入存货！")
        with self.assertRaises(TypeError):
            order.put("m_UseMode", [1])

    def test_run_time_errors_carry_number_and_description(self):
        order, released = tw.create("ClsS_VerifyFPO"), tw.create("ClsS_VerifyFPO")
        released.release()
        released.release()  # a second release does nothing
        for call, number, part in [(lambda: tw.create("Tallyward.Nothing"), 429, "Tallyward.Nothing"),
                                   (lambda: order.put("m_UseMode", 2**40), 6, "Overflow"),
                                   (lambda: order.call("VerifyBody", "all", "not a document"), 424, "document"),
                                   (lambda: released.get("m_UseMode"), 91, "")]:
            with self.subTest(number=number, part=part):
                with self.assertRaises(tw.Error) as caught:
                    call()
                self.assertEqual(caught.exception.number, number)
                self.assertIn(part, caught.exception.description)


if __name__ == "__main__":
    unittest.main(verbosity=2)
