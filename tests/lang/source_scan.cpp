#include "source_scan.h"

#include <cstdint>

namespace lw::test {

namespace {

enum class Kind { Identifier, String, Punct };

struct Token {
  Kind kind;
  std::string text;  // the identifier, the decoded literal, or the punctuation
  int line;
};

bool is_ident_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool is_ident_char(char c) { return is_ident_start(c) || (c >= '0' && c <= '9'); }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  std::vector<Token> run() {
    std::vector<Token> out;
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == '/' && peek(1) == '/') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else if (c == '/' && peek(1) == '*') {
        pos_ += 2;
        while (pos_ < s_.size() && !(s_[pos_] == '*' && peek(1) == '/')) advance();
        pos_ += 2;
      } else if (c == '"') {
        const int at = line_;
        out.push_back({Kind::String, quoted('"'), at});
      } else if (c == '\'') {
        // A digit separator (1'000) follows a digit; a char literal doesn't.
        if (pos_ > 0 && is_ident_char(s_[pos_ - 1])) {
          ++pos_;
        } else {
          (void)quoted('\'');
        }
      } else if (is_ident_start(c)) {
        const size_t start = pos_;
        while (pos_ < s_.size() && is_ident_char(s_[pos_])) ++pos_;
        const std::string_view word = s_.substr(start, pos_ - start);
        const bool prefix = word == "u8" || word == "u" || word == "U" || word == "L";
        const bool raw =
            word == "R" || word == "u8R" || word == "uR" || word == "UR" || word == "LR";
        if (raw && peek(0) == '"') {
          const int at = line_;
          out.push_back({Kind::String, raw_string(), at});
        } else if (prefix && peek(0) == '"') {
          const int at = line_;
          out.push_back({Kind::String, quoted('"'), at});
        } else if (prefix && peek(0) == '\'') {
          (void)quoted('\'');
        } else {
          out.push_back({Kind::Identifier, std::string(word), line_});
        }
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else {
        std::string punct(1, c);
        if ((c == ':' && peek(1) == ':') || (c == '-' && peek(1) == '>')) punct += s_[pos_ + 1];
        pos_ += punct.size();
        out.push_back({Kind::Punct, punct, line_});
      }
    }
    return out;
  }

 private:
  char peek(size_t ahead) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }
  void advance() {
    if (s_[pos_] == '\n') ++line_;
    ++pos_;
  }

  // At the opening quote; decodes up to the closing one.
  std::string quoted(char quote) {
    std::string out;
    ++pos_;
    while (pos_ < s_.size() && s_[pos_] != quote && s_[pos_] != '\n') {
      if (s_[pos_] != '\\') {
        out += s_[pos_++];
        continue;
      }
      ++pos_;
      if (pos_ >= s_.size()) break;
      const char e = s_[pos_++];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
          uint32_t v = static_cast<uint32_t>(e - '0');
          for (int i = 0; i < 2 && peek(0) >= '0' && peek(0) <= '7'; ++i) {
            v = v * 8 + static_cast<uint32_t>(s_[pos_++] - '0');
          }
          out += static_cast<char>(v);
          break;
        }
        case 'x': {
          uint32_t v = 0;
          while (hex_digit(peek(0)) >= 0) v = v * 16 + static_cast<uint32_t>(hex_digit(s_[pos_++]));
          out += static_cast<char>(v);
          break;
        }
        case 'u':
        case 'U': {
          uint32_t v = 0;
          for (int i = 0; i < (e == 'u' ? 4 : 8) && hex_digit(peek(0)) >= 0; ++i) {
            v = v * 16 + static_cast<uint32_t>(hex_digit(s_[pos_++]));
          }
          append_utf8(out, v);
          break;
        }
        case '\n':
          ++line_;
          break;  // a line continuation
        default:
          out += e;  // \" \' \\ \?
      }
    }
    ++pos_;  // the closing quote
    return out;
  }

  // At the quote after R: R"delim( ... )delim".
  std::string raw_string() {
    ++pos_;
    const size_t open = s_.find('(', pos_);
    if (open == std::string_view::npos) {
      pos_ = s_.size();
      return {};
    }
    const std::string close = ")" + std::string(s_.substr(pos_, open - pos_)) + "\"";
    const size_t end = s_.find(close, open + 1);
    const size_t stop = end == std::string_view::npos ? s_.size() : end;
    std::string out(s_.substr(open + 1, stop - open - 1));
    for (char c : out) line_ += c == '\n' ? 1 : 0;
    pos_ = end == std::string_view::npos ? s_.size() : end + close.size();
    return out;
  }

  std::string_view s_;
  size_t pos_ = 0;
  int line_ = 1;
};

// Joins the literals from tokens[i] on; i ends past them. False if none.
bool literal_run(const std::vector<Token>& tokens, size_t& i, std::string& out) {
  const size_t start = i;
  while (i < tokens.size() && tokens[i].kind == Kind::String) out += tokens[i++].text;
  return i > start;
}

bool is_punct(const std::vector<Token>& tokens, size_t i, std::string_view p) {
  return i < tokens.size() && tokens[i].kind == Kind::Punct && tokens[i].text == p;
}

}  // namespace

TrScan scan_tr_calls(std::string_view source) {
  const std::vector<Token> tokens = Lexer(source).run();
  TrScan scan;
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].kind != Kind::Identifier || tokens[i].text != "tr") continue;
    if (!is_punct(tokens, i + 1, "(")) continue;
    // x.tr( and p->tr( are someone else's tr.
    if (i > 0 && (is_punct(tokens, i - 1, ".") || is_punct(tokens, i - 1, "->"))) continue;
    size_t j = i + 2;
    TrCall call;
    call.line = tokens[i].line;
    if (literal_run(tokens, j, call.korean) && is_punct(tokens, j, ",") &&
        literal_run(tokens, ++j, call.english) && is_punct(tokens, j, ")")) {
      scan.calls.push_back(std::move(call));
      continue;
    }
    // A type name before "tr" makes it the declaration or definition.
    const bool declaration = i > 0 && tokens[i - 1].kind == Kind::Identifier &&
                             tokens[i - 1].text != "return" && tokens[i - 1].text != "else";
    if (!declaration) scan.unchecked_lines.push_back(call.line);
  }
  return scan;
}

}  // namespace lw::test
