#pragma once
// A loaded page as the programs read it: every element in start-tag order, each with the raw
// markup between its start tag and its matching end tag. html, head and body are supplied where
// the page leaves them out, at the places a browser would put them, so element numbers match.
//
// Elements keep only their place in the page; the markup inside one is cut out when it is asked
// for. A page whose elements are never closed nests each inside all before it, and copying every
// element's markup up front would cost memory in the square of the page's length.
#include <cstddef>
#include <deque>
#include <memory>
#include <string>

namespace platform {

class HtmlElement {
public:
    std::string tag;         // lower case
    bool implied = false;    // supplied by the parser, not written in the page

    // The raw source bytes between the start tag and the end tag, character references left as
    // written.
    std::string inner_html() const { return source_->substr(begin_, end_ - begin_); }
    std::size_t inner_begin() const { return begin_; }
    std::size_t inner_end() const { return end_; }

private:
    friend class HtmlDocument;
    friend class HtmlBuilder;
    const std::string* source_ = nullptr;
    std::size_t begin_ = 0, end_ = 0;
};

class HtmlDocument {
public:
    // The blank page: html, head and body, all empty.
    HtmlDocument();
    explicit HtmlDocument(std::string source);

    const std::string& source() const { return *source_; }

    int all_count() const { return static_cast<int>(elements_.size()); }
    // Element i (from 0) in document order. Throws rt::RuntimeError(ErrObjectVariable) when the
    // page has no such element, as reading a member of a missing element does.
    const HtmlElement& all(int i) const;
    // The root (html) element; every document has one.
    const HtmlElement& document_element() const { return elements_.front(); }

private:
    // Shared, so that a copied document's elements still point at a source that lives.
    std::shared_ptr<const std::string> source_;
    std::deque<HtmlElement> elements_;
};

}  // namespace platform
