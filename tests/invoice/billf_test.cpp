#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

// An outsourcing invoice head entered by abbreviation, and a line (10 at 10, 13 % tax) that pass
// every rule of every kind of invoice.
const Attributes kHead{{"csource", "委外"}, {"cbustype", "委外发票"}, {"cvenabbname", "华东精工"},
                       {"cpbvbilltype", "专用发票"}, {"cpbvcode", "FP0001"}, {"cexch_name", "人民币"},
                       {"cexchrate", "1"}, {"dpbvdate", "2026-11-20T00:00:00"}, {"cvenabbname_1", "华东精工"},
                       {"cdepname", "采购部"}, {"dvoudate", "2026-11-20"}, {"ipbvtaxrate", "13"}};
const Attributes kLine{{"cinvcode", "P1001"}, {"ipbvquantity", "10"}, {"iorimoney", "100"}, {"igrouptype", "0"},
                       {"cunitid", "个"}, {"binvtype", "False"}, {"bservice", "0"}, {"ioricost", "10"},
                       {"icost", "10"}, {"itaxrate", "13"}, {"iorisum", "113"}, {"isum", "113"}, {"imoney", "100"}};

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
// The changed line after an unchanged one whose faults (and unreadable flag) are not looked at.
Doc second(const Attributes& changes) {
  return B({line(with(kLine, {{"cinvcode", ""}, {"binvtype", ""}}), ""), line(with(kLine, changes))});
}
// The line alone, left unchanged, for a single-field check with R = 7.
Doc seven(const Attributes& changes) { return B({line(with(kLine, changes), "")}, 7); }
// Unchanged lines holding a quantity and an amount: counted in the totals, not checked.
Doc amounts(std::initializer_list<std::pair<const char*, const char*>> lines) {
  Doc d = B({});
  for (const auto& [quantity, amount] : lines) d.rows.push_back(line({{"ipbvquantity", quantity}, {"iorimoney", amount}}, ""));
  return d;
}
Props kind(const char* type, bool positive = true) { return {{"sBillType", type}, {"m_bPositive", positive}}; }
const Props kOut = kind("wwpurbill"), kFreight = kind("wwypurbill");

const std::string kNoItem = "]行存货不能为空，请检查！", kNoUnit = "]行计量单位不能为空，请检查！";
const std::string kNegRate = "]行换算率必须大于等于 0，请检查！", kNoTax = "]行税率未输入，请检查！！";
const std::string kOriPrice = "]行原币单价必须大于等于 0，请检查！", kPrice = "]行本币单价必须大于等于 0，请检查！";
const std::string kTaxRange = "]行税率必须在 0 到 100 之间，请检查！";
const std::string kOriSign = "]行原币金额必须与原币税价合计符号相同，请检查！";
const std::string kSign = "]行本币金额必须与本币税价合计符号相同，请检查！";
const std::string kNoOriMoney = "]行原币金额不能为空(可以为零)，请检查！", kNoMoney = "]行本币金额不能为空(可以为零)，请检查！";
const std::string kNoBoth = "]行数量和金额不能同时为空或为零，请检查！";
const std::string kPositive = "正发票的数量合计不能小于0，金额合计必须大于0！";
const std::string kNegative = "负发票的数量合计不能大于零，金额合计必须小于0！";
const std::string kPosFreight = "正运费发票金额合计必须大于0！", kNegFreight = "负运费发票金额合计必须小于0！";
const std::string kBothZero = "发票的数量和金额合计不能同时为零！";
const std::string kMismatch = errorText(err::TypeMismatch);

