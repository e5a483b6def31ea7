// HTML to plain text for the browser, in one pass over the body: tags are
// dropped, the block tags break lines, white space collapses, script and
// style content vanishes and five entities are decoded.
#include "kernel/apps/browser.h"
#include "kernel/core/kstring.h"

namespace tavlin {
namespace {

constexpr const char* kBlockTags[] = {"html",    "head",  "body",  "div",   "p",      "section", "article",
                                      "header",  "footer", "main", "nav",   "aside",  "ul",      "ol",
                                      "li",      "h1",    "h2",    "h3",    "h4",     "h5",      "h6",
                                      "table",   "thead", "tbody", "tr",    "blockquote", "pre", "br"};
static_assert(sizeof kBlockTags / sizeof kBlockTags[0] == 28);

constexpr u32 kTagNameLongest = 31;
constexpr u32 kTextLongest = kBrowserTextCap - 1;

struct Entity {
  const char* name;  // after the "&", with its ";"
  char value;        // ' ' for &nbsp;, which collapses like any space
};
constexpr Entity kEntities[] = {{"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"quot;", '"'}, {"nbsp;", ' '}};

bool alnum(u8 c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool white(u8 c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool equals(const char* name, const char* word) { return str_starts_nocase(name, word) && name[strlen(word)] == 0; }

bool block_tag(const char* name) {
  for (const char* tag : kBlockTags)
    if (equals(name, tag)) return true;
  return false;
}

bool heading(const char* name) { return ascii_lower(name[0]) == 'h' && name[1] >= '1' && name[1] <= '6' && !name[2]; }

class Converter {
 public:
  explicit Converter(char* out) : out_(out) {}

  bool full() const { return len_ >= kTextLongest; }
  bool in_tag() const { return in_tag_; }
  bool hidden() const { return in_script_ || in_style_; }

  void open_tag(bool closing) {
    in_tag_ = true;
    closing_ = closing;
    name_len_ = 0;
  }
  void tag_byte(u8 c) {
    if (alnum(c) && name_len_ < kTagNameLongest) name_[name_len_++] = static_cast<char>(c);
  }
  void close_tag();

  void space() {
    if (!at_line_start_ && !last_space_) emit(' ');
    last_space_ = true;
  }
  void copy(char c) {
    emit(c);
    at_line_start_ = last_space_ = false;
  }
  // The entity at text (with `left` bytes from its "&"), or the "&" alone;
  // how many bytes it took.
  u32 ampersand(const u8* text, u32 left);

  u32 finish() {
    while (len_ > 0 && (out_[len_ - 1] == ' ' || out_[len_ - 1] == '\n')) --len_;
    out_[len_] = 0;
    return len_;
  }

 private:
  void emit(char c) {
    if (!full()) out_[len_++] = c;
  }

  char* out_;
  u32 len_ = 0;
  bool in_tag_ = false, closing_ = false, in_script_ = false, in_style_ = false;
  bool at_line_start_ = true, last_space_ = true;
  char name_[kTagNameLongest + 1] = {};
  u32 name_len_ = 0;
};

void Converter::close_tag() {
  in_tag_ = false;
  name_[name_len_] = 0;
  // Attributes' letters join the name, so only its start tells a script.
  if (str_starts_nocase(name_, "script")) in_script_ = !closing_;
  if (str_starts_nocase(name_, "style")) in_style_ = !closing_;
  if (!block_tag(name_)) return;
  if (len_ > 0 && !at_line_start_) {
    emit('\n');
    at_line_start_ = last_space_ = true;
  }
  // Paragraphs and headings end with an empty line.
  if (closing_ && (ascii_lower(name_[0]) == 'p' || heading(name_)) && !full()) {
    emit('\n');
    at_line_start_ = true;
  }
}

u32 Converter::ampersand(const u8* text, u32 left) {
  for (const Entity& e : kEntities) {
    const u32 n = static_cast<u32>(strlen(e.name));
    if (left < n + 1) continue;
    u32 i = 0;
    while (i < n && text[1 + i] == static_cast<u8>(e.name[i])) ++i;
    if (i < n) continue;
    if (e.value == ' ')
      space();
    else
      copy(e.value);
    return n + 1;
  }
  copy('&');
  return 1;
}

}  // namespace

void browser_html_to_text(const u8* body, u32 length) {
  Converter c(browser_state.text);
  u32 i = 0;
  while (i < length && !c.full()) {
    const u8 ch = body[i];
    if (c.in_tag()) {
      if (ch == '>')
        c.close_tag();
      else
        c.tag_byte(ch);
      ++i;
    } else if (ch == '<') {
      const bool closing = i + 1 < length && body[i + 1] == '/';
      c.open_tag(closing);
      i += closing ? 2 : 1;
    } else if (c.hidden()) {
      ++i;
    } else if (ch == '&') {
      i += c.ampersand(body + i, length - i);
    } else {
      if (white(ch))
        c.space();
      else
        c.copy(static_cast<char>(ch));
      ++i;
    }
  }
  browser_state.text_len = c.finish();
}

}  // namespace tavlin
