#include "db/OuterJoin.h"

#include <set>
#include <vector>

#include "base/Text.h"
#include "db/Backend.h"
#include "db/SqlTokens.h"

namespace sx::db {

using sql::Item;
using sql::TokenKind;

namespace {

[[noreturn]] void Fail(const std::string& reason, std::string_view statement) {
  throw DbError("The outer join operator *= cannot be rewritten (" + reason + ") in: " +
                std::string(statement));
}

// A table or column name without its quotes, in lower case.
std::string NameKey(std::string_view name) {
  if (name.size() >= 2 && (name.front() == '[' || name.front() == '"')) name = name.substr(1, name.size() - 2);
  return LowerCase(name);
}

bool IsName(const sql::Token& t) { return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName; }

// Words that are not column names when they stand alone in a condition.
bool IsKeyword(std::string_view w) {
  static const std::set<std::string> kWords = {
      "and", "or", "not", "null", "is", "in", "like", "between", "exists", "escape",
      "case", "when", "then", "else", "end", "as", "collate", "distinct", "all", "any",
      "some", "select", "from", "where", "top", "current_timestamp"};
  return kWords.count(LowerCase(w)) != 0;
}

// The tables a condition names through "alias.column", and the first column
// it names without a table (outside subqueries, whose own tables answer it).
struct Refs {
  std::set<std::string> aliases;
  std::string unqualified;
};

Refs CollectRefs(std::string_view s) {
  Refs refs;
  auto tokens = sql::Tokenize(s);
  std::vector<sql::Token> sig;
  for (const auto& t : tokens)
    if (t.kind != TokenKind::Space && t.kind != TokenKind::Comment) sig.push_back(t);
  auto text = [&](std::size_t k) { return s.substr(sig[k].begin, sig[k].end - sig[k].begin); };
  auto punct = [&](std::size_t k, std::string_view p) {
    return k < sig.size() && sig[k].kind == TokenKind::Punct && text(k) == p;
  };
  std::vector<bool> inSubquery{false};
  for (std::size_t k = 0; k < sig.size(); ++k) {
    if (punct(k, "(")) {
      bool sub = k + 1 < sig.size() && sig[k + 1].kind == TokenKind::Word &&
                 SameTextIgnoringCase(text(k + 1), "select");
      inSubquery.push_back(inSubquery.back() || sub);
      continue;
    }
    if (punct(k, ")")) {
      if (inSubquery.size() > 1) inSubquery.pop_back();
      continue;
    }
    if (!IsName(sig[k])) continue;
    bool afterDot = k > 0 && punct(k - 1, ".");
    bool beforeDot = punct(k + 1, ".");
    if (beforeDot) {
      // The qualifier is the name right before a column: "a.col" or "db.a.col".
      bool last = !(k + 3 < sig.size() && punct(k + 3, "."));
      if (last) refs.aliases.insert(NameKey(text(k)));
      continue;
    }
    if (afterDot || inSubquery.back() || !refs.unqualified.empty()) continue;
    if (sig[k].kind != TokenKind::Word) {
      refs.unqualified = std::string(text(k));
      continue;
    }
    std::string_view w = text(k);
    if (IsKeyword(w) || w.front() == '@' || punct(k + 1, "(")) continue;
    if (k > 0 && sig[k - 1].kind == TokenKind::Word &&
        (SameTextIgnoringCase(text(k - 1), "as") || SameTextIgnoringCase(text(k - 1), "collate")))
      continue;
    // N'text' is a literal, not a column N.
    if ((w == "N" || w == "n") && k + 1 < sig.size() && sig[k + 1].kind == TokenKind::String &&
        sig[k + 1].begin == sig[k].end)
      continue;
    refs.unqualified = std::string(w);
  }
  return refs;
}

struct FromEntry {
  std::string text;   // as written, e.g. "MenuSuite m" or "(select ...) as g"
  std::string alias;  // lower case
  std::set<std::string> dependsOn;  // outer tables of its outer joins
  std::vector<std::string> on;      // its ON conditions, in order of appearance
  bool outerJoined = false;
};

FromEntry ParseFromEntry(std::string_view text, const std::vector<Item>& items, std::string_view statement) {
  if (items.empty()) Fail("an empty entry in the FROM list", statement);
  FromEntry e;
  e.text = std::string(text.substr(items.front().begin, items.back().end - items.front().begin));
  for (const auto& i : items)
    if (sql::IsWord(text, i, "join") || sql::IsWord(text, i, "apply") || sql::IsWord(text, i, "pivot"))
      Fail("an explicit JOIN in the same FROM list", statement);
  std::size_t k = 0;
  std::string name;
  if (items[0].group) {
    k = 1;
  } else {
    auto isName = [&](std::size_t j) {
      return j < items.size() && (items[j].kind == TokenKind::Word || items[j].kind == TokenKind::QuotedName) &&
             !items[j].group;
    };
    if (!isName(0)) Fail("a FROM entry that is not a table: " + e.text, statement);
    name = NameKey(sql::Text(text, items[0]));
    k = 1;
    while (k + 1 < items.size() && sql::IsPunct(text, items[k], ".") && isName(k + 1)) {
      name = NameKey(sql::Text(text, items[k + 1]));
      k += 2;
    }
  }
  if (k < items.size() && sql::IsWord(text, items[k], "as")) ++k;
  if (k < items.size() && !items[k].group && !sql::IsWord(text, items[k], "with") &&
      (items[k].kind == TokenKind::Word || items[k].kind == TokenKind::QuotedName)) {
    name = NameKey(sql::Text(text, items[k]));
    ++k;
  }
  // A table hint such as "with (nolock)" may follow.
  if (k + 1 < items.size() && sql::IsWord(text, items[k], "with") && items[k + 1].group) k += 2;
  if (k != items.size() || name.empty()) Fail("a FROM entry that is not understood: " + e.text, statement);
  e.alias = name;
  return e;
}

// Rewrites one query block (no UNION at its top level).
std::string RewriteBlock(std::string_view text) {
  auto items = sql::TopLevelItems(text);
  std::size_t n = items.size();
  auto find = [&](std::size_t from, std::initializer_list<std::string_view> words) {
    for (std::size_t k = from; k < n; ++k)
      for (auto w : words)
        if (sql::IsWord(text, items[k], w)) return k;
    return n;
  };
  std::size_t sel = find(0, {"select"});
  if (sel == n) Fail("not a SELECT", text);
  std::size_t from = find(sel + 1, {"from"});
  if (from == n) Fail("no FROM list", text);
  std::size_t where = find(from + 1, {"where"});
  if (where == n) Fail("the operator stands outside the WHERE clause", text);
  for (std::size_t k = 0; k < where; ++k)
    if (sql::IsPunct(text, items[k], "*=") || sql::IsPunct(text, items[k], "=*"))
      Fail("the operator stands outside the WHERE clause", text);
  std::size_t whereEnd = find(where + 1, {"group", "having", "order", "option", "for", "limit", "window"});
  for (std::size_t k = where + 1; k < whereEnd; ++k)
    if (sql::IsPunct(text, items[k], ";")) {
      whereEnd = k;
      break;
    }
  for (std::size_t k = whereEnd; k < n; ++k)
    if (sql::IsPunct(text, items[k], "*=") || sql::IsPunct(text, items[k], "=*"))
      Fail("the operator stands outside the WHERE clause", text);

  // The FROM list, split at its commas.
  std::vector<FromEntry> entries;
  {
    std::vector<Item> cur;
    for (std::size_t k = from + 1; k <= where; ++k) {
      if (k == where || sql::IsPunct(text, items[k], ",")) {
        entries.push_back(ParseFromEntry(text, cur, text));
        cur.clear();
      } else {
        cur.push_back(items[k]);
      }
    }
  }
  auto entryOf = [&](const std::string& alias) -> FromEntry* {
    for (auto& e : entries)
      if (e.alias == alias) return &e;
    return nullptr;
  };
  for (std::size_t a = 0; a < entries.size(); ++a)
    for (std::size_t b = a + 1; b < entries.size(); ++b)
      if (entries[a].alias == entries[b].alias) Fail("the table name '" + entries[a].alias + "' is used twice", text);

  // The WHERE clause, split into the conditions joined by AND at its top level.
  struct Condition {
    std::size_t begin, end;
    const Item* op = nullptr;
    Refs refs;
  };
  std::vector<Condition> conditions;
  {
    int caseDepth = 0;
    bool inBetween = false;
    std::size_t first = where + 1;
    const Item* op = nullptr;
    auto close = [&](std::size_t last) {
      if (first >= last) Fail("an empty condition", text);
      conditions.push_back({items[first].begin, items[last - 1].end, op, {}});
      op = nullptr;
    };
    for (std::size_t k = where + 1; k < whereEnd; ++k) {
      const Item& i = items[k];
      if (sql::IsWord(text, i, "case")) ++caseDepth;
      if (sql::IsWord(text, i, "end") && caseDepth > 0) --caseDepth;
      if (caseDepth > 0) continue;
      if (sql::IsWord(text, i, "between")) inBetween = true;
      if (sql::IsWord(text, i, "or")) Fail("OR at the top level of the WHERE clause", text);
      if (sql::IsPunct(text, i, "*=") || sql::IsPunct(text, i, "=*")) {
        if (op) Fail("two outer join operators in one condition", text);
        op = &i;
      }
      if (sql::IsWord(text, i, "and")) {
        if (inBetween) {
          inBetween = false;
          continue;
        }
        close(k);
        first = k + 1;
      }
    }
    close(whereEnd);
  }

  // Outer join conditions name the preserved table on the side of the "*".
  for (auto& c : conditions) {
    std::string_view whole = text.substr(c.begin, c.end - c.begin);
    c.refs = CollectRefs(whole);
    if (!c.refs.unqualified.empty())
      Fail("the column '" + c.refs.unqualified + "' names no table, so its condition cannot be placed", text);
    if (!c.op) continue;
    // "a.k**=b.k" would join back into the operator once "*=" becomes "=".
    std::string_view before = text.substr(c.begin, c.op->begin - c.begin);
    std::string_view after = text.substr(c.op->end, c.end - c.op->end);
    if ((!before.empty() && (before.back() == '*' || before.back() == '=')) ||
        (!after.empty() && (after.front() == '*' || after.front() == '=')))
      Fail("an operand of the operator is not a column: " + std::string(whole), text);
    Refs left = CollectRefs(text.substr(c.begin, c.op->begin - c.begin));
    Refs right = CollectRefs(text.substr(c.op->end, c.end - c.op->end));
    bool leftPreserved = sql::IsPunct(text, *c.op, "*=");
    const Refs& outer = leftPreserved ? left : right;
    const Refs& inner = leftPreserved ? right : left;
    if (outer.aliases.size() != 1 || inner.aliases.size() != 1 || outer.aliases == inner.aliases)
      Fail("the condition does not compare columns of two tables: " + std::string(whole), text);
    FromEntry* o = entryOf(*outer.aliases.begin());
    FromEntry* i = entryOf(*inner.aliases.begin());
    if (!o || !i) Fail("the condition names a table missing from the FROM list: " + std::string(whole), text);
    i->outerJoined = true;
    i->dependsOn.insert(o->alias);
  }
  std::vector<std::string> remaining;
  for (const auto& c : conditions) {
    std::string cond;
    if (c.op)
      cond = std::string(text.substr(c.begin, c.op->begin - c.begin)) + "=" +
             std::string(text.substr(c.op->end, c.end - c.op->end));
    else
      cond = std::string(text.substr(c.begin, c.end - c.begin));
    // A condition on the inner table alone filters that table before the join.
    std::set<std::string> named;
    for (const auto& a : c.refs.aliases)
      if (entryOf(a)) named.insert(a);
    FromEntry* only = named.size() == 1 ? entryOf(*named.begin()) : nullptr;
    if (c.op) {
      Refs right = CollectRefs(text.substr(c.op->end, c.end - c.op->end));
      Refs left = CollectRefs(text.substr(c.begin, c.op->begin - c.begin));
      const Refs& inner = sql::IsPunct(text, *c.op, "*=") ? right : left;
      entryOf(*inner.aliases.begin())->on.push_back(cond);
    } else if (only && only->outerJoined) {
      only->on.push_back(cond);
    } else {
      remaining.push_back(cond);
    }
  }

  // One explicit chain; each outer-joined table after the tables it depends on,
  // otherwise in the order written.
  std::vector<FromEntry*> order;
  std::set<std::string> placed;
  std::vector<FromEntry*> pending;
  for (auto& e : entries) pending.push_back(&e);
  while (!pending.empty()) {
    bool progress = false;
    for (std::size_t k = 0; k < pending.size(); ++k) {
      bool ready = true;
      for (const auto& d : pending[k]->dependsOn) ready = ready && placed.count(d);
      if (!ready) continue;
      order.push_back(pending[k]);
      placed.insert(pending[k]->alias);
      pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(k));
      progress = true;
      break;
    }
    if (!progress) Fail("the outer joins form a cycle", text);
  }
  std::string chain = order.front()->text;
  for (std::size_t k = 1; k < order.size(); ++k) {
    const FromEntry& e = *order[k];
    if (!e.outerJoined) {
      chain += " inner join " + e.text + " on 1=1";
      continue;
    }
    chain += " left outer join " + e.text + " on ";
    for (std::size_t c = 0; c < e.on.size(); ++c) chain += (c ? " and " : "") + e.on[c];
  }

