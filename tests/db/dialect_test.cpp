// What the SQLite driver makes of the T-SQL statements of the checks: the SQLite text, the
// statements it refuses, and which literals it lifts out as bound values.
#include <gtest/gtest.h>
#include <optional>
#include "platform/db/literal_shape.h"
#include "platform/db/tsql_dialect.h"
#include "support/temp_database.h"

namespace tallyward::sqlite {
namespace {

TEST(Translation, GivesTheSqliteText) {
  const struct { const char* what; const char* tsql; const char* sqlite; } cases[] = {
      {"TOP becomes LIMIT", "select top 1 iperiod from gl_mend where bflag_om=0",
       R"(select iperiod AS "iperiod" from gl_mend where bflag_om=0 LIMIT 1)"},
      {"TOP closes inside its own parenthesis, at any depth",
       "select top 2 x from (select top 5 x from (select top (7) x from t order by x) as i order by x desc) as o",
       R"(select x AS "x" from (select x from (select x from t order by x LIMIT 7) as i order by x desc LIMIT 5) as o LIMIT 2)"},
      {"TOP after DISTINCT", "SELECT DISTINCT TOP 3 cInvCode FROM Inventory",
       R"(SELECT DISTINCT cInvCode AS "cInvCode" FROM Inventory LIMIT 3)"},
      {"ISNULL( becomes ifnull(, database and dbo prefixes go",
       "select ISNULL(x,1) AS n from OrrerySystem..t1, dbo.t2, db.dbo.t3 where c='it''s top 1 ISNULL( dbo.x a..b'",
       "select ifnull(x,1) AS n from t1, t2, t3 where c='it''s top 1 ISNULL( dbo.x a..b'"},
      {"brackets and schema.table.column", "select [t].[c], dbo.Vendor.cVenCode from [dbo].[t]",
       R"(select [t].[c] AS "c", Vendor.cVenCode AS "cVenCode" from [t])"},
      {"names as written, aliases kept", "SELECT cVenCode,vendor.cvenpostcode,cVenIAddress as cPlace,a 'b',c d FROM V",
       R"(SELECT cVenCode AS "cVenCode",vendor.cvenpostcode AS "cvenpostcode",cVenIAddress as cPlace,a 'b',c d FROM V)"},
      {"stars and unnamed expressions", "select t.*, count(*), case when a=1 then 'y' end, 1+2 from t",
       R"(select t.*, count(*) AS "", case when a=1 then 'y' end AS "", 1+2 AS "" from t)"},
      {"quoted names unquoted", "select \"c d\", [a]]b], \"x\"\"y\" from \"t\"",
       R"(select "c d" AS "c d", [a]]b] AS "a]b", "x""y" AS "x""y" from "t")"},
      {"a sub-select as a table keeps its names",
       "select t1.n,ISNULL(t2.f,1) AS f From (SELECT n FROM F) as t1 Left Join (select n,f from e) as t2 on t1.n=t2.n",
       R"(select t1.n AS "n",ifnull(t2.f,1) AS f From (SELECT n FROM F) as t1 Left Join (select n,f from e) as t2 on t1.n=t2.n)"},
  };
  for (const auto& c : cases) EXPECT_EQ(translate(c.tsql), c.sqlite) << c.what;
}

// Refused with error 3001, the reason and the statement.
TEST(Translation, RefusesWhatSqliteCannotRunAsTheServerWould) {
  const struct { const char* tsql; const char* reason; } cases[] = {
      {"", "empty statement"}, {"select N'abc' from t", "N'..'"}, {"select 'a'+cName from t", "joined with +"},
      {"update t set a=1", "only SELECT"}, {"select a from t; drop table t", "more than one statement"},
      {"select top 10 percent a from t", "PERCENT"}, {"select top 1 with ties a from t order by a", "WITH"},
      {"select top 1 a from t union select b from u", "UNION"}, {"select a into t2 from t", "SELECT INTO"},
      {"select getdate()", "function getdate"}, {"select @x", "variables"}, {"select a from #tmp", "temporary tables"},
      {"select a from t where b = ?", "parameters"}, {"select a from srv.db.sch.t", "more than two parts"},
      {"select a from t where x isnull", "ISNULL without"}, {"select top n a from t", "whole number"},
      {"select a top 1 from t", "TOP outside"}, {"select a from t where b='open", "unterminated string"},
      {"select a from t where (b=1", "unbalanced"}, {"select n = a from t", "name = expression"},
      {"select a from t limit 1", "limit"}, {"select a || b from t", "||"}, {"select a from t, u where t.b *= u.b", "outer joins"},
      {"select a from t where b !< c", "!<"}, {"select a from t /* open", "unterminated comment"},
      {"select [a from t", "unterminated quoted name"},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_EQ(test::errorNumber([&] { translate(c.tsql); }, &why), err::Database) << c.tsql;
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    EXPECT_NE(why.find(c.tsql), std::string::npos) << why;
  }
}

// The values lifted out of a statement; nullopt where it runs as written. Only a literal that is an
// operand of a comparison, LIKE or IN is lifted: elsewhere a bound value would change the meaning.
TEST(Lifting, TakesOutOnlyTheLiteralsWhosePlaceIsCertain) {
  using Values = std::optional<std::vector<std::string>>;
  const struct { const char* sql; Values values; } cases[] = {
      {"select a from T where 'x' = c and d<>'O''Neil'", Values{{"x", "O'Neil"}}},
      {"select a from T where (c='a' OR d='b') AND e>='2026-01-01'", Values{{"a", "b", "2026-01-01"}}},
      {"select a from T where c like '%x%' and d not like 'y'", Values{{"%x%", "y"}}},
      {"select a from T where c in ('a','b') and d not in ( 'c' )", Values{{"a", "b", "c"}}},
      {"select a from T left join U on U.v='V1' where c=''", Values{{"V1", ""}}},
      {"select (select p from L where L.c = 'I1') as p, '' as u from T where c='I2'", Values{{"I1", "I2"}}},
      {"select case when a='x' then 'y' end as k from T where b='w' order by case when a='x' then 0 end",
       Values{{"w"}}},
      {"select a='x', count(*) from T group by a='x' having count(*) > '1'", Values{{"1"}}},
      {"select [a='x'] from \"T='y'\" -- c='z'\n where c = 'v' /* d='w' */", Values{{"v"}}},
      {"select a from T where c like 'x!%' escape '!'", {}}, {"select a from T where c = 'x' collate nocase", {}},
      {"select a from T where c = 'x' + d", {}}, {"select a from T where c between 'a' and 'b'", {}},
      {"select a from T where c = -'1'", {}}, {"select a from T order by 'x'", {}}, {"select a from T where c is 'x'", {}},
      {"select a from T where f('x', c)", {}}, {"select a, b='x' from T", {}}, {"select a from T as 'x'", {}},
      {"select a from T where c=x'0A'", {}}, {"select a from T where c='x' /* open", {}},
      {"select a from T where c='x') and (d='y'", {}}, {"select [a]]b] from T where c='x'", {}},
      {"select a from T where c='\x1f" "1\x1f'", {}},
  };
  for (const auto& c : cases) {
    const auto shape = shapeOf(c.sql);
    ASSERT_EQ(shape.has_value(), c.values.has_value()) << c.sql;
    if (shape) {
      EXPECT_EQ(shape->values, *c.values) << c.sql;
    }
  }
  EXPECT_FALSE(shapeOf(std::string("select a from T where c='x\0y'", 30))) << "a NUL byte";
  const auto a = shapeOf("select a from T where c='I1' and d='V1'"), b = shapeOf("select a from T where c='I2' and d='V2'");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->text, b->text);
  EXPECT_NE(a->text, shapeOf("select a from T where c='I1' and e='V1'")->text);
}

