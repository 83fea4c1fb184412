#include "db/Dialect.h"

#include <vector>

#include "db/Backend.h"
#include "db/OuterJoin.h"
#include "db/SqlTokens.h"

namespace sx::db {

using sql::Item;
using sql::TokenKind;

namespace {

// The arguments of a call, split at the commas of the group's top level.
std::vector<std::string_view> Arguments(std::string_view text, const Item& group) {
  std::string_view inner = sql::Inner(text, group);
  std::vector<std::string_view> args;
  std::size_t start = 0;
  for (const auto& i : sql::TopLevelItems(inner))
    if (sql::IsPunct(inner, i, ",")) {
      args.push_back(inner.substr(start, i.begin - start));
      start = i.end;
    }
  args.push_back(inner.substr(start));
  return args;
}

std::string AdaptForSqlite(std::string_view text);

// "top N" after "select [distinct|all]" becomes "limit N" at the end of the
// block; a block that is part of a UNION, or "top ... percent/with ties", is
// left as it is.
std::string MoveTopToLimit(std::string_view text) {
  auto items = sql::TopLevelItems(text);
  std::size_t n = items.size();
  if (n < 3 || !sql::IsWord(text, items[0], "select")) return std::string(text);
  std::size_t k = 1;
  if (sql::IsWord(text, items[k], "distinct") || sql::IsWord(text, items[k], "all")) ++k;
  if (k + 1 >= n || !sql::IsWord(text, items[k], "top")) return std::string(text);
  const Item& count = items[k + 1];
  std::string_view number;
  if (count.kind == TokenKind::Number && !count.group) {
    number = sql::Text(text, count);
  } else if (count.group) {
    auto inner = sql::TopLevelItems(sql::Inner(text, count));
    if (inner.size() != 1 || inner[0].kind != TokenKind::Number) return std::string(text);
    number = sql::Text(sql::Inner(text, count), inner[0]);
  } else {
    return std::string(text);
  }
  if (k + 2 < n && (sql::IsWord(text, items[k + 2], "percent") || sql::IsWord(text, items[k + 2], "with")))
    return std::string(text);
  for (const auto& i : items)
    if (sql::IsWord(text, i, "union") || sql::IsWord(text, i, "except") || sql::IsWord(text, i, "intersect"))
      return std::string(text);
  // Drop "top N" with the blanks after it; add the limit before a closing ";".
  std::size_t cutEnd = k + 2 < n ? items[k + 2].begin : count.end;
  std::size_t last = n - 1;
  while (last > k + 1 && sql::IsPunct(text, items[last], ";")) --last;
  std::size_t tail = items[last].end;
  std::string out(text.substr(0, items[k].begin));
  out.append(text.substr(cutEnd, tail - cutEnd));
  out += " limit ";
  out += number;
  out.append(text.substr(tail));
  return out;
}

// Replaces the server's functions by SQLite's at every depth.
std::string AdaptForSqlite(std::string_view text) {
  auto items = sql::TopLevelItems(text);
  std::string out;
  std::size_t copied = 0;
  auto replace = [&](std::size_t begin, std::size_t end, const std::string& with) {
    out.append(text.substr(copied, begin - copied));
    out += with;
    copied = end;
  };
  for (std::size_t k = 0; k < items.size(); ++k) {
    const Item& i = items[k];
    bool call = i.kind == TokenKind::Word && !i.group && k + 1 < items.size() && items[k + 1].group &&
                !(k > 0 && sql::IsPunct(text, items[k - 1], "."));
    if (call && sql::IsWord(text, i, "IsNull")) {
      replace(i.begin, i.end, "ifnull");
    } else if (call && sql::IsWord(text, i, "GetDate") &&
               sql::TopLevelItems(sql::Inner(text, items[k + 1])).empty()) {
      replace(i.begin, items[k + 1].end, "datetime('now','localtime')");
      ++k;
      continue;
    } else if (call && sql::IsWord(text, i, "Left")) {
      auto args = Arguments(text, items[k + 1]);
      if (args.size() == 2) {
        replace(i.begin, items[k + 1].end,
                "substr(" + AdaptForSqlite(args[0]) + ",1," + AdaptForSqlite(args[1]) + ")");
        ++k;
        continue;
      }
    } else if (call && sql::IsWord(text, i, "Len")) {
      auto args = Arguments(text, items[k + 1]);
      if (args.size() == 1) {
        replace(i.begin, items[k + 1].end, "length(rtrim(" + AdaptForSqlite(args[0]) + ",' '))");
        ++k;
        continue;
      }
    }
    if (i.group) replace(i.begin, i.end, "(" + AdaptForSqlite(sql::Inner(text, i)) + ")");
  }
  out.append(text.substr(copied));
  return MoveTopToLimit(out);
}

}  // namespace

std::string TranslateStatement(const std::string& tsql, DialectKind kind) {
  std::string text = RewriteOuterJoins(tsql);
  if (kind != DialectKind::Sqlite) return text;
  try {
    return AdaptForSqlite(text);
  } catch (const DbError&) {
    // Unbalanced parentheses: the engine reports the fault in its own words.
    return text;
  }
}

}  // namespace sx::db
