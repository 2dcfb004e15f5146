#pragma once
// Control arrays: elements designed with the form plus elements loaded at run time as hidden
// copies of element 0. Events are set once on the array and receive the element's index first.
//
// Requirements on T:
//   T(Container* parent, std::string name, int index)
//   void copy_from(const T& design)     // copies element 0's properties, leaves the copy hidden
// Optionally, to get array-level events, T exposes its event set as a template on the leading
// index arguments, and derives from the index-free form of it:
//   template <class... I> using EventSet = LabelEvents<I...>;
// where the set has `template <class O, class F> void zip_events(O& other, F f)` calling
// f(own_event, other.same_event) for each of its events.
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>
#include <utility>

#include "platform/control.hpp"
#include "platform/event.hpp"
#include "platform/rt_error.hpp"

namespace platform {

namespace detail {

struct NoArrayEvents {
    template <class O, class F> void zip_events(O&, F) {}
};

template <class T, class = void>
struct ArrayEventsOf { using type = NoArrayEvents; };
template <class T>
struct ArrayEventsOf<T, std::void_t<typename T::template EventSet<int>>> {
    using type = typename T::template EventSet<int>;
};

}  // namespace detail

template <class T>
class ControlArray : public detail::ArrayEventsOf<T>::type {
    using Events = typename detail::ArrayEventsOf<T>::type;

public:
    // Elements 0 .. designed-1 exist from the start, as the form's designer placed them.
    ControlArray(Container* parent, std::string name, int designed = 1)
        : parent_(parent), name_(std::move(name)), designed_(designed < 1 ? 1 : designed) {
        for (int i = 0; i < designed_; ++i) attach(i, std::make_unique<T>(parent_, name_, i));
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;
    ~ControlArray() {
        // Loaded elements go before the designed ones, newest first, as an unload would.
        retired_.clear();
        while (!elements_.empty()) elements_.erase(std::prev(elements_.end()));
    }

    const std::string& name() const { return name_; }

    // Loads a hidden copy of element 0 at index i.
    T& load(int i) {
        if (i < 0) throw rt::RuntimeError(rt::ErrSubscript);
        if (elements_.count(i)) throw rt::RuntimeError(rt::ErrAlreadyLoaded);
        collect();
        // Wired before it takes the template's properties: a front end that mirrors it on its
        // first change then sees which events it has (the pointer passing over it, drops).
        T& el = attach(i, std::make_unique<T>(parent_, name_, i));
        el.copy_from(*elements_.at(0));
        return el;
    }

    // Removes a loaded element. The object itself lives on, hidden and deaf, until no event
    // of this array is on the stack, because unloading often happens from the element's own
    // handler (a pop-up menu opened from its MouseDown).
    void unload(int i) {
        auto it = elements_.find(i);
        if (it == elements_.end()) throw rt::RuntimeError(rt::ErrElementMissing);
        if (i < designed_) throw rt::RuntimeError(rt::ErrCannotUnload);
        std::unique_ptr<T> el = std::move(it->second);
        elements_.erase(it);
        this->zip_events(*el, [](auto&, auto& from) {
            from = typename std::decay_t<decltype(from)>::Handler{};
        });
        el->set_visible(false);
        retired_.push_back(std::move(el));
        collect();
    }

    bool exists(int i) const { return elements_.count(i) != 0; }

    T& operator[](int i) {
        auto it = elements_.find(i);
        if (it == elements_.end()) throw rt::RuntimeError(rt::ErrElementMissing);
        return *it->second;
    }
    const T& operator[](int i) const { return const_cast<ControlArray&>(*this)[i]; }

    // Highest and lowest loaded index (element 0 always exists).
    int ubound() const { return elements_.rbegin()->first; }
    int lbound() const { return elements_.begin()->first; }
    int count() const { return static_cast<int>(elements_.size()); }

    // Iteration over the loaded elements in index order.
    template <class MapIt, class Ref>
    class Iter {
    public:
        explicit Iter(MapIt it) : it_(it) {}
        Ref operator*() const { return *it_->second; }
        int index() const { return it_->first; }
        Iter& operator++() { ++it_; return *this; }
        bool operator==(const Iter& o) const { return it_ == o.it_; }
        bool operator!=(const Iter& o) const { return it_ != o.it_; }
    private:
        MapIt it_;
    };
    using Map = std::map<int, std::unique_ptr<T>>;
    using iterator = Iter<typename Map::iterator, T&>;
    using const_iterator = Iter<typename Map::const_iterator, const T&>;
    iterator begin() { return iterator(elements_.begin()); }
    iterator end() { return iterator(elements_.end()); }
    const_iterator begin() const { return const_iterator(elements_.begin()); }
    const_iterator end() const { return const_iterator(elements_.end()); }

private:
    T& attach(int i, std::unique_ptr<T> el) {
        T& ref = *el;
        this->zip_events(ref, [this, i](auto& to, auto& from) { forward(to, from, i); });
        elements_.emplace(i, std::move(el));
        return ref;
    }

    template <class... A>
    void forward(Event<int, A...>& to, Event<A...>& from, int i) {
        from = [this, &to, i](A... a) {
            ++dispatching_;
            struct Leave { int& d; ~Leave() { --d; } } leave{dispatching_};
            to(i, std::forward<A>(a)...);
        };
    }

    void collect() {
        if (dispatching_ == 0) retired_.clear();
    }

    Container* parent_;
    std::string name_;
    int designed_;
    Map elements_;
    std::vector<std::unique_ptr<T>> retired_;
    int dispatching_ = 0;
};

}  // namespace platform
