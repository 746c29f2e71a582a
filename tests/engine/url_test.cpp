#include "engine/url.h"

#include <ostream>

#include <gtest/gtest.h>

namespace {

struct UrlCase {
    const char* base;
    const char* ref;
    const char* expected;
};

void PrintTo(const UrlCase& c, std::ostream* os) {
    *os << '"' << c.ref << "\" against " << c.base;
}

class CompileUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(CompileUrlTest, Resolves) {
    const UrlCase& c = GetParam();
    EXPECT_EQ(engine::CompileUrl(c.base, c.ref), c.expected) << "ref: " << c.ref;
}

constexpr const char* kPage = "http://host/dir/page.htm";

// A converted page's own references.
const UrlCase kPageCases[] = {
    {kPage, "http://other/x.gif", "http://other/x.gif"},
    {kPage, "HTTP://Other/X.gif", "HTTP://Other/X.gif"},  // case kept
    {kPage, "img/a.gif", "http://host/dir/img/a.gif"},
    {kPage, "/img/a.gif", "http://host/img/a.gif"},
    {kPage, "../a.gif", "http://host/a.gif"},
    {kPage, "#top", "http://host/dir/page.htm#top"},  // an in-page anchor stays on the page
    {kPage, "?q=1", "http://host/dir/page.htm?q=1"},
    {kPage, "", "http://host/dir/page.htm"},
    {kPage, "https://other/x.gif", "https://other/x.gif"},
    {kPage, "//other/x.gif", "http://other/x.gif"},  // takes the base's scheme
    {kPage, "mailto:a@b.c", "mailto:a@b.c"},
    {kPage, "javascript:go('a/../b')", "javascript:go('a/../b')"},
    {kPage, "data:image/gif;base64,R0lG", "data:image/gif;base64,R0lG"},
    {kPage, "my image.gif", "http://host/dir/my image.gif"},  // no percent-encoding added
    {kPage, "a%2Fb.gif", "http://host/dir/a%2Fb.gif"},        // none removed
    {kPage, " a.gif", "http://host/dir/ a.gif"},              // no trimming
    {kPage, "1a:b.gif", "http://host/dir/1a:b.gif"},          // a scheme starts with a letter
    {kPage, "x.y+z-1:w", "x.y+z-1:w"},                        // and goes on with these
    {"http://host/", "a.gif", "http://host/a.gif"},
    {"http://host", "a.gif", "http://host/a.gif"},  // an empty path merges as "/"
    {"http://host/cgi/show?f=a/b.htm", "x.gif", "http://host/cgi/x.gif"},  // query's "/" ignored
    {"http://host/dir/page.htm#frag", "", "http://host/dir/page.htm"},     // base's fragment gone
    {"https://host/dir/", "//cdn/x.js", "https://cdn/x.js"},
    {"http://host:8080/a/b", "c", "http://host:8080/a/c"},
    {"", "a.gif", "a.gif"},  // no base at all: the reference stays relative
    {"host", "/a.gif", "/a.gif"},
};

INSTANTIATE_TEST_SUITE_P(PageReferences, CompileUrlTest, ::testing::ValuesIn(kPageCases));

// RFC 3986, section 5.4, with its base http://a/b/c/d;p?q.
constexpr const char* kRfc = "http://a/b/c/d;p?q";

const UrlCase kRfcCases[] = {
    {kRfc, "g:h", "g:h"},
    {kRfc, "g", "http://a/b/c/g"},
    {kRfc, "./g", "http://a/b/c/g"},
    {kRfc, "g/", "http://a/b/c/g/"},
    {kRfc, "/g", "http://a/g"},
    {kRfc, "//g", "http://g"},
    {kRfc, "?y", "http://a/b/c/d;p?y"},
    {kRfc, "g?y", "http://a/b/c/g?y"},
    {kRfc, "#s", "http://a/b/c/d;p?q#s"},
    {kRfc, "g#s", "http://a/b/c/g#s"},
    {kRfc, "g?y#s", "http://a/b/c/g?y#s"},
    {kRfc, ";x", "http://a/b/c/;x"},
    {kRfc, "g;x", "http://a/b/c/g;x"},
    {kRfc, "g;x?y#s", "http://a/b/c/g;x?y#s"},
    {kRfc, "", "http://a/b/c/d;p?q"},
    {kRfc, ".", "http://a/b/c/"},
    {kRfc, "./", "http://a/b/c/"},
    {kRfc, "..", "http://a/b/"},
    {kRfc, "../", "http://a/b/"},
    {kRfc, "../g", "http://a/b/g"},
    {kRfc, "../..", "http://a/"},
    {kRfc, "../../", "http://a/"},
    {kRfc, "../../g", "http://a/g"},
    // The abnormal examples.
    {kRfc, "../../../g", "http://a/g"},
    {kRfc, "../../../../g", "http://a/g"},
    {kRfc, "/./g", "http://a/g"},
    {kRfc, "/../g", "http://a/g"},
    {kRfc, "g.", "http://a/b/c/g."},
    {kRfc, ".g", "http://a/b/c/.g"},
    {kRfc, "g..", "http://a/b/c/g.."},
    {kRfc, "..g", "http://a/b/c/..g"},
    {kRfc, "./../g", "http://a/b/g"},
    {kRfc, "./g/.", "http://a/b/c/g/"},
    {kRfc, "g/./h", "http://a/b/c/g/h"},
    {kRfc, "g/../h", "http://a/b/c/h"},
    {kRfc, "g;x=1/./y", "http://a/b/c/g;x=1/y"},
    {kRfc, "g;x=1/../y", "http://a/b/c/y"},
    {kRfc, "g?y/./x", "http://a/b/c/g?y/./x"},
    {kRfc, "g?y/../x", "http://a/b/c/g?y/../x"},
    {kRfc, "g#s/./x", "http://a/b/c/g#s/./x"},
    {kRfc, "g#s/../x", "http://a/b/c/g#s/../x"},
    {kRfc, "http:g", "http:g"},
};

INSTANTIATE_TEST_SUITE_P(Rfc3986Examples, CompileUrlTest, ::testing::ValuesIn(kRfcCases));

}  // namespace
