#include "datamodule/TextRoutines.h"

#include "base/Text.h"

namespace sx {

std::string ReplaceAll(std::string_view source, std::string_view oldText, std::string_view newText) {
  if (oldText.empty() || newText.find(oldText) != std::string_view::npos) return std::string(source);
  // Replacing the first occurrence and searching again from the start is the
  // same as scanning once: the text scanned so far never holds an occurrence,
  // so the first one to complete is the first one in the text; its
  // replacement goes back in front of the unscanned rest to be scanned again.
  std::string result;
  result.reserve(source.size());
  std::string pending;  // replacement text still to scan, in reverse order
  std::size_t next = 0;
  while (!pending.empty() || next < source.size()) {
    if (!pending.empty()) {
      result += pending.back();
      pending.pop_back();
    } else {
      result += source[next++];
    }
    if (result.ends_with(oldText)) {
      result.resize(result.size() - oldText.size());
      pending.append(newText.rbegin(), newText.rend());
    }
  }
  return result;
}

int CountTokens(std::string_view source, std::string_view separator) {
  std::string rest = Trim(source);
  if (rest.empty()) return 0;
  int count = 0;
  std::string_view text(rest);
  while (!text.empty()) {
    std::size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
    if (p == std::string_view::npos) {
      ++count;
      break;
    }
    text.remove_prefix(p + separator.size());
    ++count;
    if (text.empty()) ++count;
  }
  return count;
}

std::string Token(std::string_view source, std::string_view separator, int index) {
  std::string_view text = source;
  auto find = [&](std::string_view t) {
    return separator.empty() ? std::string_view::npos : t.find(separator);
  };
  for (int i = 0; i < index; ++i) {
    std::size_t p = find(text);
    if (p == std::string_view::npos) return std::string();
    text.remove_prefix(p + separator.size());
  }
  return std::string(text.substr(0, find(text)));
}

}  // namespace sx
