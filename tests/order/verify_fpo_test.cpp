#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

// A head and a line that pass every rule.
const Attributes kHead{{"cpoid", "WW0001"}, {"cexch_name", "人民币"}, {"nflat", "1"}, {"dpodate", "2026-11-20T00:00:00"},
                       {"cvencode", "V001"}, {"cvenabbname", "华东精工"}, {"cdepname", "采购部"}, {"ibargain", "0"},
                       {"itaxrate", "13"}, {"cbustype", "普通采购"}};
const Attributes kLine{{"cinvcode", "P1001"}, {"iquantity", "10"}, {"igrouptype", "0"}, {"iunitprice", "2"},
                       {"inatunitprice", "2"}, {"itaxprice", "2.26"}, {"imoney", "20"}, {"inatmoney", "20"},
                       {"isum", "22.6"}, {"inatsum", "22.6"}, {"darrivedate", "2026-12-01T00:00:00"},
                       {"ipertaxrate", "13"}};
const Attributes kFixed = with(kLine, {{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}});

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
// The changed line after an unchanged faulty one: counted, not checked, so its number is 2.
Doc second(const Attributes& changes) { return B({line({{"cinvcode", ""}}, ""), line(with(kLine, changes))}); }
Doc one(const Attributes& l, Variant R = 1, const std::string& edit = "A") { return B({line(l, edit)}, R); }
const Props kAlter{{"m_bAlterPO", true}};

const std::string kNoItem = "]行存货不能为空，请检查！", kNoQty = "]行数量不能为空，请检查！";
const std::string kPrice = "]行原币单价必须大于 0，请检查！", kNoRate = "]行税率未输入，请检查！！";
const std::string kReceived = "]行数量不能小于累计入库数量，请检查！";

