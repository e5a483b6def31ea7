// The browser's page text: HTML to text on the pages under tests/pages (as
// real sites send them) and on small crafted bodies, and the word wrap.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kernel/apps/browser.h"

namespace tavlin {
namespace {

std::string converted(const std::string& body) {
  browser_html_to_text(reinterpret_cast<const u8*>(body.data()), static_cast<u32>(body.size()));
  EXPECT_EQ(browser_state.text_len, std::strlen(browser_state.text));
  return browser_state.text;
}

std::string page(const char* name) {
  std::ifstream f(std::string(TAVLIN_TEST_PAGES) + "/" + name, std::ios::binary);
  EXPECT_TRUE(f) << name;
  return {std::istreambuf_iterator<char>(f), {}};
}

TEST(BrowserHtml, CraftedBodiesAndPagesAsSitesSendThem) {
  const struct {
    std::string body, text;
  } cases[] = {
      {"<p>one</p><p>two</p>", "one\n\ntwo"},
      {"x<div class=\"wide\">y</div>z", "xy\nz"},  // attributes join the name: no break
      {"<script type=\"text/javascript\">var a = 1;</script>word", "word"},
      {"<STYLE>p { color: red }</Style>after", "after"},
      {"&copy; &lt;&gt;&quot;&AMP; &amp;&nbsp;&", "&copy; <>\"&AMP; & &"},
      {"<h3>Title</h3>text<br/>more<li>item", "Title\n\ntext\nmore\nitem"},
      {"</p><pre>a</pre><h7>b</h7>c", "\na\n\nbc"},
      {"unclosed <b", "unclosed"},
      {page("article.html"),
       "Harbour News \nHome\nAbout\nFerry timetable & fares\n\nBoats leave at 7:15 & 9:40.\nTickets cost <5> "
       "coins.\n\nQuote: \"mind the gap\" &copy; 2026\n\nCalm seas expected.\nMon Tue\nopen shut\nContact: "
       "ahoy@harbour.test"},
      {page("crlf.html"), "Line ends\n\nWritten on a machine that ends lines with CR LF.\n\ntwo spaces"},
  };
  for (const auto& c : cases) EXPECT_EQ(converted(c.body), c.text) << c.body;
}

TEST(BrowserHtml, LongPageIsCutAt8191Characters) {
  // "Logbook" from the title and from h1, then 100 characters per entry.
  const std::string text = converted(page("long.html"));
  EXPECT_EQ(text.size(), kBrowserTextCap - 1);
  const std::string tail = "\n\nEntry 82: The tide turned at dawn; the crew hauled the nets aboard as gull";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(BrowserWrap, LinesBreakAtNewlinesSpacesOrMidWord) {
  const struct {
    std::string text;
    i32 width;
    i32 lines;
    std::vector<u32> starts;  // of the first lines
  } cases[] = {{"aaa bbb ccc", 5, 3, {0, 4, 8}},
               {"aaa bbb ccc", 8, 2, {0, 8}},
               {"abcdefghij", 4, 3, {0, 4, 8}},
               {"abcd\nef", 4, 2, {0, 5}},    // a line that fills the width exactly
               {" abcdef", 3, 3, {0, 3, 6}},  // a space at the line's start is no break point
               {"ab\n\ncd", 40, 3, {0, 3, 4}},
               {std::string(kBrowserTextCap - 1, '\n'), 40, static_cast<i32>(kBrowserMaxLines), {0, 1, 2}}};
  u32 starts[kBrowserMaxLines];
  for (const auto& c : cases) {
    std::strcpy(browser_state.text, c.text.c_str());
    ASSERT_EQ(browser_wrap_lines(static_cast<u32>(c.text.size()), c.width, starts), c.lines) << c.text;
    EXPECT_EQ(std::vector<u32>(starts, starts + c.starts.size()), c.starts) << c.text;
  }
  std::memset(&browser_state, 0, sizeof browser_state);
}

}  // namespace
}  // namespace tavlin
