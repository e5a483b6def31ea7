// Two passes over the source: the first places every label (each statement's
// size is known from its form alone), the second evaluates operands and
// emits the bytes.
#include "tools/hitasm/assembler.h"

#include <cctype>
#include <map>
#include <sstream>

#include "kernel/script/vm_parts.h"

namespace hitasm {
namespace {

struct Mnemonic {
  const char* name;
  uint8_t opcode;
  bool operand;
};

constexpr Mnemonic kMnemonics[] = {
    {"NOP", 0, false},  {"PUSH", 1, true},  {"POP", 2, false},   {"ADD", 3, false},  {"SUB", 4, false},
    {"MUL", 5, false},  {"DIV", 6, false},  {"JMP", 7, true},    {"JZ", 8, true},    {"JNZ", 9, true},
    {"NOP4", 10, true}, {"HALT", 11, false}, {"LOAD", 12, true}, {"STORE", 13, true}, {"SYSCALL", 14, true},
    {"CMP", 16, false}, {"LT", 17, false},  {"GT", 18, false},   {"EQ", 19, false},  {"NE", 20, false},
    {"AND", 21, false}, {"OR", 22, false},  {"NOT", 23, false},
};
constexpr uint32_t kCodeBase = 0x1000;

struct Failure {
  std::string message;
};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

const Mnemonic* find_mnemonic(const std::string& word) {
  for (const Mnemonic& m : kMnemonics)
    if (upper(word) == m.name) return &m;
  return nullptr;
}

// The line without its comment (a ";" outside quotes).
std::string strip_comment(const std::string& line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && quoted) ++i;
    else if (line[i] == '"' || line[i] == '\'') quoted = !quoted;
    else if (line[i] == ';' && !quoted) return line.substr(0, i);
  }
  return line;
}

Bytes parse_string(const std::string& text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') throw Failure{"expected a quoted string"};
  Bytes out;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    char c = text[i];
    if (c == '\\') {
      if (i + 2 >= text.size()) throw Failure{"unfinished escape"};
      const char e = text[++i];
      c = e == 'n' ? '\n' : e == 't' ? '\t' : e == '0' ? '\0' : e;
    }
    out.push_back(static_cast<uint8_t>(c));
  }
  out.push_back(0);
  return out;
}

std::vector<std::string> split_commas(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, ',');) parts.push_back(trim(part));
  return parts;
}

class Assembler {
 public:
  Result run(const std::string& source) {
    Result result;
    std::vector<std::string> lines;
    std::stringstream in(source);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    for (pass_ = 1; pass_ <= 2; ++pass_) {
      code_.clear();
      for (size_t i = 0; i < lines.size(); ++i) {
        try {
          statement(lines[i]);
        } catch (const Failure& f) {
          result.error = "line " + std::to_string(i + 1) + ": " + f.message;
          return result;
        }
      }
    }
    if (code_.size() > kMaxCode) {
      result.error = "program too long: " + std::to_string(code_.size()) + " bytes, at most " +
                     std::to_string(kMaxCode);
      return result;
    }
    result.code = code_;
    return result;
  }

 private:
  void statement(const std::string& raw) {
    std::string line = trim(strip_comment(raw));
    const size_t colon = line.find(':');
    if (colon != std::string::npos && line.find('"') > colon && line.find('\'') > colon) {
      define_label(trim(line.substr(0, colon)));
      line = trim(line.substr(colon + 1));
    }
    if (line.empty()) return;
    const size_t space = line.find_first_of(" \t");
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : trim(line.substr(space));
    if (word[0] == '.') return directive(word, rest);
    const Mnemonic* m = find_mnemonic(word);
    if (!m) throw Failure{"unknown instruction " + word};
    if (m->operand != !rest.empty()) throw Failure{word + (m->operand ? " needs an operand" : " takes no operand")};
    code_.push_back(m->opcode);
    if (m->operand) emit_int(pass_ == 1 ? 0 : value(rest, m->opcode == 14));
  }