const Case kCases[] = {
    {"head_passes", "all", BS, h({}), ""},
    {"head_interface_vendor_code", "all", BS, h({{"sysname", "Eai"}, {"cvencode", ""}}), "供应商不能为空，请检查！\r"},
    {"head_interface_ignores_abbreviation", "all", CS, h({{"sysname", "EAI"}, {"cvenabbname", ""}}), ""},
    {"head_no_mark_ignores_code", "all", CS, h({{"sysname", ""}, {"cvencode", ""}}), ""},
    {"head_bad_date", "all", CS, h({{"dpodate", "2026-02-30T00:00:00"}}), "订单日期录入错误，请检查！"},
    {"head_date_without_time", "all", CS, h({{"dpodate", "2026-11-20"}}), ""},
    {"head_zero_rate", "all", BS, h({{"nflat", "0"}}), "汇率必须大于零，请检查！\r"},
    {"head_negative_rate", "nflat", CS, h({{"nflat", "-1"}}), "汇率必须大于零，请检查！"},
    {"head_negative_deposit", "all", CS, h({{"ibargain", "-0.01"}}), "定金不能录入负数，请检查！"},
    {"head_tax_100", "all", BS, h({{"itaxrate", "100"}}), "税率必须在 0 到 100 之间，请检查！\r"},
    {"head_tax_zero_passes", "itaxrate", CS, h({{"itaxrate", "0"}}), ""},
    {"head_bus_type_blank", "all", CS, h({{"cbustype", "普通采购 "}}), "业务类型录入错误，请检查！"},
    {"head_bus_type_invoice_or_empty", "all", CS, h({{"cbustype", "委外发票"}}), ""},
    {"head_department_not_in_cs", "all", CS, h({{"cdepname", ""}}), ""},
    {"head_department_missing_bs", "all", BS, H(without(kHead, {"cdepname"})), "部门不能为空，请检查！\r"},
    // Every mandatory field empty: each told once (an empty date or rate is no wrong one), in rule order.
    {"head_bs_all_in_order", "ALL", BS,
     h({{"cpoid", ""}, {"cexch_name", ""}, {"nflat", ""}, {"dpodate", ""}, {"cvenabbname", ""}, {"cdepname", ""}, {"cbustype", ""}}),
     "订单编号不能为空，请检查！\r订单币种不能为空，请检查！\r订单汇率不能为空，请检查！\r订单日期不能为空，请检查！\r"
     "供应商不能为空，请检查！\r部门不能为空，请检查！\r"},
    {"head_cs_first", "all", CS, h({{"cpoid", ""}, {"cexch_name", ""}}), "订单编号不能为空，请检查！"},
    {"head_mandatory_left_to_pass", "cpoid", CS, h({{"cpoid", ""}}), ""},
    {"head_empty_rate_while_typing", "nflat", CS, h({{"nflat", ""}}), ""},
    {"head_unknown_key", "cmemo", CS, h({{"nflat", "0"}}), ""},
    {"head_without_rows", "all", CS, {true, {}}, errorText(err::ObjectNotSet)},

    {"lines_pass_deleted_and_unmarked_skipped", "all", CS,
     B({line(kLine), line(kLine, "M"), line({{"cinvcode", ""}}, "D"), {{"cinvcode", ""}}}), ""},
    {"deleted_line_skipped_single_field", "iquantity", CS, B({line({{"cinvcode", ""}}, "D")}, 1), ""},
    {"no_item", "all", CS, second({{"cinvcode", ""}}), row(2, kNoItem)},
    {"project_class_without_project", "all", BS, second({{"citem_class", "01"}}), row(2, "]行有项目大类，必须录入项目！\r")},
    {"no_quantity_collected_in_cs", "all", CS, second({{"iquantity", ""}}), row(2, kNoQty + CR)},
    {"floating_negative_quantity", "all", BS, second({{"iquantity", "-1"}, {"igrouptype", "2"}, {"cunitid", "卷"}}),
     row(2, "]行数量必须大于等于零，请检查！\r")},
    {"zero_quantity", "all", CS, second({{"iquantity", "0"}}), row(2, "]行数量必须大于零，请检查！")},
    {"zero_quantity_fixed", "iquantity", CS, B({line(with(kFixed, {{"iquantity", "0"}, {"inum", "1"}}))}, 2),
     row(2, "]行数量必须大于零，请检查！")},
    {"minus_zero_floating_passes", "all", CS, second({{"iquantity", "-0"}, {"igrouptype", "2"}, {"cunitid", "x"}, {"inum", "1"}}), ""},
    {"altered_below_received", "all", CS, B({line(with(kLine, {{"ireceivedqty", "11"}}))}), row(1, kReceived), kAlter},
    {"altered_below_invoiced", "all", BS, B({line(with(kLine, {{"iinvqty", "10.5"}}))}), row(1, "]行数量不能小于累计开票数量，请检查！\r"), kAlter},
    {"altered_first_exceeding_only", "all", BS, B({line(with(kLine, {{"iinvqty", "11"}, {"iarrqty", "12"}}))}),
     row(1, "]行数量不能小于累计开票数量，请检查！\r"), kAlter},
    {"altered_equal_passes", "all", CS, B({line(with(kLine, {{"ireceivedqty", "10"}, {"iinvqty", "10"}, {"iarrqty", "10"}}))}), "", kAlter},
    {"altered_zero_passes", "all", CS, B({line(with(kLine, {{"iquantity", "0"}}))}), "", kAlter},
    {"altered_negative_below_nothing", "all", CS, B({line(with(kLine, {{"iquantity", "-1"}}))}), row(1, kReceived), kAlter},
    {"not_altered_ignores_received", "all", CS, B({line(with(kLine, {{"ireceivedqty", "99"}}))}), ""},
    {"fixed_no_rate", "all", CS, second({{"igrouptype", "1"}, {"cunitid", "箱"}, {"inum", "1"}}), row(2, "]行换算率不能为空，请检查！\r")},
    {"negative_rate", "all", BS, second({{"igrouptype", "2"}, {"iinvexchrate", "-0.5"}, {"cunitid", "箱"}, {"inum", "1"}}),
     row(2, "]行换算率必须大于等于 0，请检查！\r")},
    {"interface_mark_skips_rate", "all", CS, one(with(kFixed, {{"iinvexchrate", ""}, {"sysname", "eai"}, {"inum", "1"}})), ""},
    {"upper_mark_does_not_skip_rate", "all", BS, one(with(kFixed, {{"iinvexchrate", ""}, {"sysname", "EAI"}, {"inum", "1"}})),
     row(1, "]行换算率不能为空，请检查！\r")},
    {"no_unit", "all", CS, second({{"igrouptype", "2"}, {"inum", "1"}}), row(2, "]行计量单位不能为空，请检查！\r")},
    {"no_pieces", "all", BS, second({{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}}), row(2, "]行件数不能为空，请检查！\r")},
    {"floating_both_zero", "all", CS, second({{"igrouptype", "2"}, {"iquantity", "0"}, {"cunitid", "卷"}, {"inum", "0"}}),
     row(2, "]行数量和件数不能同时为零，请检查！\r")},
    {"floating_both_zero_not_while_typing", "inum", BS, one(with(kLine, {{"igrouptype", "2"}, {"cunitid", "卷"}, {"iquantity", "0"}})), ""},
    {"fixed_zero_pieces", "all", BS, second({{"igrouptype", "1"}, {"iinvexchrate", "10"}, {"cunitid", "箱"}, {"inum", "0"}}),
     row(2, "]行件数必须大于 0，请检查！\r")},
    {"fixed_negative_pieces", "inum", CS, one(with(kFixed, {{"inum", "-2"}}), 5), row(5, "]行件数必须大于 0，请检查！")},
    {"fixed_empty_pieces_while_typing", "inum", CS, one(with(kFixed, {{"inum", ""}}), 5), ""},
    {"negative_price", "all", BS, second({{"iunitprice", "-1"}}), row(2, kPrice + CR)},
    {"zero_price_passes", "all", CS, one(with(kLine, {{"iunitprice", "0"}})), ""},
    {"unreadable_price_reads_0", "all", CS, one(with(kLine, {{"iunitprice", "abc"}})), ""},
    {"negative_local_price", "all", CS, second({{"inatunitprice", "-1"}}), row(2, "]行本币单价必须大于 0，请检查！")},
    {"negative_price_with_tax", "all", BS, second({{"itaxprice", "-0.01"}}), row(2, "]行含税单价不能小于 0，请检查！\r")},
    {"negative_money", "all", CS, second({{"imoney", "-1"}}), row(2, "]行原币金额必须大于零，请检查！")},
    {"negative_local_money", "all", BS, second({{"inatmoney", "-1"}}), row(2, "]行本币金额必须大于零，请检查！\r")},
    {"negative_sum", "all", CS, second({{"isum", "-1"}}), row(2, "]行原币价税合计必须大于零，请检查！")},
    {"negative_local_sum", "all", BS, second({{"inatsum", "-1"}}), row(2, "]行本币价税合计必须大于零，请检查！\r")},
    {"bad_arrival_date", "all", CS, second({{"darrivedate", "2026-13-01"}}), row(2, "]行到货日期录入错误，请检查！")},
    {"empty_arrival_date_while_typing", "darrivedate", CS, one(with(kLine, {{"darrivedate", ""}})), ""},
    {"tax_100", "all", BS, second({{"ipertaxrate", "100"}}), row(2, "]行税率必须在 0 到 100 之间，请检查！\r")},
    {"tax_edges_pass", "all", CS, B({line(with(kLine, {{"ipertaxrate", "99.99"}})), line(with(kLine, {{"ipertaxrate", "0"}}))}), ""},
    {"no_tax_rate", "all", CS, second({{"ipertaxrate", ""}}), row(2, kNoRate)},
    {"project_before_class", "all", BS, second({{"citemcode", "X01"}}), row(2, "]行在没有输入项目大类之前，请参照输入项目！\r")},
    {"bs_line_in_rule_order", "all", BS, B({line(with(kLine, {{"cinvcode", ""}, {"iunitprice", "-1"}, {"ipertaxrate", ""}}))}),
     row(1, kNoItem + CR) + row(1, kPrice + CR) + row(1, kNoRate + CR)},
    {"cs_at_once_drops_collected", "all", CS, B({line(with(kLine, {{"iquantity", ""}})), line(with(kLine, {{"iunitprice", "-1"}}))}), row(2, kPrice)},
    {"bs_collects_both", "all", BS, B({line(with(kLine, {{"iquantity", ""}})), line(with(kLine, {{"iunitprice", "-1"}}))}),
     row(1, kNoQty + CR) + row(2, kPrice + CR)},
    {"unchanged_counted_not_checked", "all", CS, B({line(with(kLine, {{"iunitprice", "-1"}}), ""), line(kLine)}), ""},
    {"single_field_uses_R", "IUNITPRICE", CS, B({line(kLine), line(with(kLine, {{"iunitprice", "-1"}}))}, 7), row(7, kPrice)},
    {"single_field_checks_unchanged", "iunitprice", BS, one(with(kLine, {{"iunitprice", "-1"}}), 3, ""), row(3, kPrice)},
    {"R_as_text", "iunitprice", CS, one(with(kLine, {{"iunitprice", "-1"}}), "12"), row(12, kPrice)},
    {"item_first", "iquantity", CS, one(with(kLine, {{"cinvcode", ""}, {"iquantity", ""}}), 4), row(4, "]行请先录入存货！")},
    {"item_key_itself", "cinvcode", CS, one(with(kLine, {{"cinvcode", ""}}), 4), ""},
    {"vendor_key_no_item_check", "cVenAbbName", CS, one(with(kLine, {{"cinvcode", ""}}), 4), ""},
    {"empty_value_ends_call", "iquantity", CS,
     B({line(with(kLine, {{"iquantity", ""}})), line(with(kLine, {{"iquantity", "-3"}}))}, 1), ""},
    {"negative_before_empty", "iquantity", CS,
     B({line(with(kLine, {{"iquantity", "-3"}})), line(with(kLine, {{"iquantity", ""}}))}, 1), row(1, "]行数量必须大于零，请检查！")},
    {"no_rate_for_tax", "itax", CS, one(with(kLine, {{"ipertaxrate", ""}}), 2), row(2, kNoRate)},
    {"no_rate_for_local_sum", "inatsum", CS, one(with(kLine, {{"ipertaxrate", ""}}), 2), row(2, kNoRate)},
    {"no_rate_not_for_money", "imoney", CS, one(with(kLine, {{"ipertaxrate", ""}}), 2), ""},
    {"no_rate_not_for_rate", "ipertaxrate", CS, one(with(kLine, {{"ipertaxrate", ""}}), 2), ""},
    // Rows in changing attribute orders are read by their own fields.
    {"attribute_order_changes", "all", BS,
     B({line(kLine), line({{"ipertaxrate", "13"}, {"imoney", "-20"}, {"igrouptype", "0"}, {"iquantity", "10"}}),
        line(with(without(kLine, {"cinvcode"}), {{"cinvcodex", "P3"}})), line(kLine)}),
     row(2, kNoItem + CR) + row(2, "]行原币金额必须大于零，请检查！\r") + row(3, kNoItem + CR)},
    {"unreadable_pieces", "all", CS, one(with(kFixed, {{"inum", "abc"}})), errorText(err::TypeMismatch)},
    {"single_field_without_R", "iquantity", CS, one(kLine, Variant::missing()), errorText(err::TypeMismatch)},
    {"unreadable_R", "iquantity", CS, one(kLine, "x"), errorText(err::TypeMismatch)},
};

TW_WHOLE_VOUCHER_CASES(OrderFpo, "ClsS_VerifyFPO", kCases);

TEST(OrderFpoCall, NoDocumentIsError91) {
  auto check = createObject("ClsS_VerifyFPO");
  try {
    check->call("VerifyBody", {Variant("all"), Variant(), Variant::missing()});
    ADD_FAILURE() << "a verdict without a document";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::ObjectNotSet);
  }
}

}  // namespace
}  // namespace tallyward::test
