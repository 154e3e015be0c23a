#!/usr/bin/env bash
# Installs what is missing, builds, and shows Tallyward verifying the sample vouchers in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
tw=build/tallyward

# Runs one check and prints its command and answer; carriage returns in verdicts show as ⏎.
show() {
  echo "\$ tallyward verify $*"
  "$tw" verify "$@" | sed 's/\\r/⏎/g' || true
  echo
}

echo "== Outsourcing order, a correct voucher: every check passes (empty verdict) =="
show --class ClsS_VerifyFPO --method VerifyHead --key all --head examples/order_head_ok.xml
show --class ClsS_VerifyFPO --method VerifyBody --key all --body examples/order_body_ok.xml

echo "== The same order with faults, CS mode: the first error alone =="
show --class ClsS_VerifyFPO --method VerifyHead --key all --head examples/order_head_faulty.xml --mode CS
show --class ClsS_VerifyFPO --method VerifyBody --key all --body examples/order_body_faulty.xml --mode CS

echo "== BS mode: every error of the pass, each closed by a carriage return =="
show --class ClsS_VerifyFPO --method VerifyHead --key all --head examples/order_head_faulty.xml --mode BS
show --class ClsS_VerifyFPO --method VerifyBody --key all --body examples/order_body_faulty.xml --mode BS

echo "== A single-field check reports the row number the screen passes (R = 7) =="
show --class ClsS_VerifyFPO --method VerifyBody --key iunitprice --row 7 --body examples/order_body_faulty.xml

echo "== Altering an order: the quantity may not fall below what has been received =="
show --class ClsS_VerifyFPO --method VerifyBody --key iquantity --row 1 --set m_bAlterPO=true --body examples/order_body_altered.xml

echo "== Outsourcing invoice: amount rules (no carriage return) and the totals of a positive invoice =="
show --class ClsS_VerifyBillF --method VerifyHead --key all --head examples/invoice_head.xml --mode BS
show --class ClsS_VerifyBillF --method VerifyBody --key all --body examples/invoice_body.xml --mode BS --set sBillType=wwpurbill --set m_bPositive=true
show --class ClsS_VerifyBillF --method VerifyBody --key all --body examples/invoice_body.xml --mode BS --set sBillType=wwpurbill --set m_bPositive=false

echo "== Arrival note: way E ends a CS whole pass with the message and a carriage return =="
show --class ClsS_VerifyArriveF --method VerifyHead --key all --head examples/arrival_head.xml --mode BS
show --class ClsS_VerifyArriveF --method VerifyBody --key all --body examples/arrival_body.xml --mode BS --set m_bPositive=true
show --class ClsS_VerifyArriveF --method VerifyBody --key all --body examples/arrival_body.xml --mode CS --set m_bPositive=true

echo "== Requisition: the tax must not fall short of the computed tax =="
show --class ClsS_VerifyApplyF --method VerifyHead --key all --head examples/requisition_head.xml --mode BS
show --class ClsS_VerifyApplyF --method VerifyBody --key all --body examples/requisition_body.xml --mode CS
show --class ClsS_VerifyApplyF --method VerifyBody --key all --body examples/requisition_body.xml --mode BS

echo "== A single-field body check without R fails with a run-time error (exit status 3) =="
show --class ClsS_VerifyApplyF --method VerifyBody --key fquantity --body examples/requisition_body.xml

echo "== Field entry on the demo company (tallyward init-db build/demo.db --sample) =="
"$tw" init-db build/demo.db --sample --force
echo
echo "-- A vendor typed by its name fills the order head:"
show --class ClsS_VerifyHPO --method VerifyHead --key cVenAbbName --head examples/hpo_head_vendor.xml --db build/demo.db
echo "-- An item typed by its code fills its line (latest price, piece count, the vendor's price):"
show --class ClsS_VerifyHPO --method VerifyBody --key cInvCode --head examples/hpo_head_order.xml --body examples/hpo_body_item.xml --row 1 --db build/demo.db
echo "-- A stopped vendor is refused, and the head is left as it was:"
show --class ClsS_VerifyHPO --method VerifyHead --key cVenAbbName --head examples/hpo_head_stopped.xml --db build/demo.db
echo "-- bVerifyPoCode: an audited, open purchase order, and one not yet audited (with the statement sent):"
show --class ClsS_VerifyHPO --method bVerifyPoCode --po-code CG2601001 --db build/demo.db
show --class ClsS_VerifyHPO --method bVerifyPoCode --po-code CG2601002 --db build/demo.db --trace-sql
echo "-- Invoice head: a vendor typed by its name fills the head, its account period and the due date:"
show --class ClsS_VerifyBillH --method VerifyHead --key cVenAbbName_1 --head examples/billh_head_vendor.xml --db build/demo.db
echo "-- Invoice line: an item typed by its code fills its line (latest charge, freight flag, the vendor's price):"
show --class ClsS_VerifyBillH --method VerifyBody --key cInvCode --head examples/billh_head_invoice.xml --body examples/billh_body_item.xml --row 1 --db build/demo.db
echo "-- An invoice dated in February, a month closed for outsourcing, is refused before saving:"
show --class ClsS_VerifyBillH --method VerifyHead --key all --head examples/billh_head_closed.xml --db build/demo.db
echo "-- Requisition head: a salesman typed by name comes with his department; a whole pass in BS mode:"
show --class ClsS_VerifyApplyH --method VerifyHead --key cPersonName --head examples/applyh_head.xml --db build/demo.db
show --class ClsS_VerifyApplyH --method VerifyHead --key all --head examples/applyh_head.xml --mode BS --db build/demo.db
echo "-- Requisition line: an item typed as the line vendor's own code; a whole pass (dates, free items, vendor):"
show --class ClsS_VerifyApplyH --method VerifyBody --key cInvCode --row 1 --head examples/applyh_head.xml --body examples/applyh_body_item.xml --db build/demo.db
show --class ClsS_VerifyApplyH --method VerifyBody --key all --head examples/applyh_head.xml --body examples/applyh_body_faulty.xml --mode BS --db build/demo.db
echo "-- Arrival note: a new note date fills the rate of its currency on that day:"
show --class ClsS_VerifyArriveH --method VerifyHead --key dDate --head examples/arriveh_head_usd.xml --db build/demo.db
echo "-- An item typed by its code fills its arrival line (latest price, local price, pieces, cleared dates, the vendor's price):"
show --class ClsS_VerifyArriveH --method VerifyBody --key cInvCode --head examples/arriveh_head_note.xml --body examples/arriveh_body_item.xml --row 1 --set m_bPositive=true --db build/demo.db
echo "-- A whole pass over a faulty arrival head and body in BS mode:"
show --class ClsS_VerifyArriveH --method VerifyHead --key all --head examples/arriveh_head_wrong.xml --mode BS --db build/demo.db
show --class ClsS_VerifyArriveH --method VerifyBody --key all --head examples/arriveh_head_note.xml --body examples/arriveh_body_faulty.xml --mode BS --db build/demo.db
