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
