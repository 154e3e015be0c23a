"""The Python binding over the shared library, and its example run as a user would run it.

Run by ctest with TALLYWARD_LIBRARY (the built library) and PYTHONPATH (bindings/python) set.
"""
import os
import subprocess
import sys
import tempfile
import unittest

import tallyward as tw

EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "bindings", "python", "example.py")
BODY = ("<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>"
        "<z:row editprop='A' cinvcode='' iquantity='1' igrouptype='0' iunitprice='2' ipertaxrate='13'/>"
        "</rs:data></xml>")


class Example(unittest.TestCase):
    def test_example_runs_both_checks(self):
        out = subprocess.run([sys.executable, EXAMPLE], capture_output=True, text=True, check=True).stdout
        self.assertIn("order body, whole pass:\n第[1]行数量不能为空，请检查！\n第[2]行存货不能为空，请检查！\n", out)
        self.assertIn("single-field check without R: error 13: ", out)
        self.assertIn("order head, vendor typed by name: accepted\n", out)
        self.assertIn("<head>\n<R K='cVenCode' V='V001'/>\n<R K='cVenAbbName' V='华东精工'/>\n", out)
        self.assertIn("the same for operator nobody: 对不起，您没有录入该供应商的权限！", out)


class Values(unittest.TestCase):
    def test_each_kind_goes_and_comes_back(self):
        arrive = tw.create("ClsS_VerifyArriveF")
        bill = tw.create("{CFA31A4F-F351-4D08-B18E-45DFEB8D576D}")
        cases = [  # (object, property, value given, value read back)
            (arrive, "m_UseMode", tw.BS, 1),
            (arrive, "m_bPositive", True, True),
            (arrive, "m_bPositive", "False", False),
            (arrive, "m_ConvertExchRate", 6.5, 6.5),
            (arrive, "m_ConvertExchRate", 7, 7.0),
            (bill, "sBillType", "委外发票", "委外发票"),
            (bill, "sBillType", 12.5, "12.5"),
        ]
        for target, name, given, wanted in cases:
            with self.subTest(name=name, given=given):
                target.put(name, given)
                got = target.get(name)
                self.assertEqual(got, wanted)
                self.assertIs(type(got), type(wanted))

    def test_dates_and_objects_come_back_as_themselves(self):
        info = tw.default_session().get("Information")
        self.assertIsInstance(info, tw.Object)
        start = info.get("startdate")
        self.assertIsInstance(start, tw.Date)
        self.assertEqual(start, 46023.0)  # 2026-01-01
        self.assertIsNone(tw.create("ClsS_VerifyHPO").get("m_Cnn"))  # Nothing

    def test_missing_leaves_an_optional_argument_out(self):
        order = tw.create("ClsS_VerifyFPO")
        self.assertEqual(order.call("VerifyBody", "all", tw.Document(BODY), tw.MISSING), "第[1]行存货不能为空，请检查！")
        self.assertEqual(order.call("VerifyBody", "iunitprice", tw.Document(BODY), 4), "第[4]行请先录入存货！")

    def test_values_without_a_kind_are_refused_before_the_call(self):
        with self.assertRaises(TypeError):
            tw.create("ClsS_VerifyFPO").put("m_UseMode", [1])


class Errors(unittest.TestCase):
    def test_run_time_errors_carry_number_and_description(self):
        order = tw.create("ClsS_VerifyFPO")
        cases = [
            (lambda: tw.create("Tallyward.Nothing"), 429, "Tallyward.Nothing"),
            (lambda: order.get("m_Cnn"), 438, "m_Cnn"),
            (lambda: order.put("m_UseMode", "abc"), 13, "Type mismatch"),
            (lambda: order.put("m_UseMode", 2**40), 6, "Overflow"),
            (lambda: tw.Document("<xml>"), 3002, "not well-formed"),
            (lambda: tw.connect("/nonexistent/erp.db"), 3001, "erp.db"),
            (lambda: tw.session({"Unknown": 1}), 5, "Unknown"),
            (lambda: order.call("VerifyBody", "all", "not a document"), 424, "document"),
        ]
        for call, number, part in cases:
            with self.subTest(number=number, part=part):
                with self.assertRaises(tw.Error) as caught:
                    call()
                self.assertEqual(caught.exception.number, number)
                self.assertIn(part, caught.exception.description)

    def test_a_released_object_is_not_set(self):
        order = tw.create("ClsS_VerifyFPO")
        order.release()
        order.release()
        with self.assertRaises(tw.Error) as caught:
            order.get("m_UseMode")
        self.assertEqual(caught.exception.number, 91)


class Database(unittest.TestCase):
    def test_a_connection_outlives_the_check_it_came_from(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "erp.db")
            tw.create_database(path, sample=False)
            with self.assertRaises(tw.Error) as caught:
                tw.create_database(path)
            self.assertEqual(caught.exception.number, 5)
            entry = tw.create("ClsS_VerifyHPO")
            tw.use_database(entry, tw.connect(path))
            connection = entry.get("m_Cnn")
            del entry
            self.assertEqual(connection.get("ConnectionString"), path)
            connection.release()


if __name__ == "__main__":
    unittest.main(verbosity=2)
