// Which literals of a statement become bound values, and how the marks become parameters.
#include "platform/db/literal_shape.h"

#include <gtest/gtest.h>

namespace tallyward::sqlite {
namespace {

// The shape's text with the marks shown as <N>, for readable expectations.
std::string readable(const Shape& s) {
  std::string out;
  for (char c : s.text) {
    if (c == '\x1f') continue;
    out += c;
  }
  std::string shown;
  for (size_t i = 0; i < out.size(); ++i) {
    // '12' after a lift reads as <12>: marks are the only literals made of digits alone here.
    if (out[i] == '\'' && i + 1 < out.size() && out[i + 1] >= '1' && out[i + 1] <= '9') {
      size_t j = i + 1;
      while (j < out.size() && out[j] >= '0' && out[j] <= '9') ++j;
      if (j < out.size() && out[j] == '\'') {
        shown += "<" + out.substr(i + 1, j - i - 1) + ">";
        i = j;
        continue;
      }
    }
    shown += out[i];
  }
  return shown;
}

// Each statement, the shape it takes (nullptr: it is run as written) and the values lifted out.
TEST(Lifting, TakesOutOnlyTheLiteralsWhosePlaceIsCertain) {
  const struct { const char* sql; const char* shape; std::vector<std::string> values; } cases[] = {
      // Comparisons, either way round, at any depth, with the doubled quote read as one.
      {"select a from T where c='P1001'", "select a from T where c=<1>", {"P1001"}},
      {"select a from T where 'x' = c and d<>'O''Neil'", "select a from T where <1> = c and d<><2>",
       {"x", "O'Neil"}},
      {"select a from T where (c='a' OR d='b') AND e>='2026-01-01'",
       "select a from T where (c=<1> OR d=<2>) AND e>=<3>", {"a", "b", "2026-01-01"}},
      {"select a from T where c like '%x%' and d not like 'y'",
       "select a from T where c like <1> and d not like <2>", {"%x%", "y"}},
      {"select a from T where c in ('a','b') and d not in ( 'c' )",
       "select a from T where c in (<1>,<2>) and d not in ( <3> )", {"a", "b", "c"}},
      {"select a from T left join U on T.k=U.k and U.v='V1' where c=''",
       "select a from T left join U on T.k=U.k and U.v=<1> where c=<2>", {"V1", ""}},
      // A sub-select in the select list: its own WHERE is lifted, the outer list is not.
      {"select (select top 1 p from L where L.c = 'I1' order by id desc) as p, '' as u from T where c='I1'",
       "select (select top 1 p from L where L.c = <1> order by id desc) as p, '' as u from T where c=<2>",
       {"I1", "I1"}},
      {"select case when a='x' then 'y' else 'z' end as k from T where b='w'",
       "select case when a='x' then 'y' else 'z' end as k from T where b=<1>", {"w"}},
      // Places whose literal is not an operand of a comparison stay as written.
      {"select a from T where c like 'x!%' escape '!'", nullptr, {}},
      {"select a from T where c = 'x' collate nocase", nullptr, {}},
      {"select a from T where c = 'x' + d", nullptr, {}},
      {"select a from T where c between 'a' and 'b'", nullptr, {}},
      {"select a from T where c = -'1'", nullptr, {}},
      {"select a from T order by 'x'", nullptr, {}},
      {"select a from T where b='w' order by case when a='x' then 0 else 1 end",
       "select a from T where b=<1> order by case when a='x' then 0 else 1 end", {"w"}},
      {"select a='x', count(*) from T group by a='x' having count(*) > '1'",
       "select a='x', count(*) from T group by a='x' having count(*) > <1>", {"1"}},
      {"select a from T where c is 'x'", nullptr, {}},
      {"select a from T where f('x', c)", nullptr, {}},
      {"select a, b='x' from T", nullptr, {}},
      {"select a 'alias' from T", nullptr, {}},
      {"select a from T as 'x'", nullptr, {}},
      {"select a from T where c=x'0A'", nullptr, {}},
      // Literal-looking text inside names and comments is not a literal.
      {"select [a='x'] from \"T='y'\" -- where c='z'\n where c = 'v' /* and d='w' */",
       "select [a='x'] from \"T='y'\" -- where c='z'\n where c = <1> /* and d='w' */", {"v"}},
      // Texts that are not shaped at all: run as written, where the database judges them.
      {"select a from T where c='open", nullptr, {}},
      {"select a from T where c='x' /* open", nullptr, {}},
      {"select a from T where (c='x'", nullptr, {}},
      {"select a from T where c='x') and (d='y'", nullptr, {}},
      {"select [a]]b] from T where c='x'", nullptr, {}},
      {"select a from T where c='\x1f" "1\x1f'", nullptr, {}},
      {"select a from T where c='x' -- \x1f" "1\x1f", nullptr, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    const auto shape = shapeOf(c.sql);
    if (!c.shape) {
      EXPECT_FALSE(shape.has_value()) << readable(*shape);
      continue;
    }
    ASSERT_TRUE(shape.has_value());
    EXPECT_EQ(readable(*shape), c.shape);
    EXPECT_EQ(shape->values, c.values);
  }
}

TEST(Lifting, ANulByteKeepsTheStatementAsWritten) {
  const std::string sql("select a from T where c='x\0y'", 30);
  EXPECT_FALSE(shapeOf(sql).has_value());
}

TEST(Lifting, StatementsThatDifferOnlyInLiftedLiteralsShareTheirShape) {
  const auto a = shapeOf("select a from T where c='I000001' and d='V001'");
  const auto b = shapeOf("select a from T where c='I099999' and d='V002'");
  const auto other = shapeOf("select a from T where c='I000001' and e='V001'");
  ASSERT_TRUE(a && b && other);
  EXPECT_EQ(a->text, b->text);
  EXPECT_NE(a->text, other->text);
  EXPECT_EQ(b->values, (std::vector<std::string>{"I099999", "V002"}));
}

TEST(Parameters, MarksBecomeNumberedParametersAndCopiesShareTheirNumber) {
  const auto shape = shapeOf("select a from T where c='x' and (d='y' or e='z')");
  ASSERT_TRUE(shape);
  // As if a rewrite had copied the third literal into a companion condition.
  std::string copied = shape->text;
  const std::string third = "'\x1f" "3\x1f'";
  copied += " and f=" + third;
  EXPECT_EQ(withParameters(shape->text, 3), "select a from T where c=?1 and (d=?2 or e=?3)");
  EXPECT_EQ(withParameters(copied, 3), "select a from T where c=?1 and (d=?2 or e=?3) and f=?3");
}

TEST(Parameters, AnAlteredOrMissingMarkIsRefused) {
  const std::string mark1 = "'\x1f" "1\x1f'";
  EXPECT_FALSE(withParameters("select 1 where c=" + mark1, 2)) << "the second value has no mark";
  EXPECT_FALSE(withParameters("select 1 where c=" + mark1, 0)) << "a mark beyond the values";
  EXPECT_FALSE(withParameters("select 1 where c='\x1f" "1'", 1)) << "unclosed mark";
  EXPECT_FALSE(withParameters("select 1 where c=\x1f" "1\x1f", 1)) << "mark without its quotes";
  EXPECT_FALSE(withParameters("select 1 where c='\x1fone\x1f'", 1)) << "not a number";
  EXPECT_EQ(withParameters("select 1", 0), "select 1");
}

}  // namespace
}  // namespace tallyward::sqlite
