#include "platform/html.hpp"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rt_error.hpp"

namespace platform {
namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <std::size_t N>
bool one_of(std::string_view s, const std::array<std::string_view, N>& set) {
    return std::find(set.begin(), set.end(), s) != set.end();
}

constexpr std::array<std::string_view, 18> kVoid = {
    "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr",
    "img", "input", "keygen", "link", "meta", "param", "source", "track", "wbr"};
constexpr std::array<std::string_view, 11> kHeadContent = {
    "base", "basefont", "bgsound", "link", "meta", "noframes", "script", "style", "template",
    "title", "noscript"};
// Their bodies are text to a browser, never markup.
constexpr std::array<std::string_view, 9> kRawText = {
    "script", "style", "title", "textarea", "xmp", "iframe", "noembed", "noframes", "noscript"};
constexpr std::array<std::string_view, 4> kEndsHeadPhase = {"head", "body", "html", "br"};

struct Tag {
    bool end = false;
    std::string name;
    std::size_t begin = 0;  // the '<'
    std::size_t after = 0;  // just past the '>'
};

enum class Mode { BeforeHtml, BeforeHead, InHead, AfterHead, InBody };

// Position just past the '>' that ends a start tag whose name ends at p, or npos when the page
// ends inside the tag. Quoted attribute values may hold '>'.
std::size_t start_tag_end(const std::string& s, std::size_t p, bool& self_closing) {
    const std::size_t n = s.size();
    self_closing = false;
    while (p < n) {
        char c = s[p];
        if (is_space(c)) { ++p; continue; }
        if (c == '>') return p + 1;
        if (c == '/') {
            if (p + 1 < n && s[p + 1] == '>') { self_closing = true; return p + 2; }
            ++p;
            continue;
        }
        // attribute name
        while (p < n && !is_space(s[p]) && s[p] != '/' && s[p] != '>' && s[p] != '=') ++p;
        while (p < n && is_space(s[p])) ++p;
        if (p < n && s[p] == '=') {
            ++p;
            while (p < n && is_space(s[p])) ++p;
            if (p < n && (s[p] == '"' || s[p] == '\'')) {
                std::size_t q = s.find(s[p], p + 1);
                if (q == std::string::npos) return std::string::npos;
                p = q + 1;
            } else {
                while (p < n && !is_space(s[p]) && s[p] != '>') ++p;
            }
        }
    }
    return std::string::npos;
}

// Where the raw body of a `name` element ends: the '<' of its end tag, or the end of the page.
std::size_t raw_text_end(const std::string& s, std::size_t from, const std::string& name) {
    const std::size_t n = s.size();
    for (std::size_t p = s.find("</", from); p != std::string::npos; p = s.find("</", p + 1)) {
        std::size_t q = p + 2;
        std::size_t k = 0;
        while (k < name.size() && q + k < n && lower(s[q + k]) == name[k]) ++k;
        if (k != name.size()) continue;
        q += k;
        if (q == n || is_space(s[q]) || s[q] == '/' || s[q] == '>') return p;
    }
    return n;
}

}  // namespace

class HtmlBuilder {
public:
    HtmlBuilder(const std::string& src, std::deque<HtmlElement>& out) : src_(src), out_(out) {}

    void text(std::size_t b, std::size_t e) {
        for (;;) {
            switch (mode_) {
            case Mode::BeforeHtml:
            case Mode::BeforeHead:
            case Mode::AfterHead:
                while (b < e && is_space(src_[b])) ++b;
                if (b == e) return;
                imply_next(b);
                continue;
            case Mode::InHead: {
                std::size_t p = b;
                while (p < e && is_space(src_[p])) ++p;
                if (p == e) return;
                close_head(p);
                b = p;
                continue;
            }
            case Mode::InBody:
                return;
            }
        }
    }

    void tag(const Tag& t) {
        for (;;) {
            bool again = t.end ? end_tag(t) : start_tag(t);
            if (!again) return;
        }
    }

    void finish() {
        const std::size_t n = src_.size();
        while (mode_ != Mode::InBody) {
            if (mode_ == Mode::InHead) close_head(n);
            else imply_next(n);
        }
        close_from(0, n);
    }

private:
    // Returns true when the tag must be looked at again in the new mode.
    bool start_tag(const Tag& t) {
        const std::string& n = t.name;
        switch (mode_) {
        case Mode::BeforeHtml:
            if (n == "html") { open(n, t.after, false); mode_ = Mode::BeforeHead; return false; }
            imply_next(t.begin);
            return true;
        case Mode::BeforeHead:
            if (n == "html") return false;
            if (n == "head") { head_ = open(n, t.after, false); mode_ = Mode::InHead; return false; }
            imply_next(t.begin);
            return true;
        case Mode::InHead:
            if (n == "html" || n == "head") return false;
            if (one_of(n, kHeadContent)) { element(t); return false; }
            close_head(t.begin);
            return true;
        case Mode::AfterHead:
            if (n == "html" || n == "head") return false;
            if (n == "body") { open(n, t.after, false); mode_ = Mode::InBody; return false; }
            if (one_of(n, kHeadContent)) { element(t); return false; }
            imply_next(t.begin);
            return true;
        case Mode::InBody:
            if (n == "html" || n == "head" || n == "body") return false;
            element(t);
            return false;
        }
        return false;
    }