// The cache remembers what a statement lifts by its text with the literals emptied: a statement
// met again, or one that differs only inside its literals, must be shaped exactly as shapeOf does.
TEST(Lifting, RememberedShapesAnswerAsShapingAnew) {
  const std::vector<std::string> statements = {
      "select a from T where c='I1' and d='V1'", "select a from T where c='O''Neil' and d=''",
      "select a from T where c in ('a','b')", "select a from T where c in ('--','/*')",
      "select (select p from L where L.c = 'I1') as p, '' as u from T where c='I2'",
      "select (select p from L where L.c = 'Z') as p, 'q' as u from T where c='Y'",
      "select a from T where c = 'x' + d", "select a from T where c = 'y' + d",
      "select a from T where c='open", "select a from T where c='' and d='open",
      "select [a] from T where c='x'", "select a from T where c='[x]'", "select a from T where c='a\x1f'",
      "select a from T order by 'x'", "select a from T where b = 1"};
  ShapeCache cache;
  for (int round = 0; round < 2; ++round)
    for (const std::string& sql : statements) {
      const auto expected = shapeOf(sql);
      const Shape* remembered = cache.shapeOf(sql);
      ASSERT_EQ(remembered != nullptr, expected.has_value()) << sql;
      if (!expected) continue;
      EXPECT_EQ(remembered->text, expected->text) << sql;
      EXPECT_EQ(remembered->values, expected->values) << sql;
    }
}

TEST(Lifting, MarksBecomeNumberedParametersAndAnAlteredMarkIsRefused) {
  const auto shape = shapeOf("select a from T where c='x' and (d='y' or e='z')");
  ASSERT_TRUE(shape);
  const std::string mark1 = "'\x1f" "1\x1f'", mark3 = "'\x1f" "3\x1f'";
  EXPECT_EQ(withParameters(shape->text, 3), "select a from T where c=?1 and (d=?2 or e=?3)");
  EXPECT_EQ(withParameters(shape->text + " and f=" + mark3, 3), "select a from T where c=?1 and (d=?2 or e=?3) and f=?3");
  for (const auto& [text, count] : std::vector<std::pair<std::string, size_t>>{
           {"c=" + mark1, 2}, {"c=" + mark1, 0}, {"c='\x1f" "1'", 1}, {"c=\x1f" "1\x1f", 1}, {"c='\x1fone\x1f'", 1}})
    EXPECT_FALSE(withParameters("select 1 where " + text, count)) << text;
}

}  // namespace
}  // namespace tallyward::sqlite
