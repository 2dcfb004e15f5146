#pragma once
// A loaded page as the programs read it: every element in start-tag order, each with the raw
// markup between its start tag and its matching end tag. html, head and body are supplied where
// the page leaves them out, at the places a browser would put them, so element numbers match.
#include <string>
#include <vector>

namespace platform {

struct HtmlElement {
    std::string tag;         // lower case
    std::string inner_html;  // raw source bytes, character references left as written
    bool implied = false;    // supplied by the parser, not written in the page
};

class HtmlDocument {
public:
    // The blank page: html, head and body, all empty.
    HtmlDocument();
    explicit HtmlDocument(std::string source);

    const std::string& source() const { return source_; }

    int all_count() const { return static_cast<int>(elements_.size()); }
    // Element i (from 0) in document order. Throws rt::RuntimeError(ErrObjectVariable) when the
    // page has no such element, as reading a member of a missing element does.
    const HtmlElement& all(int i) const;
    // The root (html) element; every document has one.
    const HtmlElement& document_element() const { return elements_.front(); }

private:
    std::string source_;
    std::vector<HtmlElement> elements_;
};

}  // namespace platform