const Case kCases[] = {
    // Every mandatory field empty: each told once, in rule order; client mode stops at the first.
    {"head_bs_every_mandatory_empty", "all", BS,
     h({{"cbustype", ""}, {"cvenabbname", ""}, {"cpbvbilltype", ""}, {"cpbvcode", ""}, {"cexch_name", ""}, {"cexchrate", ""},
        {"dpbvdate", ""}, {"cvenabbname_1", ""}, {"cdepname", ""}}),
     "业务类型不能为空，请检查！\r代垫单位不能为空，请检查！\r发票类别不能为空，请检查！\r发票号不能为空，请检查！\r发票币种不能为空，请检查！\r"
     "发票汇率不能为空，请检查！\r录入日期不能为空，请检查！\r供应商不能为空，请检查！\r部门不能为空，请检查！\r"},
    {"head_cs_first_mandatory", "all", CS, h({{"cpbvcode", ""}, {"cvenabbname_1", ""}}), "发票号不能为空，请检查！"},
    {"head_interface_codes", "all", BS, h({{"sysname", "Eai"}, {"cunitcode", ""}, {"cvencode", ""}}),
     "代垫单位不能为空，请检查！\r供应商不能为空，请检查！\r"},
    {"head_interface_ignores_names", "all", CS,
     h({{"sysname", "EAI"}, {"cunitcode", "V"}, {"cvencode", "V"}, {"cvenabbname", ""}, {"cvenabbname_1", ""}}), ""},
    {"head_department_not_in_cs", "all", CS, h({{"cdepname", ""}}), ""},
    {"head_lower_t_does_not_cut", "all", CS, h({{"dpbvdate", "2026-11-20t00:00:00"}}), "录入日期录入错误，请检查！"},
    {"head_bad_invoice_date", "all", BS, h({{"dvoudate", "2026-13-01"}}), "发票日期录入错误，请检查！\r"},
    {"head_purchase_outsourcing_type", "cbustype", CS, h({{"csource", "采购"}, {"cbustype", "委外发票"}}), "业务类型录入错误，请检查！"},
    {"head_other_source_any_type", "all", CS, h({{"csource", "其他"}, {"cbustype", "随便"}}), ""},
    {"head_unreadable_rate", "all", CS, h({{"cexchrate", "abc"}}), "汇率必须大于零，请检查！"},
    {"head_edges_pass", "all", BS, h({{"dpbvdate", "2026-11-20T10:20:30"}, {"dvoudate", ""}, {"ipbvtaxrate", "0"}, {"cexchrate", "0.0001"}}), ""},
    {"head_unreadable_tax_reads_0", "ipbvtaxrate", CS, h({{"ipbvtaxrate", "abc"}}), ""},
    {"head_bs_all_in_order", "ALL", BS,
     H(with(without(kHead, {"cdepname"}), {{"ipbvtaxrate", "120"}, {"cvenabbname_1", ""}, {"dpbvdate", "2026-02-30"}})),
     "供应商不能为空，请检查！\r部门不能为空，请检查！\r录入日期录入错误，请检查！\r税率必须在 0 到 100 之间，请检查！\r"},
    {"head_mandatory_left_to_pass", "cpbvcode", BS, h({{"cpbvcode", ""}, {"cexchrate", ""}}), ""},
    {"head_first_row_only", "all", CS, {true, {kHead, with(kHead, {{"cpbvcode", ""}})}}, ""},
    {"head_without_rows", "ipbvtaxrate", CS, {true, {}}, errorText(err::ObjectNotSet)},
    {"no_item", "all", CS, second({{"cinvcode", ""}}), row(2, kNoItem), kOut},
    {"no_quantity_nor_money", "all", BS, second({{"ipbvquantity", ""}, {"iorimoney", "abc"}}), row(2, kNoBoth + CR), kOut},
    {"project_class_without_project", "all", CS, second({{"citem_class", "01"}}), row(2, "]行有项目大类，必须录入项目！"), kOut},
    {"fixed_no_rate_collected_in_cs", "all", CS, second({{"igrouptype", "1"}, {"sysname", "EAI"}}), row(2, "]行换算率不能为空，请检查！\r"), kOut},
    {"fixed_no_rate_not_while_typing", "iinvexchrate", CS, seven({{"igrouptype", "1"}}), "", kOut},
    {"interface_line_skips_rate", "all", BS, second({{"igrouptype", "1"}, {"sysname", "eai"}, {"iinvexchrate", "-1"}}), "", kOut},
    {"negative_rate_empty_group", "IINVEXCHRATE", BS, seven({{"igrouptype", ""}, {"iinvexchrate", "-0.5"}}), row(7, kNegRate), kOut},
    {"single_unit_ignores_rate", "all", CS, second({{"igrouptype", "0"}, {"iinvexchrate", "-0.5"}}), "", kOut},
    {"no_unit", "all", BS, second({{"cunitid", ""}, {"igrouptype", "2"}, {"iinvexchrate", "3"}}), row(2, kNoUnit + CR), kOut},
    {"negative_price", "ioricost", CS, seven({{"ioricost", "-0.01"}}), row(7, kOriPrice), kOut},
    {"service_negative_prices", "icost", CS, seven({{"ioricost", "-1"}, {"bservice", "-1"}, {"icost", "-1"}}), "", kOut},
    {"tax_100", "itaxrate", CS, seven({{"itaxrate", "100"}}), row(7, kTaxRange), kOut},
    {"no_tax_rate", "itax", CS, seven({{"itaxrate", ""}}), row(7, kNoTax), kOut},
    {"project_before_class", "citemcode", CS, seven({{"citemcode", "X01"}}), row(7, "]行在没有输入项目大类之前，请参照输入项目！"), kOut},
    {"empty_project_with_class_while_typing", "citemcode", BS, seven({{"citemcode", ""}, {"citem_class", "01"}}), "", kOut},
    {"opposite_money_appended", "all", BS, second({{"iorimoney", "-100"}}), row(2, kOriSign), kOut},
    {"opposite_money_at_once", "iorimoney", BS, seven({{"iorisum", "-1"}}), row(7, kOriSign), kOut},
    {"tiny_opposite_money", "all", CS, second({{"iorimoney", "1e-200"}, {"iorisum", "-1e-200"}}), row(2, kOriSign), kOut},
    {"opposite_local_money", "imoney", CS, seven({{"imoney", "-100"}}), row(7, kSign), kOut},
    {"zero_money_passes_sign", "imoney", CS, seven({{"iorimoney", "0"}, {"iorisum", "-5"}, {"imoney", "-5"}, {"isum", ""}}), "", kOut},
    {"freight_no_ori_sum", "all", BS, second({{"iorisum", ""}}), row(2, "]行本币金额不能为空或者为零，请检查！"), kFreight},
    {"freight_zero_sums_pass", "all", BS, second({{"iorisum", "0"}, {"isum", "0"}, {"iorimoney", "-50"}, {"imoney", ""}}), "", kFreight},
    {"other_kind_no_ori_money", "iorisum", CS, seven({{"iorisum", ""}}), row(7, kNoOriMoney), kind("")},
    {"kind_compared_exactly", "all", BS, second({{"isum", ""}}), row(2, kNoMoney), kind("WWYPURBILL")},
    {"bs_lines_in_order", "all", BS,
     B({line(with(kLine, {{"cinvcode", ""}, {"ipbvquantity", ""}, {"iorimoney", ""}, {"imoney", ""}, {"itaxrate", ""}})),
        line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "2"}}))}),
     row(1, kNoItem + CR) + row(1, kNoBoth + CR) + row(1, kNoTax + CR) + row(1, kNoOriMoney) + row(1, kNoMoney) +
         row(2, kNoUnit + CR), kOut},
    {"cs_at_once_drops_collected", "all", CS,
     B({line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "2"}})), line(with(kLine, {{"cinvcode", ""}}))}),
     row(2, kNoItem), kOut},
    {"deleted_and_unmarked_not_counted", "all", CS,
     B({line(with(kLine, {{"icost", "-1"}}), "D"), with(kLine, {{"icost", "-1"}}), line(with(kLine, {{"cinvcode", ""}}))}), row(1, kNoItem), kOut},
    {"unchanged_lines_counted", "all", CS,
     B({line(with(kLine, {{"cinvcode", ""}}), ""), line(with(kLine, {{"cinvcode", ""}}), ""), line(with(kLine, {{"cinvcode", ""}}), "M")}),
     row(3, kNoItem), kOut},
    {"missing_field_reads_empty", "all", CS, B({line(kLine), line(without(kLine, {"cinvcode"}))}), row(2, kNoItem), kOut},
    {"item_first", "iPBVQuantity", BS, seven({{"cinvcode", ""}}), row(7, "]行请先录入存货！"), kOut},
    {"item_key_itself", "cinvcode", BS, seven({{"cinvcode", ""}}), "", kOut},
    {"first_report_ends_single_field", "icost", BS,
     B({line(with(kLine, {{"icost", "-1"}})), line(with(kLine, {{"icost", "-1"}, {"cinvcode", ""}}))}, "4"), row(4, kPrice), kOut},
    {"no_lines_single_field", "icost", BS, B({}, 4), "", kOut},
    {"empty_price_ends_call", "ioricost", CS, B({line(with(kLine, {{"ioricost", ""}})), line(with(kLine, {{"ioricost", "-1"}}))}, 1), "", kOut},
    {"empty_local_price_passes_its_line", "icost", CS, B({line(with(kLine, {{"icost", ""}})), line(with(kLine, {{"icost", "-1"}}))}, 1), row(1, kPrice), kOut},
    {"empty_flag_fails", "all", BS, second({{"binvtype", ""}}), kMismatch, kOut},
    {"unreadable_tax_rate", "all", BS, second({{"itaxrate", "13%"}}), kMismatch, kOut},
    {"unreadable_flag_negative_price", "icost", BS, seven({{"icost", "-1"}, {"binvtype", "x"}}), kMismatch, kOut},
    {"flag_not_read_for_positive_price", "icost", BS, seven({{"icost", "1"}, {"binvtype", "x"}}), "", kOut},
    {"totals_negative_quantity", "all", BS, amounts({{"3", "30"}, {"-5", "10"}}), kPositive, kOut},
    {"totals_both_zero", "all", BS, amounts({{"0", ""}, {"", "abc"}}), kBothZero, kOut},
    {"totals_negative_positive_quantity", "all", CS, amounts({{"1", "-100"}}), kNegative, kind("wwpurbill", false)},
    {"totals_freight_negative_quantity", "all", BS, amounts({{"-1", "10"}}), kPosFreight, kFreight},
    {"totals_freight_all_zero", "all", CS, amounts({{"0", "0"}}), kPosFreight + kBothZero, kFreight},
    {"totals_no_lines", "all", CS, B({}), kNegFreight + kBothZero, kind("wwypurbill", false)},
    {"totals_tiny_amount_real", "all", CS, amounts({{"0", "0.000001"}}), "", kFreight},
    {"totals_count_every_line", "all", BS,
     B({line({{"ipbvquantity", "2"}, {"iorimoney", "20"}}, ""), line({{"ipbvquantity", "-50"}, {"iorimoney", "-500"}}, "D"),
        {{"ipbvquantity", "-50"}, {"iorimoney", "-500"}}, line(with(kLine, {{"imoney", ""}, {"iorimoney", "-30"}, {"iorisum", "-33.9"}}))}),
     row(2, kNoMoney) + kPositive, kOut},
    {"totals_follow_collected_in_cs", "all", CS,
     B({line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "1"}}))}), row(1, kNoUnit + CR) + kNegative,
     kind("wwpurbill", false)},
    {"totals_not_after_at_once", "all", CS,
     B({line(with(kLine, {{"cunitid", ""}, {"igrouptype", "1"}, {"iinvexchrate", "1"}})), line(with(kLine, {{"itaxrate", "100"}}))}),
     row(2, kTaxRange), kind("wwpurbill", false)},
    {"totals_not_in_single_field", "ipbvquantity", CS, B({line(with(kLine, {{"ipbvquantity", "0"}, {"iorimoney", "0"}}), "")}, 1), "", kOut},
};

TW_WHOLE_VOUCHER_CASES(InvoiceBillF, "ClsS_VerifyBillF", kCases);

// The sample invoices give the verdicts the demo shows.
TEST(InvoiceBillFSamples, Verdicts) {
  const std::string lines = row(3, kNoItem + CR) + row(3, kNoOriMoney) + row(3, kNoMoney) + row(4, kNoUnit + CR) +
                            row(4, kOriPrice + CR) + row(4, kPrice + CR) + row(5, kNoTax + CR) + row(5, kSign);
  EXPECT_EQ(sampleVerdict("ClsS_VerifyBillF", "VerifyBody", "invoice_body.xml", {"sBillType=wwpurbill", "m_bPositive=true"}), lines);
  EXPECT_EQ(sampleVerdict("ClsS_VerifyBillF", "VerifyHead", "invoice_head.xml", {}),
            "发票号不能为空，请检查！\r部门不能为空，请检查！\r发票日期录入错误，请检查！\r业务类型录入错误，请检查！\r"
            "汇率必须大于零，请检查！\r税率必须在 0 到 100 之间，请检查！\r");
}

}  // namespace
}  // namespace tallyward::test
