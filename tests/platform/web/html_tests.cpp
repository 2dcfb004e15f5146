#include <gtest/gtest.h>
#include <malloc.h>

#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TW_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_HEAP_FROM_SANITIZER 1
#endif
#endif
#ifdef TW_HEAP_FROM_SANITIZER
// The sanitizer's allocator, which takes malloc's place; not every compiler ships its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "platform/html.hpp"
#include "platform/rt_error.hpp"

using platform::HtmlDocument;

namespace {

std::vector<std::string> tags(const HtmlDocument& d) {
    std::vector<std::string> out;
    for (int i = 0; i < d.all_count(); ++i) out.push_back(d.all(i).tag);
    return out;
}

struct OrderCase {
    const char* name;
    std::string source;
    std::vector<std::string> tags;
};

TEST(HtmlDocument, ListsElementsInStartTagOrderWithImpliedHtmlHeadBody) {
    const std::vector<OrderCase> cases = {
        {"title then text", "<title>x</title>hello", {"html", "head", "title", "body"}},
        {"text only", "hello", {"html", "head", "body"}},
        {"body content only", "<p>hi<br>there", {"html", "head", "body", "p", "br"}},
        {"empty page", "", {"html", "head", "body"}},
        {"whitespace and doctype", "<!DOCTYPE html>\r\n  ", {"html", "head", "body"}},
        {"full page, upper case",
         "<!DOCTYPE html><HTML><HEAD><TITLE>t</TITLE><META charset=x></HEAD>"
         "<BODY><P>a</P><BR><IMG SRC=x></BODY></HTML>",
         {"html", "head", "title", "meta", "body", "p", "br", "img"}},
        {"explicit body without head", "<html><body><b>x</b></body></html>", {"html", "head", "body", "b"}},
        {"head elements before text", "<meta name=a>\n<link rel=b>text<i>y</i>",
         {"html", "head", "meta", "link", "body", "i"}},
        {"comment, script and style bodies are not markup",
         "<!-- <p> --><script>if (a<b) document.write('<div>')</script>"
         "<style>p>a{}</style><div>x</div>",
         {"html", "head", "script", "style", "body", "div"}},
        {"quoted '>' inside an attribute", "<body><a title=\"x>y\" href='<i>'>link</a></body>",
         {"html", "head", "body", "a"}},
        {"stray end tags and a lone '<'", "</p></div>a < b<u>c</u>", {"html", "head", "body", "u"}},
        {"tag cut off by the end of the page", "<body><b>x</b><i class=\"open", {"html", "head", "body", "b"}},
    };
    for (const auto& c : cases) {
        HtmlDocument d(c.source);
        EXPECT_EQ(tags(d), c.tags) << c.name;
        EXPECT_EQ(d.source(), c.source) << c.name;
    }
}

struct InnerCase {
    const char* name;
    std::string source;
    int index;
    std::string inner;
};

TEST(HtmlDocument, InnerHtmlIsTheRawSourceBetweenStartAndMatchingEndTag) {
    const std::string ip_page = "<html><head><title>ip</title></head><body>203.0.113.7</body></html>";
    const std::vector<InnerCase> cases = {
        {"address page: element 3 is the body", ip_page, 3, "203.0.113.7"},
        {"address page: root", ip_page, 0, "<head><title>ip</title></head><body>203.0.113.7</body>"},
        {"implied root holds the whole page", "<title>x</title>hello", 0, "<title>x</title>hello"},
        {"implied head ends where the body starts", "<title>x</title>hello", 1, "<title>x</title>"},
        {"implied body", "<title>x</title>hello", 3, "hello"},
        {"implied body starts at its first text", "<title>x</title>\r\n  hello", 3, "hello"},
        {"nested namesakes match", "<div>a<div>b</div>c</div>d", 3, "a<div>b</div>c"},
        {"unclosed runs to the end of the page", "<body><div>abc<i>d", 3, "abc<i>d"},
        {"closed by its parent's end tag", "<body><b>x</body>tail", 3, "x"},
        {"body ends at its end tag", "<body><b>x</body>tail", 2, "<b>x"},
        {"void element is empty", "<body>a<br>b</body>", 3, ""},
        {"script body may hold an end tag", "<body><div><script>s='</div>';</script>z</div>", 3,
         "<script>s='</div>';</script>z"},
        {"end tag names ignore case", "<body><DIV>a</div></body>", 3, "a"},
        {"bytes, CR LF and references kept",
         "<body>Dark \xE9\r\nMagician&amp;<BR>Pot<br></body>", 2,
         "Dark \xE9\r\nMagician&amp;<BR>Pot<br>"},
        {"NUL byte kept", std::string("<body>a\0b</body>", 16), 2, std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        HtmlDocument d(c.source);
        ASSERT_LT(c.index, d.all_count()) << c.name;
        EXPECT_EQ(d.all(c.index).inner_html(), c.inner) << c.name;
    }
    HtmlDocument d(ip_page);
    EXPECT_EQ(&d.document_element(), &d.all(0));
}

TEST(HtmlDocument, ImpliedElementsAreMarked) {
    HtmlDocument d("<html><title>x</title><body>y</body></html>");
    ASSERT_EQ(tags(d), (std::vector<std::string>{"html", "head", "title", "body"}));
    EXPECT_FALSE(d.all(0).implied);
    EXPECT_TRUE(d.all(1).implied);
    EXPECT_FALSE(d.all(3).implied);
}

TEST(HtmlDocument, BlankDocumentAndMissingElements) {
    HtmlDocument blank;
    ASSERT_EQ(tags(blank), (std::vector<std::string>{"html", "head", "body"}));
    EXPECT_EQ(blank.document_element().inner_html(), "");
    EXPECT_EQ(blank.source(), "");
    for (int i : {-1, 3, 4}) {
        try {
            (void)blank.all(i);
            ADD_FAILURE() << "element " << i << " exists";
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number, rt::ErrObjectVariable);
        }
    }
}

}  // namespace

namespace {

// Bytes the process holds on its heap now.
std::size_t heap_in_use() {
#ifdef TW_HEAP_FROM_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

TEST(HtmlDocument, APageOfUnclosedElementsCostsMemoryInProportionToItsLength) {
    // Each "<b>" nests inside all before it; then end tags that match nothing open.
    const int n = 40000;
    std::string page;
    for (int i = 0; i < n; ++i) page += "<b>";
    for (int i = 0; i < n; ++i) page += "</i>";
    const std::size_t before = heap_in_use();
    const HtmlDocument d(page);
    const std::size_t used = heap_in_use() - before;
    RecordProperty("heap_bytes", std::to_string(used));
    ASSERT_EQ(d.all_count(), n + 3);
    EXPECT_LT(used, 64 * page.size()) << "copying each element's markup would take gigabytes";
    EXPECT_EQ(d.all(3).inner_html(), page.substr(3));
    EXPECT_EQ(d.all(n + 2).inner_html(), page.substr(3 * n));
}

TEST(HtmlDocument, ElementsOfACopiedOrMovedDocumentStillReadTheirMarkup) {
    std::vector<HtmlDocument> docs;
    docs.emplace_back("<body>short</body>");  // a source short enough to live inside its string
    HtmlDocument copy = docs.front();
    for (int i = 0; i < 8; ++i) docs.emplace_back("<body>x</body>");  // moves the first one
    docs.front() = HtmlDocument("<body>replaced</body>");
    EXPECT_EQ(copy.all(2).inner_html(), "short");
    EXPECT_EQ(docs.front().all(2).inner_html(), "replaced");
}

}  // namespace
