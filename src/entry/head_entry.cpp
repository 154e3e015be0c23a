#include "entry/head_entry.h"

#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "rows/voucher.h"
#include "tallyward/error.h"

namespace tallyward {

namespace {

const LookupRule kCurrencyLookup{.key = "cexch_name", .field = "cexch_name", .where = "",
                                 .notFound = "外币录入不正确，请检查！"};

// Whether exchange rates are fixed per accounting period (else they are daily rates). The
// setting must exist: without it there is no telling which rate applies.
bool ratesPerPeriod(Connection& cnn) {
  std::shared_ptr<Recordset> rs = cnn.execute("select cValue from accinformation where cname= 'iXchgRateStl'");
  if (!hasRow(*rs))
    throwError(err::NoCurrentRecord, "No current record: the setting iXchgRateStl is missing from accinformation");
  const bool perPeriod = toBoolean(rs->field("cValue"));
  rs->close();
  return perPeriod;
}

// The exchange rates of the voucher's date: the period rates of the period the date falls in, or
// the daily rates of that day. The text closes with the literal the caller's statement opened.
std::string rateSource(FieldEntry& fe, std::string_view voucherDate) {
  Connection& cnn = fe.cnn();
  const bool perPeriod = ratesPerPeriod(cnn);
  const std::string_view day = datePart(voucherDate);
  if (perPeriod) {
    const Variant period = GetPeriodIdOfDate(day, *fe.session().object(), cnn);
    return "(select cexch_name,nflat from exch WHERE itype= '2' AND cdate='" + escapeSqlValue(period);
  }
  return "(select cexch_name,nflat from exch WHERE itype= '1' AND cdate='" + rateDate(day);
}

// The currency typed (by name or code) with its rate on the voucher's date, 1 when it has none:
// `columns` of the result, `currencyColumns` of the currency.
std::string currencyStatement(std::string_view columns, std::string_view currencyColumns,
                              std::string_view currency, const std::string& rates) {
  const std::string c = escapeSql(currency);
  std::string sql = "select ";
  sql.append(columns).append(" From ");
  sql.append("(SELECT ").append(currencyColumns);
  sql.append(" FROM ForeignCurrency Where cexch_name='" + c + "' Or cexch_Code='" + c + "') as t1 ");
  sql.append("Left Join " + rates + "') as t2 ");
  sql.append("on t1.cexch_name=t2.cexch_name");
  return sql;
}

std::string rateColumn(const CurrencyRate& rate) {
  return "ISNULL(t2.nflat,1) AS " + std::string(rate.rateAlias);
}

}  // namespace

bool runHeadLookups(FieldEntry& fe, Document& domHead, std::span<const LookupRule> rules,
                    const HeadPairs& morePairs) {
  for (const LookupRule& rule : rules) {
    if (!fe.runs(rule.key)) continue;
    const std::string value = GetHeadValue(domHead, rule.field);
    LookupInput in{.value = value, .target = &domHead};
    if (morePairs)
      in.morePairs = [&](FillInReply& reply, const Recordset* rs, bool cleared) {
        morePairs(rule, reply, rs, cleared);
      };
    runLookup(fe, rule, in);
    if (fe.ended()) return false;
  }
  return true;
}

bool answerDateRate(FieldEntry& fe, Document& domHead, const CurrencyRate& rate,
                    const std::function<void(FillInReply&)>& morePairs) {
  const std::string date = GetHeadValue(domHead, rate.dateField);
  const std::string currency = GetHeadValue(domHead, "cexch_name");
  if (date.empty() || currency.empty()) return false;
  const std::string sql = currencyStatement(rateColumn(rate), "cexch_name", currency, rateSource(fe, date));
  std::shared_ptr<Recordset> rs = fe.cnn().execute(sql);
  const bool found = hasRow(*rs);
  if (found) {
    FillInReply reply(ReplyTag::Head);
    addColumns(reply, *rs);
    if (morePairs) morePairs(reply);
    fe.answer(reply, domHead);
  }
  rs->close();
  return found;
}

void lookUpCurrency(FieldEntry& fe, Document& domHead, const CurrencyRate& rate) {
  const std::string currency = GetHeadValue(domHead, "cexch_name");
  const std::string date = GetHeadValue(domHead, rate.dateField);
  runLookup(fe, kCurrencyLookup,
            {.value = currency, .target = &domHead, .base = [&] {
               return currencyStatement("t1.cexch_name,t1.cexch_code," + rateColumn(rate),
                                        "cexch_name,cexch_code", currency, rateSource(fe, date));
             }});
}

std::string runHeadEntry(FieldEntry& fe, Document& domHead, std::span<const LookupRule> rules,
                         const CurrencyRate& rate) {
  if (!runHeadLookups(fe, domHead, rules)) return fe.verdict();
  // The rate of a new voucher date is asked for that field alone, never in a whole pass.
  if (fe.key() == rate.dateKey) {
    answerDateRate(fe, domHead, rate);
    return fe.verdict();
  }
  if (fe.runs("cexch_name")) lookUpCurrency(fe, domHead, rate);
  return fe.verdict();
}

}  // namespace tallyward
