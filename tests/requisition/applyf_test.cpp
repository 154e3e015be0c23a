#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

const Attributes kHead{{"ccode", "QG0001"}, {"ddate", "2008-05-01T00:00:00"}, {"cdepname", "采购部"},
                       {"ipertaxrate", "17"}, {"cbustype", "普通采购"}};
// A complete line whose tax matches its rate: 17 % of 50 is 8.5.
const Attributes kLine{{"cinvcode", "P1001"}, {"fquantity", "10"}, {"funitprice", "5"}, {"ftaxprice", "5.85"},
                       {"fmoney", "50"}, {"ipertaxrate", "17"}, {"itax", "8.5"}, {"binvtype", "False"}};

Doc h(const Attributes& changes) { return H(with(kHead, changes)); }
Attributes good(const Attributes& changes = {}, const std::string& editprop = "A") { return line(with(kLine, changes), editprop); }
// The line after an unchanged one (counted, not checked: its flag would fail the call).
Doc second(const Attributes& changes) { return B({good({{"cinvcode", ""}, {"binvtype", "yes"}}, ""), good(changes)}); }
// The line alone, left unchanged, for a single-field check with R = 3.
Doc three(const Attributes& changes) { return B({good(changes, "")}, 3); }
// The tax check of one line: amount, rate, tax, discount flag.
Doc tax(const char* money, const char* rate, const char* itax, const char* discount) {
  return B({good({{"fmoney", money}, {"ipertaxrate", rate}, {"itax", itax}, {"binvtype", discount}})}, 4);
}

const std::string kNoCode = "请购单号不能为空，请检查！", kNoDate = "请购单日期不能为空，请检查！";
const std::string kNoDepartment = "部门不能为空，请检查！", kBadDate = "请购单日期录入错误，请检查！";
const std::string kBadRate = "税率必须在 0 到 100 之间，请检查！", kBadBusType = "业务类型录入错误，请检查！";
const std::string kNoItem = "]行存货不能为空，请检查！", kNoQuantity = "]行数量不能为空，请检查！";
const std::string kNegativePrice = "]行单价不能小于 0，请检查！", kNegativeMoney = "]行金额必须大于零，请检查！";
const std::string kTaxShort = "]行: 税额录入不合法！", kProjectFirst = "]行在没有输入项目大类之前，请参照输入项目！";
const std::string kMismatch = errorText(err::TypeMismatch);

