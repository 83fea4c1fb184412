// A small SQL tokenizer for the statement adapter: it splits a statement into
// tokens that point back into the text, so that whatever is not rewritten is
// copied byte for byte.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sx::db::sql {

enum class TokenKind {
  Space,       // blanks and line breaks
  Comment,     // "-- ..." to the end of the line or "/* ... */"
  String,      // '...' with '' inside
  QuotedName,  // "..." or [...]
  Word,        // a name or a keyword
  Number,
  Param,       // ":name"
  Punct,       // an operator or punctuation, "*=" and "=*" as one token
};

struct Token {
  TokenKind kind;
  std::size_t begin;
  std::size_t end;
};

// Splits text into tokens covering it without gaps. An unterminated literal,
// quoted name or comment runs to the end of the text.
std::vector<Token> Tokenize(std::string_view text);

// A token that is neither blank nor comment, as seen at one nesting level:
// a parenthesised group counts as one item spanning both parentheses.
struct Item {
  TokenKind kind;
  std::size_t begin;
  std::size_t end;
  bool group = false;  // "( ... )"; begin at "(", end after ")"
};

// The items at the outermost level of text. Throws sx::db::DbError when the
// parentheses do not balance.
std::vector<Item> TopLevelItems(std::string_view text);

// The text of an item or token.
inline std::string_view Text(std::string_view text, const Item& i) {
  return text.substr(i.begin, i.end - i.begin);
}
// The text inside a group's parentheses.
inline std::string_view Inner(std::string_view text, const Item& i) {
  return text.substr(i.begin + 1, i.end - i.begin - 2);
}

// True when the item is the word w (ASCII letters in any case).
bool IsWord(std::string_view text, const Item& i, std::string_view w);
// True when the item is the punctuation p.
bool IsPunct(std::string_view text, const Item& i, std::string_view p);

// True when the text holds the legacy outer join operator "*=" or "=*"
// outside literals and comments, at any depth.
bool HasOuterJoinOperator(std::string_view text);

}  // namespace sx::db::sql