    bool end_tag(const Tag& t) {
        const std::string& n = t.name;
        switch (mode_) {
        case Mode::BeforeHtml:
        case Mode::BeforeHead:
        case Mode::AfterHead:
            if (!one_of(n, kEndsHeadPhase) || (mode_ == Mode::AfterHead && n == "head")) {
                if (mode_ == Mode::AfterHead) close_matching(n, t.begin);
                return false;
            }
            imply_next(t.begin);
            return true;
        case Mode::InHead:
            if (n == "head") { close_head(t.begin); return false; }
            if (one_of(n, kEndsHeadPhase)) { close_head(t.begin); return true; }
            close_matching(n, t.begin);
            return false;
        case Mode::InBody:
            if (n != "br") close_matching(n, t.begin);
            return false;
        }
        return false;
    }

    // The element a browser supplies for the current mode, starting at p.
    void imply_next(std::size_t p) {
        switch (mode_) {
        case Mode::BeforeHtml: open("html", p, true); mode_ = Mode::BeforeHead; break;
        case Mode::BeforeHead: head_ = open("head", p, true); mode_ = Mode::InHead; break;
        case Mode::AfterHead: open("body", p, true); mode_ = Mode::InBody; break;
        default: break;
        }
    }

    void close_head(std::size_t p) {
        // The head is opened second, so it is found at once when it is still open.
        auto it = std::find_if(stack_.begin(), stack_.end(), [&](const Open& o) { return o.element == head_; });
        if (it != stack_.end()) close_from(static_cast<std::size_t>(it - stack_.begin()), p);
        mode_ = Mode::AfterHead;
    }

    void element(const Tag& t) {
        open(t.name, t.after, false);
        if (one_of(std::string_view(t.name), kVoid)) close_from(stack_.size() - 1, t.after);  // nothing inside
    }

    std::size_t open(std::string tag, std::size_t begin, bool implied) {
        HtmlElement& e = out_.emplace_back();
        e.tag = std::move(tag);
        e.implied = implied;
        e.source_ = &src_;
        e.begin_ = begin;
        e.end_ = begin;
        const std::size_t index = out_.size() - 1;
        // out_ is a deque, so the tag text stays where it is while later elements are added.
        const std::string_view name = e.tag;
        auto top = top_of_.find(name);
        stack_.push_back({index, top == top_of_.end() ? kNone : top->second});
        if (top == top_of_.end()) top_of_.emplace(name, stack_.size() - 1);
        else top->second = stack_.size() - 1;
        return index;
    }

    // An end tag closes its nearest open namesake and everything opened inside it; one with no
    // open namesake is ignored.
    void close_matching(const std::string& name, std::size_t p) {
        auto top = top_of_.find(std::string_view(name));
        if (top != top_of_.end()) close_from(top->second, p);
    }

    void close_from(std::size_t k, std::size_t p) {
        while (stack_.size() > k) {
            const Open o = stack_.back();
            stack_.pop_back();
            HtmlElement& e = out_[o.element];
            e.end_ = p;
            auto top = top_of_.find(std::string_view(e.tag));
            if (o.below_same == kNone) top_of_.erase(top);
            else top->second = o.below_same;
        }
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // An open element, and the stack position of the next open one below it of the same name,
    // so that an end tag finds its namesake without searching the stack.
    struct Open {
        std::size_t element;
        std::size_t below_same;
    };

    const std::string& src_;
    std::deque<HtmlElement>& out_;
    Mode mode_ = Mode::BeforeHtml;
    std::vector<Open> stack_;
    std::unordered_map<std::string_view, std::size_t> top_of_;  // name -> its topmost stack position
    std::size_t head_ = kNone;
};

HtmlDocument::HtmlDocument() : HtmlDocument(std::string()) {}

HtmlDocument::HtmlDocument(std::string source)
    : source_(std::make_shared<const std::string>(std::move(source))) {
    const std::string& s = *source_;
    const std::size_t n = s.size();
    HtmlBuilder b(s, elements_);
    std::size_t text_from = 0;
    std::size_t p = 0;
    auto flush_text = [&](std::size_t upto) {
        if (upto > text_from) b.text(text_from, upto);
    };
    while (p < n) {
        std::size_t lt = s.find('<', p);
        if (lt == std::string::npos || lt + 1 >= n) break;
        const char c = s[lt + 1];
        if (s.compare(lt, 4, "<!--") == 0) {
            flush_text(lt);
            std::size_t e = s.find("-->", lt + 4);
            p = text_from = (e == std::string::npos) ? n : e + 3;
            continue;
        }
        if (c == '!' || c == '?') {
            flush_text(lt);
            std::size_t e = s.find('>', lt + 2);
            p = text_from = (e == std::string::npos) ? n : e + 1;
            continue;
        }
        const bool end = (c == '/');
        const std::size_t name_at = lt + (end ? 2 : 1);
        if (name_at >= n || !is_alpha(s[name_at])) {
            p = lt + 1;  // a lone '<' is text
            continue;
        }
        std::size_t q = name_at;
        Tag t;
        t.end = end;
        t.begin = lt;
        while (q < n && !is_space(s[q]) && s[q] != '/' && s[q] != '>') t.name += lower(s[q++]);
        bool self_closing = false;
        std::size_t after;
        if (end) {
            std::size_t e = s.find('>', q);
            after = (e == std::string::npos) ? std::string::npos : e + 1;
        } else {
            after = start_tag_end(s, q, self_closing);
        }
        flush_text(lt);
        if (after == std::string::npos) {  // the page ends inside a tag: a browser drops it
            text_from = p = n;
            break;
        }
        t.after = after;
        b.tag(t);
        p = text_from = after;
        if (!end && one_of(std::string_view(t.name), kRawText)) p = text_from = raw_text_end(s, after, t.name);
    }
    flush_text(n);
    b.finish();
}

const HtmlElement& HtmlDocument::all(int i) const {
    if (i < 0 || i >= all_count()) throw rt::RuntimeError(rt::ErrObjectVariable);
    return elements_[static_cast<std::size_t>(i)];
}

}  // namespace platform
