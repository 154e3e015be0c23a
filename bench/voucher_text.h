// Generated body documents of the four vouchers, every line valid, as the voucher screens persist
// them: the whole-pass benchmarks parse them, and the command's peak memory is measured on one.
#pragma once

#include <map>
#include <string>
#include <utility>

namespace tallyward::bench {

// An order line as the order screen persists it: about twenty fields, all of them valid.
inline std::string orderLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' citemcode='' citem_class='' iquantity='" + std::to_string(10 + i % 7) +
         "' ireceivedqty='0' iinvqty='0' iarrqty='0' igrouptype='1' iinvexchrate='12' cunitid='箱' inum='3' "
         "iunitprice='12.5' inatunitprice='12.5' itaxprice='14.125' imoney='125' inatmoney='125' isum='141.25' "
         "inatsum='141.25' darrivedate='2026-12-01T00:00:00' ipertaxrate='13' itax='16.25' cbmemo=''/>\n";
}

inline std::string invoiceLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' ipbvquantity='10' iorimoney='100' imoney='100' citemcode='' citem_class='' igrouptype='0' "
         "cunitid='' binvtype='False' bservice='False' ioricost='10' icost='10' itaxrate='13' ioritax='13' "
         "itax='13' iorisum='113' isum='113' cbmemo=''/>\n";
}

inline std::string arrivalLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' citemcode='' citem_class='' iquantity='10' inum='' igrouptype='0' iinvexchrate='' cunitid='' "
         "ioricost='10' ioritaxcost='11.3' icost='10' iorimoney='100' imoney='100' iorisum='113' isum='113' "
         "itaxrate='13' dpdate='2026-11-01T00:00:00' dvdate='2027-11-01T00:00:00'/>\n";
}

inline std::string requisitionLine(int i) {
  const std::string n = std::to_string(i);
  return "<z:row editprop='A' cinvcode='P" + n + "' cinvname='零件" + n +
         "' citemcode='' citem_class='' fquantity='10' funitprice='10' ftaxprice='11.3' fmoney='100' "
         "ipertaxrate='13' itax='13' binvtype='False' drequirdate='2026-12-01T00:00:00' cbmemo=''/>\n";
}

inline std::string body(int lines, std::string (*line)(int)) {
  std::string xml =
      "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' "
      "xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'/><rs:data>\n";
  for (int i = 1; i <= lines; ++i) xml += line(i);
  return xml + "</rs:data></xml>";
}

enum Kind { Order, Invoice, Arrival, Requisition };

// The body of `lines` lines of a voucher, generated once per run.
inline const std::string& generated(Kind kind, int lines) {
  static std::map<std::pair<Kind, int>, std::string> cache;
  static std::string (*const kLine[])(int) = {orderLine, invoiceLine, arrivalLine, requisitionLine};
  auto& text = cache[{kind, lines}];
  if (text.empty()) text = body(lines, kLine[kind]);
  return text;
}

}  // namespace tallyward::bench
