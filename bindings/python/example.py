"""Two checks from Python on the demo company: a whole pass of an order body, and an order field
entry (a vendor typed by its name, answered with a fill-in reply).

    python3 bindings/python/example.py [DATABASE]

Without DATABASE the demo company is created in a temporary folder (as `tallyward init-db PATH
--sample` would). The library is found through $TALLYWARD_LIBRARY or as libtallyward.so.1.
"""
import os
import sys
import tempfile

import tallyward as tw

BODY = """<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>
<z:row editprop='A' cinvcode='P1001' iquantity='' igrouptype='0' iunitprice='12.5' ipertaxrate='13'/>
<z:row editprop='A' cinvcode='' iquantity='5' igrouptype='0' iunitprice='3' ipertaxrate='13'/>
</rs:data></xml>"""

HEAD = """<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>
<z:row cpoid='WW2603001' cexch_name='人民币' dpodate='2026-03-02' cvenabbname='华东精工'/>
</rs:data></xml>"""


def show(title, text):
    """Prints a verdict or reply, each carriage return (closing a message or line) as a line break."""
    print(title)
    if text:
        print(text.replace("\r", "\n"), end="" if text.endswith("\r") else "\n")


def main(database):
    # Whole-voucher check: no database. BS mode reports every error of the pass.
    order = tw.create("Tallyward.ClsS_VerifyFPO")
    order.put("m_UseMode", tw.BS)
    show("order body, whole pass:", order.call("VerifyBody", "all", tw.Document(BODY)))

    # A single-field check needs the row number R; without it the call fails with a run-time error.
    try:
        order.call("VerifyBody", "iquantity", tw.Document(BODY))
    except tw.Error as e:
        print("single-field check without R: error %d: %s" % (e.number, e.description))

    # Field-entry check: the database, the session, and a head whose vendor was typed by name.
    entry = tw.create("Tallyward.ClsS_VerifyHPO")
    tw.use_database(entry, tw.connect(database))
    entry.put("clsInfor", tw.default_session())
    head = tw.Document(HEAD)
    verdict = entry.call("VerifyHead", "cVenAbbName", head)
    print("order head, vendor typed by name:", "accepted" if verdict == "" else verdict)
    show("head after the check (the fill-in reply it loaded):", head.text)

    # The same vendor for an operator without rights to it.
    entry.put("clsInfor", tw.session({"OperaterCode": "nobody", "bCheckVendorAuth": True}))
    print("the same for operator nobody:", entry.call("VerifyHead", "cVenAbbName", tw.Document(HEAD)))


if __name__ == "__main__":
    if len(sys.argv) > 1:
        main(sys.argv[1])
    else:
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "demo.db")
            tw.create_database(path, sample=True)
            main(path)