  std::string out(text.substr(0, items[from].end));
  out += " " + chain;
  if (!remaining.empty()) {
    out += " where ";
    for (std::size_t c = 0; c < remaining.size(); ++c) out += (c ? " and " : "") + remaining[c];
  }
  if (whereEnd < n)
    out += " " + std::string(text.substr(items[whereEnd].begin));
  else
    out += std::string(text.substr(items.back().end));
  return out;
}

}  // namespace

std::string RewriteOuterJoins(std::string_view statement) {
  if (!sql::HasOuterJoinOperator(statement)) return std::string(statement);
  // Rewrite derived tables and subqueries first.
  auto items = sql::TopLevelItems(statement);
  std::string text;
  std::size_t copied = 0;
  for (const auto& i : items) {
    if (!i.group) continue;
    std::string_view inner = sql::Inner(statement, i);
    if (!sql::HasOuterJoinOperator(inner)) continue;
    text.append(statement.substr(copied, i.begin + 1 - copied));
    text += RewriteOuterJoins(inner);
    copied = i.end - 1;
  }
  text.append(statement.substr(copied));
  if (!sql::HasOuterJoinOperator(text)) return text;

  // Then each query block of a UNION on its own.
  items = sql::TopLevelItems(text);
  std::string out;
  std::size_t blockBegin = 0;
  auto flush = [&](std::size_t end) {
    std::string_view block = std::string_view(text).substr(blockBegin, end - blockBegin);
    bool own = false;
    for (const auto& i : sql::TopLevelItems(block))
      own = own || sql::IsPunct(block, i, "*=") || sql::IsPunct(block, i, "=*");
    out += own ? RewriteBlock(block) : std::string(block);
  };
  for (std::size_t k = 0; k < items.size(); ++k) {
    std::string_view tv = text;
    if (!(sql::IsWord(tv, items[k], "union") || sql::IsWord(tv, items[k], "except") ||
          sql::IsWord(tv, items[k], "intersect")))
      continue;
    std::size_t sepEnd = items[k].end;
    if (k + 1 < items.size() && sql::IsWord(tv, items[k + 1], "all")) sepEnd = items[k + 1].end;
    flush(items[k].begin);
    out.append(text, items[k].begin, sepEnd - items[k].begin);
    blockBegin = sepEnd;
  }
  flush(text.size());
  return out;
}

}  // namespace sx::db