  void directive(const std::string& word, const std::string& rest) {
    if (word == ".string") {
      const Bytes bytes = parse_string(rest);
      code_.insert(code_.end(), bytes.begin(), bytes.end());
    } else if (word == ".byte") {
      for (const std::string& item : split_commas(rest)) {
        const int64_t v = pass_ == 1 ? 0 : value(item, false);
        if (v < -128 || v > 255) throw Failure{"byte out of range: " + item};
        code_.push_back(static_cast<uint8_t>(v));
      }
    } else if (word == ".int") {
      emit_int(pass_ == 1 ? 0 : value(rest, false));
    } else if (word == ".equ") {
      const size_t space = rest.find_first_of(" \t");
      if (space == std::string::npos) throw Failure{".equ needs a name and a value"};
      const std::string name = rest.substr(0, space);
      if (pass_ == 1 && (constants_.count(name) || labels_.count(name))) throw Failure{"defined twice: " + name};
      constants_[name] = value(trim(rest.substr(space)), false);
    } else {
      throw Failure{"unknown directive " + word};
    }
  }

  void define_label(const std::string& name) {
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
      throw Failure{"bad label name '" + name + "'"};
    if (pass_ == 1 && (labels_.count(name) || constants_.count(name))) throw Failure{"defined twice: " + name};
    labels_[name] = static_cast<int64_t>(code_.size());
  }

  void emit_int(int64_t v) {
    if (v < INT32_MIN || v > UINT32_MAX) throw Failure{"value out of 32-bit range"};
    const uint32_t u = static_cast<uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8) code_.push_back(static_cast<uint8_t>(u >> shift));
  }

  // term (('+' | '-') term)*
  int64_t value(const std::string& text, bool syscall) {
    int64_t total = 0;
    int sign = 1;
    size_t at = 0;
    bool expect_term = true;
    while (at < text.size()) {
      const char c = text[at];
      if (c == ' ' || c == '\t') {
        ++at;
      } else if (!expect_term && (c == '+' || c == '-')) {
        sign = c == '+' ? 1 : -1;
        expect_term = true;
        ++at;
      } else if (expect_term) {
        total += sign * term(text, at, syscall);
        expect_term = false;
      } else {
        throw Failure{"cannot read '" + text + "'"};
      }
    }
    if (expect_term) throw Failure{"missing value in '" + text + "'"};
    return total;
  }

  int64_t term(const std::string& text, size_t& at, bool syscall) {
    if (text[at] == '\'') {
      if (at + 2 >= text.size() || text[at + 2] != '\'') throw Failure{"bad character constant"};
      at += 3;
      return static_cast<unsigned char>(text[at - 2]);
    }
    size_t end = at;
    if (text[end] == '-' || text[end] == '@') ++end;
    while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
    const std::string token = text.substr(at, end - at);
    at = end;
    if (token.empty()) throw Failure{"cannot read '" + text + "'"};
    if (std::isdigit(static_cast<unsigned char>(token[token[0] == '-' ? 1 : 0]))) return number(token);
    if (token[0] == '@') return kCodeBase + label(token.substr(1));
    if (constants_.count(token)) return constants_[token];
    if (syscall)
      for (int i = 0; i < tavlin::vm::kSyscallCount; ++i)
        if (token == tavlin::vm::syscalls[i].name) return i;
    return label(token);
  }

  int64_t label(const std::string& name) {
    if (labels_.count(name)) return labels_[name];
    if (pass_ == 1) return 0;
    throw Failure{"unknown name " + name};
  }

  static int64_t number(const std::string& token) {
    try {
      size_t used = 0;
      const int64_t v = std::stoll(token, &used, 0);
      if (used == token.size()) return v;
    } catch (...) {
    }
    throw Failure{"bad number " + token};
  }

  int pass_ = 1;
  Bytes code_;
  std::map<std::string, int64_t> labels_;
  std::map<std::string, int64_t> constants_;
};

}  // namespace

Result assemble(const std::string& source) { return Assembler().run(source); }

Bytes hit_file(const Bytes& code) {
  Bytes file = {'T', 'A', 'V', 'L', 'I', 'N', 1, 0, 0, 0, 0, 0, 0, 0};
  file.insert(file.end(), code.begin(), code.end());
  return file;
}

uint32_t name_hash(const std::string& name) { return tavlin::vm::name_hash(name.c_str()); }

}  // namespace hitasm