const Case kCases[] = {
    {"head_department_not_in_cs", "all", CS, h({{"cdepname", ""}}), ""},
    {"head_bad_date", "DDate", BS, h({{"ddate", "2008-02-30"}}), kBadDate},
    {"head_tax_100", "ipertaxrate", CS, h({{"ipertaxrate", "100"}}), kBadRate},
    {"head_bus_type_direct", "cbustype", BS, h({{"cbustype", "直运采购"}}), kBadBusType},
    {"head_edges_pass", "ddate", CS, h({{"ddate", "2008-05-01T10:20:30"}, {"ipertaxrate", "99.99"}, {"cbustype", "委外发票"}}), ""},
    {"head_empty_tax_and_type_pass", "cbustype", CS, h({{"ipertaxrate", ""}, {"cbustype", ""}}), ""},
    {"head_bs_missing_fields", "all", BS, H({{"ccode", ""}, {"ddate", ""}}), kNoCode + CR + kNoDate + CR + kNoDepartment + CR},
    {"head_bs_all_in_order", "ALL", BS, H({{"ccode", ""}, {"ddate", "abc"}, {"cdepname", ""}, {"ipertaxrate", "100"}, {"cbustype", "x"}}),
     kNoCode + CR + kNoDepartment + CR + kBadDate + CR + kBadRate + CR + kBadBusType + CR},
    {"head_cs_skips_department", "All", CS, H({{"ccode", "QG1"}, {"ddate", "abc"}, {"cdepname", ""}, {"ipertaxrate", "100"}}), kBadDate},
    {"head_mandatory_left_to_pass", "ccode", CS, H({{"ccode", ""}, {"ddate", ""}, {"cdepname", ""}}), ""},
    {"head_unreadable_tax", "ipertaxrate", CS, h({{"ipertaxrate", "abc"}}), kMismatch},
    {"head_tax_not_read_after_at_once", "all", CS, h({{"ipertaxrate", "abc"}, {"ccode", ""}}), kNoCode},
    {"head_without_rows", "ddate", CS, {true, {}}, errorText(err::ObjectNotSet)},
    {"no_item", "all", CS, second({{"cinvcode", ""}}), row(2, kNoItem)},
    {"project_class_without_project", "all", BS, second({{"citem_class", "01"}}), row(2, "]行有项目大类，必须录入项目！\r")},
    {"no_quantity_collected_in_cs", "all", CS, second({{"fquantity", ""}}), row(2, kNoQuantity + CR)},
    {"zero_quantity", "FQuantity", BS, three({{"fquantity", "0"}}), row(3, "]行数量必须大于零，请检查！")},
    {"unreadable_quantity", "all", CS, second({{"fquantity", "abc"}}), row(2, "]行数量必须大于零，请检查！")},
    {"negative_price_with_tax", "all", BS, second({{"ftaxprice", "-1"}}), row(2, "]行含税单价不能小于 0，请检查！\r")},
    {"negative_money", "fmoney", BS, three({{"fmoney", "-0.01"}}), row(3, kNegativeMoney)},
    {"tax_100", "all", CS, second({{"ipertaxrate", "100"}, {"itax", "50"}}), row(2, "]行税率必须在 0 到 100 之间，请检查！")},
    {"tax_short_whole", "all", BS, second({{"itax", "7.5"}}), row(2, kTaxShort + CR)},
    {"project_before_class", "citemcode", BS, three({{"citemcode", "XM01"}}), row(3, kProjectFirst)},
    {"zero_money_empty_prices", "all", CS, second({{"fmoney", "0"}, {"itax", "0"}, {"funitprice", ""}, {"ftaxprice", ""}}), ""},
    {"edges_pass", "ipertaxrate", CS, three({{"ipertaxrate", "99.99"}, {"itax", "49.995"}, {"citemcode", "XM01"}, {"citem_class", "01"}}), ""},
    {"rows_and_order_bs", "all", BS,
     B({good({{"funitprice", "-1"}}, "D"), without(good({{"funitprice", "-1"}}), {"editprop"}),
        line({{"cinvcode", ""}, {"citem_class", "01"}, {"fquantity", ""}, {"funitprice", "-2"}}),
        line({{"cinvcode", ""}, {"fquantity", "5"}, {"citemcode", "XM01"}})}),
     row(1, kNoItem + CR) + row(1, "]行有项目大类，必须录入项目！\r") + row(1, kNoQuantity + CR) + row(1, kNegativePrice + CR) +
         row(2, kNoItem + CR) + row(2, kProjectFirst + CR)},
    {"cs_collects_until_at_once", "all", CS, B({good({{"fquantity", ""}}), good({{"fquantity", ""}})}),
     row(1, kNoQuantity + CR) + row(2, kNoQuantity + CR)},
    {"cs_at_once_drops_collected", "all", CS, B({good({{"fquantity", ""}}), good({{"fquantity", ""}, {"fmoney", "-1"}})}), row(2, kNegativeMoney)},
    {"item_first", "cfree1", BS, three({{"cinvcode", ""}}), row(3, "]行请先录入存货！")},
    {"item_key_itself", "cinvcode", BS, three({{"cinvcode", ""}}), ""},
    {"tax_key_not_checked", "itax", BS, three({{"itax", "1"}}), ""},
    {"empty_quantity_ends_call", "fquantity", CS, B({good({{"fquantity", ""}}), good({{"fquantity", "0"}})}, 3), ""},
    {"empty_price_passes_its_line", "funitprice", CS, B({good({{"funitprice", ""}}), good({{"funitprice", "-1"}})}, "3"), row(3, kNegativePrice)},
    {"tax_short_by_one", "ftaxprice", CS, tax("100", "17", "16", "False"), row(4, kTaxShort)},
    {"tax_negative_short_flag_0", "ftaxprice", CS, tax("100", "17", "-15.9", "0"), row(4, kTaxShort)},
    {"tax_negative_money_short", "ftaxprice", CS, tax("-100", "17", "15", "FALSE"), row(4, kTaxShort)},
    {"tax_discount_flag_minus_1", "ftaxprice", CS, tax("100", "17", "0", "-1"), ""},
    {"tax_unreadable_reads_0", "ftaxprice", CS, tax("100", "17", "abc", "False"), row(4, kTaxShort)},
    {"tax_unreadable_money", "ftaxprice", CS, tax("abc", "17", "5", "False"), ""},
    {"empty_flag", "all", BS, B({good({{"binvtype", ""}})}), kMismatch},
    {"unreadable_rate", "ftaxprice", CS, B({good({{"ipertaxrate", "abc"}})}, 1), kMismatch},
    {"rate_not_read_for_discount", "all", BS, B({good({{"binvtype", "True"}, {"ipertaxrate", "abc"}})}), ""},
    {"flag_not_read_without_tax", "ftaxprice", CS, B({good({{"binvtype", ""}, {"itax", ""}})}, 1), ""},
    {"flag_not_read_after_at_once", "all", CS, B({good({{"cinvcode", ""}, {"binvtype", "yes"}})}), row(1, kNoItem)},
};

TW_WHOLE_VOUCHER_CASES(RequisitionApplyF, "ClsS_VerifyApplyF", kCases);

// The sample requisitions give the verdicts the demo shows.
TEST(RequisitionApplyFSamples, Verdicts) {
  EXPECT_EQ(sampleVerdict("ClsS_VerifyApplyF", "VerifyHead", "requisition_head.xml", {}), kNoDepartment + CR + kBadBusType + CR);
  EXPECT_EQ(sampleVerdict("ClsS_VerifyApplyF", "VerifyBody", "requisition_body.xml", {}),
            row(3, kNoQuantity + CR) + row(3, kTaxShort + CR) + row(4, kNegativePrice + CR) + row(4, kProjectFirst + CR));
}

}  // namespace
}  // namespace tallyward::test
