#include "db/SqlTokens.h"

#include "base/Text.h"
#include "db/Backend.h"

namespace sx::db::sql {

namespace {

bool IsNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '@' || c == '#' ||
         c >= 0x80;
}
bool IsNameChar(unsigned char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '$'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Parameter names as the access layer recognises them.
bool IsParamChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
}

// The end of a quoted run starting at i (the opening quote); a doubled
// closing quote continues it.
std::size_t QuotedEnd(std::string_view t, std::size_t i, char close) {
  std::size_t j = i + 1;
  while (j < t.size()) {
    if (t[j] == close) {
      if (j + 1 < t.size() && t[j + 1] == close) {
        j += 2;
        continue;
      }
      return j + 1;
    }
    ++j;
  }
  return t.size();
}

}  // namespace

std::vector<Token> Tokenize(std::string_view t) {
  std::vector<Token> out;
  std::size_t i = 0;
  auto push = [&](TokenKind k, std::size_t end) {
    out.push_back({k, i, end});
    i = end;
  };
  while (i < t.size()) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    unsigned char n = i + 1 < t.size() ? static_cast<unsigned char>(t[i + 1]) : 0;
    if (c <= ' ') {
      std::size_t j = i;
      while (j < t.size() && static_cast<unsigned char>(t[j]) <= ' ') ++j;
      push(TokenKind::Space, j);
    } else if (c == '-' && n == '-') {
      std::size_t j = t.find('\n', i);
      push(TokenKind::Comment, j == std::string_view::npos ? t.size() : j);
    } else if (c == '/' && n == '*') {
      std::size_t j = t.find("*/", i + 2);
      push(TokenKind::Comment, j == std::string_view::npos ? t.size() : j + 2);
    } else if (c == '\'') {
      push(TokenKind::String, QuotedEnd(t, i, '\''));
    } else if (c == '"') {
      push(TokenKind::QuotedName, QuotedEnd(t, i, '"'));
    } else if (c == '[') {
      push(TokenKind::QuotedName, QuotedEnd(t, i, ']'));
    } else if (c == ':' && IsParamChar(n) &&
               (i == 0 || (t[i - 1] != ':' && !IsParamChar(static_cast<unsigned char>(t[i - 1]))))) {
      std::size_t j = i + 1;
      while (j < t.size() && IsParamChar(static_cast<unsigned char>(t[j]))) ++j;
      push(TokenKind::Param, j);
    } else if (IsNameStart(c)) {
      std::size_t j = i + 1;
      while (j < t.size() && IsNameChar(static_cast<unsigned char>(t[j]))) ++j;
      push(TokenKind::Word, j);
    } else if (IsDigit(c) || (c == '.' && IsDigit(n))) {
      std::size_t j = i;
      while (j < t.size() && (IsDigit(static_cast<unsigned char>(t[j])) || t[j] == '.')) ++j;
      if (j < t.size() && (t[j] == 'e' || t[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
        if (k < t.size() && IsDigit(static_cast<unsigned char>(t[k]))) {
          j = k;
          while (j < t.size() && IsDigit(static_cast<unsigned char>(t[j]))) ++j;
        }
      }
      push(TokenKind::Number, j);
    } else {
      static constexpr std::string_view kPairs[] = {"*=", "=*", "<=", ">=", "<>", "!=", "!<", "!>", "||"};
      std::size_t len = 1;
      for (auto p : kPairs)
        if (t.substr(i, 2) == p) len = 2;
      push(TokenKind::Punct, i + len);
    }
  }
  return out;
}

std::vector<Item> TopLevelItems(std::string_view text) {
  std::vector<Item> items;
  int depth = 0;
  std::size_t groupBegin = 0;
  for (const Token& tok : Tokenize(text)) {
    if (tok.kind == TokenKind::Space || tok.kind == TokenKind::Comment) continue;
    bool open = tok.kind == TokenKind::Punct && text[tok.begin] == '(';
    bool close = tok.kind == TokenKind::Punct && text[tok.begin] == ')';
    if (open) {
      if (depth++ == 0) groupBegin = tok.begin;
    } else if (close) {
      if (depth == 0) throw DbError("Unbalanced parentheses in the statement: " + std::string(text));
      if (--depth == 0) items.push_back({TokenKind::Punct, groupBegin, tok.end, true});
    } else if (depth == 0) {
      items.push_back({tok.kind, tok.begin, tok.end, false});
    }
  }
  if (depth != 0) throw DbError("Unbalanced parentheses in the statement: " + std::string(text));
  return items;
}

bool IsWord(std::string_view text, const Item& i, std::string_view w) {
  return i.kind == TokenKind::Word && !i.group && SameTextIgnoringCase(Text(text, i), w);
}

bool IsPunct(std::string_view text, const Item& i, std::string_view p) {
  return i.kind == TokenKind::Punct && !i.group && Text(text, i) == p;
}

bool HasOuterJoinOperator(std::string_view text) {
  for (const Token& tok : Tokenize(text)) {
    if (tok.kind != TokenKind::Punct) continue;
    auto s = text.substr(tok.begin, tok.end - tok.begin);
    if (s == "*=" || s == "=*") return true;
  }
  return false;
}

}  // namespace sx::db::sql
