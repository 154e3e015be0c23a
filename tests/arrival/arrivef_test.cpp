#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

const Attributes kHead{{"ccode", "DH0001"}, {"cexch_name", "人民币"}, {"iexchrate", "1"},
                       {"ddate", "2026-03-01T00:00:00"}, {"cvenabbname", "华东机加"},
                       {"cdepname", "采购部"}, {"itaxrate", "13"}, {"cbustype", "普通采购"}};
// A line of a positive note in a single unit, and the same line on a negative note.
const Attributes kLine{{"cinvcode", "P1001"}, {"iquantity", "10"}, {"igrouptype", "0"}, {"ioricost", "5"},
                       {"ioritaxcost", "5.65"}, {"icost", "5"}, {"iorimoney", "50"}, {"imoney", "50"},
                       {"iorisum", "56.5"}, {"isum", "56.5"}, {"itaxrate", "13"}, {"dpdate", "2026-03-01T00:00:00"},
                       {"dvdate", "2027-03-01"}};
const Attributes kNeg = with(kLine, {{"iquantity", "-10"}, {"iorimoney", "-50"}, {"imoney", "-50"},
                                     {"iorisum", "-56.5"}, {"isum", "-56.5"}});

// Pieces with a fixed ("1") or a floating ("2") conversion rate.
Attributes fixed(const Attributes& l, const Attributes& changes = {}) {
  return with(with(l, {{"igrouptype", "1"}, {"inum", "2"}, {"iinvexchrate", "5"}, {"cunitid", "箱"}}), changes);
}
Attributes floating(const Attributes& l, const Attributes& changes = {}) { return with(fixed(l, {{"igrouptype", "2"}}), changes); }

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
// The line after an unchanged one (counted, not checked: its tax rate would fail the call).
Doc second(const Attributes& l) { return B({line(with(kLine, {{"cinvcode", ""}, {"itaxrate", "x"}}), ""), line(l)}); }
// The line alone, left unchanged, for a single-field check with R = 7.
Doc seven(const Attributes& l) { return B({line(l, "")}, 7); }
const Props kPos{{"m_bPositive", true}}, kNegNote{{"m_bPositive", false}};

const std::string kNoUnit = "]行计量单位不能为空，请检查！", kNoQty = "]行数量不能为空，请检查！";
const std::string kQtyPositive = "]行数量必须大于零，请检查！", kOriPrice = "]行原币单价不能小于 0，请检查！";
const std::string kNoItem = "]行存货不能为空，请检查！", kNoTax = "]行税率未输入，请检查！！";
const std::string kBoth = "]行数量和件数不能同时为零，请检查！";

