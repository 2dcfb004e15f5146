#pragma once
// Arrays with lower bound 0 whose bounds errors are ordinary trappable errors (number 9): the
// programs rely on an out-of-range index or an unallocated array taking their error paths.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rt_error.hpp"

namespace rt {

namespace detail {
// std::vector<bool> hands out proxies, not bool&; a deque keeps at() returning a real reference.
template <class T>
using ArrayStore = std::conditional_t<std::is_same_v<T, bool>, std::deque<bool>, std::vector<T>>;

[[noreturn]] inline void subscript_error() { throw RuntimeError(ErrSubscript); }

// Sizes a store, reporting a bound too large to allocate as the platform's "out of memory".
template <class Store>
void resize_store(Store& s, std::size_t n) {
    try {
        s.resize(n);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(ErrOutOfMemory);
    } catch (const std::length_error&) {
        throw RuntimeError(ErrOutOfMemory);
    }
}
}  // namespace detail

template <class T>
class Array {
public:
    Array() = default;  // unallocated: ubound() and at() raise
    explicit Array(int ub) { redim(ub); }
    // An allocated array holding the given elements (none gives ubound -1).
    static Array from(std::vector<T> items) {
        Array a;
        a.items_.assign(std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
        a.allocated_ = true;
        return a;
    }

    // Fresh default elements 0..ub; ub = -1 is allocated but empty.
    void redim(int ub) {
        check_new_bound(ub);
        detail::ArrayStore<T> fresh;  // a failed redim leaves the array as it was
        detail::resize_store(fresh, static_cast<std::size_t>(ub) + 1);
        items_.swap(fresh);
        allocated_ = true;
    }
    // Keeps the elements that still fit; new ones are default values.
    void redim_preserve(int ub) {
        check_new_bound(ub);
        detail::resize_store(items_, static_cast<std::size_t>(ub) + 1);
        allocated_ = true;
    }
    void erase() {
        items_.clear();
        allocated_ = false;
    }

    bool allocated() const { return allocated_; }
    int lbound() const {
        if (!allocated_) detail::subscript_error();
        return 0;
    }
    int ubound() const {
        if (!allocated_) detail::subscript_error();
        return static_cast<int>(items_.size()) - 1;
    }
    // Number of elements; 0 when unallocated (never raises).
    int count() const { return static_cast<int>(items_.size()); }

    T& at(int i) { return items_[index(i)]; }
    const T& at(int i) const { return items_[index(i)]; }
    T& operator[](int i) { return at(i); }
    const T& operator[](int i) const { return at(i); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    std::vector<T> to_vector() const { return std::vector<T>(items_.begin(), items_.end()); }

    friend bool operator==(const Array& a, const Array& b) {
        return a.allocated_ == b.allocated_ && a.items_ == b.items_;
    }

private:
    static void check_new_bound(int ub) {
        if (ub < -1) detail::subscript_error();
    }
    std::size_t index(int i) const {
        if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) detail::subscript_error();
        return static_cast<std::size_t>(i);
    }

    detail::ArrayStore<T> items_;
    bool allocated_ = false;
};

// Two dimensions, both from 0; only a fresh redim, as the programs never preserve one.
template <class T>
class Array2D {
public:
    Array2D() = default;
    Array2D(int ub1, int ub2) { redim(ub1, ub2); }

    void redim(int ub1, int ub2) {
        if (ub1 < -1 || ub2 < -1) detail::subscript_error();
        const std::size_t n1 = static_cast<std::size_t>(ub1) + 1;
        const std::size_t n2 = static_cast<std::size_t>(ub2) + 1;
        if (n2 != 0 && n1 > SIZE_MAX / n2) throw RuntimeError(ErrOutOfMemory);
        detail::ArrayStore<T> fresh;
        detail::resize_store(fresh, n1 * n2);
        items_.swap(fresh);
        n1_ = static_cast<long long>(ub1) + 1;
        n2_ = static_cast<long long>(ub2) + 1;
        allocated_ = true;
    }
    void erase() {
        items_.clear();
        n1_ = n2_ = 0;
        allocated_ = false;
    }

    bool allocated() const { return allocated_; }
    // dim is 1 or 2; any other dimension is out of range too.
    int ubound(int dim = 1) const {
        if (!allocated_ || (dim != 1 && dim != 2)) detail::subscript_error();
        return static_cast<int>((dim == 1 ? n1_ : n2_) - 1);
    }

    T& at(int i, int j) { return items_[index(i, j)]; }
    const T& at(int i, int j) const { return items_[index(i, j)]; }
    T& operator()(int i, int j) { return at(i, j); }
    const T& operator()(int i, int j) const { return at(i, j); }

private:
    std::size_t index(int i, int j) const {
        if (i < 0 || i >= n1_ || j < 0 || j >= n2_) detail::subscript_error();
        return static_cast<std::size_t>(i) * static_cast<std::size_t>(n2_) + static_cast<std::size_t>(j);
    }

    detail::ArrayStore<T> items_;
    long long n1_ = 0;
    long long n2_ = 0;
    bool allocated_ = false;
};

}  // namespace rt
