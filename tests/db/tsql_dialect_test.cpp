// The T-SQL statements of the checks as SQLite receives them.
#include "platform/db/tsql_dialect.h"

#include <gtest/gtest.h>

#include "tallyward/error.h"

namespace tallyward {
namespace {

struct Rewrite {
  const char* what;
  const char* tsql;
  const char* sqlite;
};

class Translation : public ::testing::TestWithParam<Rewrite> {};

TEST_P(Translation, GivesTheSqliteText) {
  EXPECT_EQ(sqlite::translate(GetParam().tsql), GetParam().sqlite) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, Translation,
    ::testing::Values(
        Rewrite{"TOP moves to the end as LIMIT", "select top 1 iperiod from gl_mend where bflag_om=0",
                R"(select iperiod AS "iperiod" from gl_mend where bflag_om=0 LIMIT 1)"},
        Rewrite{"TOP in a scalar sub-select closes inside its parenthesis",
                "select a,(select top 1 b from t2 where t2.k=t1.k order by b desc) as b1 from t1",
                R"(select a AS "a",(select b from t2 where t2.k=t1.k order by b desc LIMIT 1) as b1 from t1)"},
        Rewrite{"TOP at three depths, one parenthesised",
                "select top 2 x from (select top 5 x from (select top (7) x from t order by x) as i order by x desc) as o",
                R"(select x AS "x" from (select x from (select x from t order by x LIMIT 7) as i order by x desc LIMIT 5) as o LIMIT 2)"},
        Rewrite{"TOP after DISTINCT", "SELECT DISTINCT TOP 3 cInvCode FROM Inventory",
                R"(SELECT DISTINCT cInvCode AS "cInvCode" FROM Inventory LIMIT 3)"},
        Rewrite{"TOP in an IN list", "select a from t where b in (select top 1 b from u)",
                R"(select a AS "a" from t where b in (select b from u LIMIT 1))"},
        Rewrite{"LIMIT goes before a trailing comment", "select top 1 a from t -- newest\n",
                "select a AS \"a\" from t LIMIT 1 -- newest\n"},
        Rewrite{"a final semicolon is dropped", "select a from t;", R"(select a AS "a" from t)"},
        Rewrite{"ISNULL( becomes ifnull(", "select ISNULL(t2.nflat,1) AS nflat From t2",
                "select ifnull(t2.nflat,1) AS nflat From t2"},
        Rewrite{"an empty literal right before THEN",
                "select case when isnull(ven.cVenHeadCode,'')=''then vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode from vendor",
                "select case when ifnull(ven.cVenHeadCode,'')=''then vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode from vendor"},
        Rewrite{"literals that hold keywords stay as they are",
                "select cName from t where cName='select top 1 ISNULL( dbo.x OrrerySystem..y' or cName='+'",
                R"(select cName AS "cName" from t where cName='select top 1 ISNULL( dbo.x OrrerySystem..y' or cName='+')"},
        Rewrite{"doubled quotes inside a literal", "select a from t where a='it''s top 1 '' dbo.'",
                R"(select a AS "a" from t where a='it''s top 1 '' dbo.')"},
        Rewrite{"a system database prefix reaches the same file",
                "select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '001' and iyear = 2026 order by iid",
                R"(select dBegin AS "dBegin",dEnd AS "dEnd",iID AS "iID" from ua_period where cacc_id = '001' and iyear = 2026 order by iid)"},
        Rewrite{"dbo. is dropped", "select cPayName from dbo.PayCondition where cPayCode='01'",
                R"(select cPayName AS "cPayName" from PayCondition where cPayCode='01')"},
        Rewrite{"database.dbo.table", "select x from OrrerySystem.dbo.ua_period",
                R"(select x AS "x" from ua_period)"},
        Rewrite{"bracketed names, [dbo] among them", "select [t].[c] from [dbo].[t]",
                R"(select [t].[c] AS "c" from [t])"},
        Rewrite{"a column written schema.table.column", "select dbo.Vendor.cVenCode from dbo.Vendor",
                R"(select Vendor.cVenCode AS "cVenCode" from Vendor)"},
        Rewrite{"names as written, without table prefix; aliases kept",
                "SELECT cVenCode,vendor.cvenpostcode,cVenIAddress as cArrivalPlace,vendor.cVenPayCond As cPayCode FROM Vendor",
                R"(SELECT cVenCode AS "cVenCode",vendor.cvenpostcode AS "cvenpostcode",cVenIAddress as cArrivalPlace,vendor.cVenPayCond As cPayCode FROM Vendor)"},
        Rewrite{"stars keep the declared names", "select t.*, u.x from t,u", R"(select t.*, u.x AS "x" from t,u)"},
        Rewrite{"unnamed expressions have no name", "select count(*), 1+2, 'a', case when a=1 then 'y' else 'n' end from t",
                R"(select count(*) AS "", 1+2 AS "", 'a' AS "", case when a=1 then 'y' else 'n' end AS "" from t)"},
        Rewrite{"an alias without AS is kept", "select cInvCode code, count(*) n, a 'b' from t",
                "select cInvCode code, count(*) n, a 'b' from t"},
        Rewrite{"quoted names keep their quotes; the name is unquoted", "select \"c d\", [a]]b], \"x\"\"y\" from \"t\"",
                R"(select "c d" AS "c d", [a]]b] AS "a]b", "x""y" AS "x""y" from "t")"},
        Rewrite{"numbers added with + stay numbers", "select ioricost * (1+itaxrate/100) as x from t",
                "select ioricost * (1+itaxrate/100) as x from t"},
        Rewrite{"a sub-select as a table is not renamed inside",
                "select t1.cexch_name,ISNULL(t2.nflat,1) AS nflat From (SELECT cexch_name FROM ForeignCurrency Where cexch_name='a') as t1 Left Join (select cexch_name,nflat from exch WHERE itype= '1') as t2 on t1.cexch_name=t2.cexch_name",
                R"(select t1.cexch_name AS "cexch_name",ifnull(t2.nflat,1) AS nflat From (SELECT cexch_name FROM ForeignCurrency Where cexch_name='a') as t1 Left Join (select cexch_name,nflat from exch WHERE itype= '1') as t2 on t1.cexch_name=t2.cexch_name)"}));

struct Refusal {
  const char* tsql;
  const char* reason;  // a piece of the error's description
};

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, WithDatabaseErrorAndReason) {
  try {
    const std::string out = sqlite::translate(GetParam().tsql);
    FAIL() << "translated to: " << out;
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::Database);
    EXPECT_NE(e.description().find(GetParam().reason), std::string::npos) << e.description();
    EXPECT_NE(e.description().find(GetParam().tsql), std::string::npos) << "names the statement";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Statements, Refused,
    ::testing::Values(
        Refusal{"", "empty statement"},
        Refusal{"select N'abc' from t", "N'..'"},
        Refusal{"select 'a'+cName from t", "joined with +"},
        Refusal{"select cName + 'a' from t", "joined with +"},
        Refusal{"update t set a=1", "only SELECT"},
        Refusal{"with x as (select 1 a) select a from x", "only SELECT"},
        Refusal{"select a from t; drop table t", "more than one statement"},
        Refusal{"select a from t;;", "more than one statement"},
        Refusal{"select top 10 percent a from t", "PERCENT"},
        Refusal{"select top 1 with ties a from t order by a", "WITH"},
        Refusal{"select a from t with (nolock)", "WITH"},
        Refusal{"select top 1 a from t union select b from u", "UNION"},
        Refusal{"select a into t2 from t", "SELECT INTO"},
        Refusal{"select getdate()", "function getdate"},
        Refusal{"select convert(varchar(10), a) from t", "function convert"},
        Refusal{"select @x", "variables"},
        Refusal{"select a from #tmp", "temporary tables"},
        Refusal{"select a from t where b = ?", "parameters"},
        Refusal{"select a from t where b = :b", "parameters"},
        Refusal{"select a from srv.db.sch.t", "more than two parts"},
        Refusal{"select a from t where x isnull", "ISNULL without"},
        Refusal{"select top n a from t", "whole number"},
        Refusal{"select top 1.5 a from t", "whole number"},
        Refusal{"select a top 1 from t", "TOP outside"},
        Refusal{"select a from t where b='open", "unterminated string"},
        Refusal{"select a from t where (b=1", "unbalanced"},
        Refusal{"select a from t where b=1)", "unbalanced"},
        Refusal{"select n = a from t", "name = expression"},
        Refusal{"select a from t limit 1", "limit"},
        Refusal{"select a || b from t", "||"},
        Refusal{"select a from t, u where t.b *= u.b", "outer joins"},
        Refusal{"select a from t where b !< c", "!<"},
        Refusal{"select a from t /* open", "unterminated comment"},
        Refusal{"select [a from t", "unterminated quoted name"}));

}  // namespace
}  // namespace tallyward