const Case kCases[] = {
    // Every mandatory field empty: each told once, in rule order; client mode stops at the first.
    {"head_bs_every_mandatory_empty", "all", BS,
     h({{"ccode", ""}, {"cexch_name", ""}, {"iexchrate", ""}, {"ddate", ""}, {"cvenabbname", ""}, {"cdepname", ""}}),
     "到货单号不能为空，请检查！\r到货单币种不能为空，请检查！\r到货单汇率不能为空，请检查！\r到货单日期不能为空，请检查！\r"
     "供应商不能为空，请检查！\r部门不能为空，请检查！\r"},
    {"head_interface_ignores_names", "cvenabbname", CS,
     h({{"sysname", "EAI"}, {"cvencode", "V"}, {"cvenabbname", ""}, {"cdepcode", "D"}, {"cdepname", ""}}), ""},
    {"head_unreadable_rate", "all", CS, h({{"iexchrate", "abc"}}), "汇率必须大于零，请检查！"},
    {"head_tax_100", "ioritaxrate", CS, h({{"itaxrate", "100"}}), "税率必须在 0 到 100 之间，请检查！"},
    {"head_empty_bus_type_cs", "cbustype", CS, h({{"cbustype", ""}}), "业务类型不能为空，请检查！"},
    {"head_empty_bus_type_collected_in_bs", "cbustype", BS, h({{"cbustype", ""}}), "业务类型不能为空，请检查！\r"},
    {"head_bus_type_direct", "cbustype", BS, h({{"cbustype", "直运采购"}}), "业务类型录入错误，请检查！"},
    {"head_edges_pass", "all", BS, h({{"ddate", "2028-02-29T10:20:30"}, {"iexchrate", "0.0001"}, {"itaxrate", "99.99"}}), ""},
    {"head_unreadable_tax_reads_0", "ioritaxrate", BS, h({{"itaxrate", "abc"}}), ""},
    {"head_bs_all_in_order", "ALL", BS,
     h({{"cbustype", "x"}, {"ddate", "2026-13-01"}, {"ccode", ""}, {"sysname", "EAI"}, {"cvencode", ""}, {"cdepcode", ""}}),
     "到货单号不能为空，请检查！\r供应商不能为空，请检查！\r部门不能为空，请检查！\r到货单日期录入错误，请检查！\r业务类型录入错误，请检查！\r"},
    {"head_capital_attribute_is_not_the_field", "all", CS, H(with(without(kHead, {"ccode"}), {{"cCode", "DH1"}})), "到货单号不能为空，请检查！"},
    {"head_tax_key_is_ioritaxrate", "itaxrate", BS, h({{"itaxrate", "100"}}), ""},
    {"head_mandatory_left_to_pass", "ccode", BS, h({{"ccode", ""}, {"ddate", ""}}), ""},
    {"head_without_rows", "ddate", CS, {true, {}}, errorText(err::ObjectNotSet)},
    {"negative_line_passes", "all", BS, second(kNeg), "", kNegNote},
    {"no_item", "all", CS, second(with(kLine, {{"cinvcode", ""}})), row(2, kNoItem), kPos},
    {"project_class_without_project", "all", BS, second(with(kLine, {{"citem_class", "01"}})), row(2, "]行有项目大类，必须录入项目！\r"), kPos},
    {"no_quantity_ends_cs_pass", "all", CS, second(with(kLine, {{"iquantity", ""}})), row(2, kNoQty + CR), kPos},
    {"zero_quantity", "iquantity", BS, seven(with(kLine, {{"iquantity", "0"}})), row(7, kQtyPositive), kPos},
    {"unreadable_quantity", "all", CS, second(with(kLine, {{"iquantity", "abc"}})), row(2, kQtyPositive), kPos},
    {"floating_zero_quantity_blank_group", "IQuantity", CS, seven(floating(kLine, {{"igrouptype", " 2"}, {"iquantity", "0"}})), row(7, kQtyPositive), kPos},
    {"negative_note_zero_quantity", "all", BS, second(with(kNeg, {{"iquantity", "0"}})), row(2, "]行数量必须小于零，请检查！\r"), kNegNote},
    {"floating_negative_quantity", "all", CS, second(floating(kLine, {{"iquantity", "-1"}})), row(2, "]行数量必须大于等于零，请检查！"), kPos},
    {"negative_floating_positive_quantity", "iquantity", BS, seven(floating(kNeg, {{"iquantity", "1"}, {"inum", "-2"}})),
     row(7, "]行数量必须小于等于零，请检查！"), kNegNote},
    {"fixed_no_pieces", "all", CS, second(fixed(kLine, {{"inum", ""}})), row(2, "]行件数不能为空，请检查！\r"), kPos},
    {"fixed_zero_pieces", "inum", CS, seven(fixed(kLine, {{"inum", "0"}})), row(7, "]行件数必须大于零，请检查！"), kPos},
    {"negative_fixed_positive_pieces", "all", BS, second(fixed(kNeg, {{"inum", "3"}})), row(2, "]行件数必须小于零，请检查！\r"), kNegNote},
    {"floating_both_zero", "all", CS, second(floating(kLine, {{"iquantity", "0"}, {"inum", "0"}})), row(2, kBoth + CR), kPos},
    {"floating_both_zero_not_while_typing", "inum", CS, seven(floating(kLine, {{"iquantity", "0"}, {"inum", "0"}})), "", kPos},
    {"fixed_no_rate", "all", BS, second(fixed(kLine, {{"iinvexchrate", ""}, {"sysname", "EAI"}})), row(2, "]行换算率不能为空，请检查！\r"), kPos},
    {"floating_negative_rate", "iinvexchrate", CS, seven(floating(kLine, {{"iinvexchrate", "-0.5"}})), row(7, "]行换算率必须大于等于 0，请检查！"), kPos},
    {"interface_line_skips_rate", "iinvexchrate", BS, seven(fixed(kLine, {{"sysname", "eai"}, {"iinvexchrate", "-5"}})), "", kPos},
    {"fixed_no_unit", "all", BS, second(fixed(kLine, {{"cunitid", ""}})), row(2, kNoUnit + CR), kPos},
    {"no_group_no_unit", "all", CS, second(without(kLine, {"igrouptype"})), row(2, kNoUnit + CR), kPos},
    {"negative_ori_price", "ioricost", CS, seven(with(kLine, {{"ioricost", "-1"}})), row(7, kOriPrice), kPos},
    {"negative_price", "all", BS, second(with(kLine, {{"icost", "-0.01"}})), row(2, "]行本单价不能小于 0，请检查！\r"), kPos},
    {"negative_ori_money", "all", CS, second(with(kLine, {{"iorimoney", "-1"}})), row(2, "]行原币金额必须大于零，请检查！"), kPos},
    {"negative_note_positive_ori_money", "iorimoney", BS, seven(with(kNeg, {{"iorimoney", "5"}})), row(7, "]行原币金额必须小于零，请检查！"), kNegNote},
    {"negative_money", "imoney", CS, seven(with(kLine, {{"imoney", "-1"}})), row(7, "]行本币金额必须大于零，请检查！"), kPos},
    {"negative_note_positive_money", "all", BS, second(with(kNeg, {{"imoney", "1"}})), row(2, "]行本币金额必须小于零，请检查！\r"), kNegNote},
    {"negative_ori_sum", "all", CS, second(with(kLine, {{"iorisum", "-1"}})), row(2, "]行原币价税合计必须大于零，请检查！"), kPos},
    {"negative_note_positive_ori_sum", "iorisum", CS, seven(with(kNeg, {{"iorisum", "1"}})), row(7, "]行原币价税合计必须小于零，请检查！"), kNegNote},
    {"negative_sum", "isum", BS, seven(with(kLine, {{"isum", "-1"}})), row(7, "]行本币价税合计必须大于零，请检查！"), kPos},
    {"negative_note_positive_sum", "all", CS, second(with(kNeg, {{"isum", "1"}})), row(2, "]行本币价税合计必须小于零，请检查！"), kNegNote},
    {"zero_amounts_pass", "iorimoney", CS, seven(with(kLine, {{"iorimoney", "0"}, {"imoney", "0"}, {"iorisum", "0"}, {"isum", "0"}})), "", kPos},
    {"tax_100", "all", BS, second(with(kLine, {{"itaxrate", "100"}})), row(2, "]行税率必须在 0 到 100 之间，请检查！\r"), kPos},
    {"no_tax_rate", "itax", BS, seven(with(kLine, {{"itaxrate", ""}})), row(7, kNoTax), kPos},
    {"sum_key_checks_sign_first", "iorisum", BS, seven(with(kLine, {{"iorisum", "-1"}, {"itaxrate", ""}})), row(7, "]行原币价税合计必须大于零，请检查！"), kPos},
    {"project_before_class", "citemcode", CS, seven(with(kLine, {{"citemcode", "P01"}})), row(7, "]行在没有输入项目大类之前，请参照输入项目！"), kPos},
    {"bad_production_date", "dpdate", BS, seven(with(kLine, {{"dpdate", "2026-02-29T00:00:00"}})), row(7, "]行生产日期录入错误，请检查！"), kPos},
    {"bad_expiry_date", "all", CS, second(with(kLine, {{"dvdate", "2027-13-01"}})), row(2, "]行失效日期录入错误，请检查！"), kPos},
    {"date_cut_at_T", "dpdate", CS, seven(with(kLine, {{"dpdate", "2028-02-29Tgarbage"}, {"dvdate", ""}})), "", kPos},
    {"price_with_tax_at_once", "all", CS, B({line(with(kLine, {{"ioritaxcost", "-1"}}))}), row(1, "]行含税单价不能小于0，请检查！"), kPos},
    {"price_with_tax_collected", "all", BS, B({line(with(kLine, {{"ioritaxcost", "-1"}}))}), row(1, "]行含税单价不能小于 0，请检查！\r"), kPos},
    {"rows_and_order_bs", "all", BS,
     B({line(with(kLine, {{"cinvcode", ""}, {"iquantity", ""}}), ""), line(with(kLine, {{"cinvcode", ""}}), "D"),
        with(kLine, {{"cinvcode", ""}}), line(with(kLine, {{"cinvcode", ""}, {"ioricost", "-1"}}), "M"),
        line(fixed(kLine, {{"cunitid", ""}, {"dvdate", "x"}}))}),
     row(2, kNoItem + CR) + row(2, kOriPrice + CR) + row(3, kNoUnit + CR) + row(3, "]行失效日期录入错误，请检查！\r"), kPos},
    {"cs_keeps_collected", "all", CS, B({line(fixed(kLine, {{"cunitid", ""}})), line(kLine)}), row(1, kNoUnit + CR), kPos},
    {"cs_at_once_drops_collected", "all", CS, B({line(fixed(kLine, {{"cunitid", ""}})), line(with(kLine, {{"cinvcode", ""}}))}), row(2, kNoItem), kPos},
    {"cs_no_quantity_ends_alone", "all", CS,
     B({line(fixed(kLine, {{"cunitid", ""}})), line(with(kLine, {{"iquantity", ""}, {"ioricost", "-1"}})), line(with(kLine, {{"cinvcode", ""}}))}),
     row(2, kNoQty + CR), kPos},
    {"bs_no_quantity_goes_on", "all", BS,
     B({line(fixed(kLine, {{"cunitid", ""}})), line(with(kLine, {{"iquantity", ""}, {"ioricost", "-1"}})), line(with(kLine, {{"cinvcode", ""}}))}),
     row(1, kNoUnit + CR) + row(2, kNoQty + CR) + row(2, kOriPrice + CR) + row(3, kNoItem + CR), kPos},
    {"item_first", "iquantity", BS, seven(with(kLine, {{"cinvcode", ""}})), row(7, "]行请先录入存货！"), kPos},
    {"item_key_itself", "cinvcode", BS, seven(with(kLine, {{"cinvcode", ""}})), "", kPos},
    {"single_field_checks_unchanged", "iquantity", CS, B({line(kLine), line(with(kLine, {{"iquantity", "0"}}), "")}, 9), row(9, kQtyPositive), kPos},
    {"unreadable_tax_rate", "all", CS, B({line(with(kLine, {{"itaxrate", "13%"}}))}), errorText(err::TypeMismatch), kPos},
    {"rate_not_read_for_quantity", "iquantity", CS, B({line(with(kLine, {{"itaxrate", "13%"}}))}, 1), "", kPos},
    {"rate_not_read_after_at_once", "all", CS, B({line(with(kLine, {{"itaxrate", "13%"}, {"cinvcode", ""}}))}), row(1, kNoItem), kPos},
};

