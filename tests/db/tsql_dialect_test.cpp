// The T-SQL statements of the checks as SQLite receives them.
#include "platform/db/tsql_dialect.h"

#include <gtest/gtest.h>

#include "support/run_time_error.h"

namespace tallyward {
namespace {

// What a T-SQL statement of the checks becomes for SQLite.
TEST(Translation, GivesTheSqliteText) {
  const struct { const char* what; const char* tsql; const char* sqlite; } cases[] = {
      {"TOP moves to the end as LIMIT", "select top 1 iperiod from gl_mend where bflag_om=0",
       R"(select iperiod AS "iperiod" from gl_mend where bflag_om=0 LIMIT 1)"},
      {"TOP in a scalar sub-select closes inside its parenthesis",
       "select a,(select top 1 b from t2 where t2.k=t1.k order by b desc) as b1 from t1",
       R"(select a AS "a",(select b from t2 where t2.k=t1.k order by b desc LIMIT 1) as b1 from t1)"},
      {"TOP at three depths, one parenthesised",
       "select top 2 x from (select top 5 x from (select top (7) x from t order by x) as i order by x desc) as o",
       R"(select x AS "x" from (select x from (select x from t order by x LIMIT 7) as i order by x desc LIMIT 5) as o LIMIT 2)"},
      {"TOP after DISTINCT", "SELECT DISTINCT TOP 3 cInvCode FROM Inventory",
       R"(SELECT DISTINCT cInvCode AS "cInvCode" FROM Inventory LIMIT 3)"},
      {"TOP in an IN list", "select a from t where b in (select top 1 b from u)",
       R"(select a AS "a" from t where b in (select b from u LIMIT 1))"},
      {"LIMIT goes before a trailing comment", "select top 1 a from t -- newest\n",
       "select a AS \"a\" from t LIMIT 1 -- newest\n"},
      {"a final semicolon is dropped", "select a from t;", R"(select a AS "a" from t)"},
      {"ISNULL( becomes ifnull(", "select ISNULL(t2.nflat,1) AS nflat From t2",
       "select ifnull(t2.nflat,1) AS nflat From t2"},
      {"literals that hold keywords stay as they are",
       "select cName from t where cName='select top 1 ISNULL( dbo.x OrrerySystem..y' or cName='+'",
       R"(select cName AS "cName" from t where cName='select top 1 ISNULL( dbo.x OrrerySystem..y' or cName='+')"},
      {"doubled quotes inside a literal", "select a from t where a='it''s top 1 '' dbo.'",
       R"(select a AS "a" from t where a='it''s top 1 '' dbo.')"},
      {"a system database prefix reaches the same file",
       "select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '001' and iyear = 2026 order by iid",
       R"(select dBegin AS "dBegin",dEnd AS "dEnd",iID AS "iID" from ua_period where cacc_id = '001' and iyear = 2026 order by iid)"},
      {"dbo. is dropped", "select cPayName from dbo.PayCondition where cPayCode='01'",
       R"(select cPayName AS "cPayName" from PayCondition where cPayCode='01')"},
      {"database.dbo.table", "select x from OrrerySystem.dbo.ua_period",
       R"(select x AS "x" from ua_period)"},
      {"bracketed names, [dbo] among them", "select [t].[c] from [dbo].[t]",
       R"(select [t].[c] AS "c" from [t])"},
      {"a column written schema.table.column", "select dbo.Vendor.cVenCode from dbo.Vendor",
       R"(select Vendor.cVenCode AS "cVenCode" from Vendor)"},
      {"names as written, without table prefix; aliases kept",
       "SELECT cVenCode,vendor.cvenpostcode,cVenIAddress as cArrivalPlace,vendor.cVenPayCond As cPayCode FROM Vendor",
       R"(SELECT cVenCode AS "cVenCode",vendor.cvenpostcode AS "cvenpostcode",cVenIAddress as cArrivalPlace,vendor.cVenPayCond As cPayCode FROM Vendor)"},
      {"stars keep the declared names", "select t.*, u.x from t,u", R"(select t.*, u.x AS "x" from t,u)"},
      {"unnamed expressions have no name", "select count(*), 1+2, 'a', case when a=1 then 'y' else 'n' end from t",
       R"(select count(*) AS "", 1+2 AS "", 'a' AS "", case when a=1 then 'y' else 'n' end AS "" from t)"},
      {"an alias without AS is kept", "select cInvCode code, count(*) n, a 'b' from t",
       "select cInvCode code, count(*) n, a 'b' from t"},
      {"quoted names keep their quotes; the name is unquoted", "select \"c d\", [a]]b], \"x\"\"y\" from \"t\"",
       R"(select "c d" AS "c d", [a]]b] AS "a]b", "x""y" AS "x""y" from "t")"},
      {"numbers added with + stay numbers", "select ioricost * (1+itaxrate/100) as x from t",
       "select ioricost * (1+itaxrate/100) as x from t"},
      {"a sub-select as a table is not renamed inside",
       "select t1.cexch_name,ISNULL(t2.nflat,1) AS nflat From (SELECT cexch_name FROM ForeignCurrency Where cexch_name='a') as t1 Left Join (select cexch_name,nflat from exch WHERE itype= '1') as t2 on t1.cexch_name=t2.cexch_name",
       R"(select t1.cexch_name AS "cexch_name",ifnull(t2.nflat,1) AS nflat From (SELECT cexch_name FROM ForeignCurrency Where cexch_name='a') as t1 Left Join (select cexch_name,nflat from exch WHERE itype= '1') as t2 on t1.cexch_name=t2.cexch_name)"},
  };
  for (const auto& c : cases) EXPECT_EQ(sqlite::translate(c.tsql), c.sqlite) << c.what;
}

// Statements SQLite cannot run as the server would are refused with error 3001, the reason (a
// piece of the description given) and the statement.
TEST(Translation, RefusesWithTheReason) {
  const struct { const char* tsql; const char* reason; } cases[] = {
      {"", "empty statement"},
      {"select N'abc' from t", "N'..'"},
      {"select 'a'+cName from t", "joined with +"},
      {"update t set a=1", "only SELECT"},
      {"with x as (select 1 a) select a from x", "only SELECT"},
      {"select a from t; drop table t", "more than one statement"},
      {"select top 10 percent a from t", "PERCENT"},
      {"select top 1 with ties a from t order by a", "WITH"},
      {"select a from t with (nolock)", "WITH"},
      {"select top 1 a from t union select b from u", "UNION"},
      {"select a into t2 from t", "SELECT INTO"},
      {"select getdate()", "function getdate"},
      {"select convert(varchar(10), a) from t", "function convert"},
      {"select @x", "variables"},
      {"select a from #tmp", "temporary tables"},
      {"select a from t where b = ?", "parameters"},
      {"select a from srv.db.sch.t", "more than two parts"},
      {"select a from t where x isnull", "ISNULL without"},
      {"select top n a from t", "whole number"},
      {"select a top 1 from t", "TOP outside"},
      {"select a from t where b='open", "unterminated string"},
      {"select a from t where (b=1", "unbalanced"},
      {"select n = a from t", "name = expression"},
      {"select a from t limit 1", "limit"},
      {"select a || b from t", "||"},
      {"select a from t, u where t.b *= u.b", "outer joins"},
      {"select a from t where b !< c", "!<"},
      {"select a from t /* open", "unterminated comment"},
      {"select [a from t", "unterminated quoted name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tsql);
    std::string why;
    EXPECT_EQ(test::errorNumber([&] { sqlite::translate(c.tsql); }, &why), err::Database);
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    EXPECT_NE(why.find(c.tsql), std::string::npos) << "names the statement";
  }
}

}  // namespace
}  // namespace tallyward