TW_WHOLE_VOUCHER_CASES(ArrivalArriveF, "ClsS_VerifyArriveF", kCases);

// An empty value that may stand while typing ends the call before the later lines.
TEST(ArrivalArriveFTyping, EmptyValueEndsTheCall) {
  for (const char* key : {"iquantity", "inum", "iinvexchrate", "cunitid", "itaxrate", "citemcode", "dpdate", "dvdate"})
    EXPECT_EQ(run("ClsS_VerifyArriveF", {"", key, BS, B({line(fixed(kLine, {{key, ""}})),
                                                     line(with(kLine, {{"iquantity", "0"}, {"cinvcode", ""}}))}, 9), "", kPos}), "")
        << key;
}

// The sample notes give the verdicts the demo shows.
TEST(ArrivalArriveFSamples, Verdicts) {
  EXPECT_EQ(sampleVerdict("ClsS_VerifyArriveF", "VerifyHead", "arrival_head.xml", {}),
            "汇率必须大于零，请检查！\r业务类型录入错误，请检查！\r");
  EXPECT_EQ(sampleVerdict("ClsS_VerifyArriveF", "VerifyBody", "arrival_body.xml", {"m_bPositive=true"}),
            row(3, kNoUnit + CR) + row(4, kNoQty + CR) + row(5, kBoth + CR) + row(5, "]行含税单价不能小于 0，请检查！\r") +
                row(5, "]行生产日期录入错误，请检查！\r"));
}

}  // namespace
}  // namespace tallyward::test
