#include "tests/platform/rt/error_of.hpp"
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rt_array.hpp"

namespace {

using rt::test::error_of;

TEST(Array, UnallocatedRaisesSubscriptOutOfRange) {
    rt::Array<int> a;
    EXPECT_FALSE(a.allocated());
    EXPECT_EQ(a.count(), 0);
    EXPECT_EQ(error_of([&] { a.ubound(); }), 9);
    EXPECT_EQ(error_of([&] { a.lbound(); }), 9);
    EXPECT_EQ(error_of([&] { a.at(0); }), 9);
}

TEST(Array, BoundsAreCheckedBothWays) {
    rt::Array<std::string> a(2);
    EXPECT_EQ(a.lbound(), 0);
    EXPECT_EQ(a.ubound(), 2);
    a[2] = "last";
    EXPECT_EQ(a.at(2), "last");
    EXPECT_EQ(error_of([&] { a.at(3); }), 9);
    EXPECT_EQ(error_of([&] { a[-1]; }), 9);

    const rt::Array<std::string>& c = a;
    EXPECT_EQ(error_of([&] { (void)c[3]; }), 9);

    rt::Array<int> empty(-1);  // allocated, no elements
    EXPECT_TRUE(empty.allocated());
    EXPECT_EQ(empty.ubound(), -1);
    EXPECT_EQ(error_of([&] { empty.at(0); }), 9);
    EXPECT_EQ(error_of([&] { empty.redim(-2); }), 9);
}

TEST(Array, RedimResetsAndPreserveKeeps) {
    rt::Array<int> a(2);
    a[0] = 10, a[1] = 11, a[2] = 12;

    a.redim_preserve(4);  // grow: old values kept, new ones default
    EXPECT_EQ(a.to_vector(), (std::vector<int>{10, 11, 12, 0, 0}));
    a.redim_preserve(1);  // shrink drops the tail
    EXPECT_EQ(a.to_vector(), (std::vector<int>{10, 11}));
    EXPECT_EQ(error_of([&] { a.at(2); }), 9);
    a.redim_preserve(2);  // a dropped element comes back empty, not with its old value
    EXPECT_EQ(a[2], 0);

    a.redim(1);
    EXPECT_EQ(a.to_vector(), (std::vector<int>{0, 0}));

    a.erase();
    EXPECT_FALSE(a.allocated());
    EXPECT_EQ(error_of([&] { a.ubound(); }), 9);

    rt::Array<int> b;  // preserving an unallocated array allocates it
    b.redim_preserve(0);
    EXPECT_EQ(b.ubound(), 0);
}

TEST(Array, CopiesAreIndependentAndBoolWorks) {
    rt::Array<int> a(0);
    a[0] = 1;
    rt::Array<int> b = a;
    b[0] = 2;
    EXPECT_EQ(a[0], 1);
    EXPECT_FALSE(a == b);

    rt::Array<bool> flags(1);
    bool& f = flags.at(1);
    f = true;
    EXPECT_TRUE(flags[1]);
    EXPECT_FALSE(flags[0]);

    const auto from = rt::Array<std::string>::from({"a", "b"});
    std::string all;
    for (const auto& s : from) all += s;
    EXPECT_EQ(all, "ab");
}

TEST(Array2D, BoundsBeyondAnyAllocationAreOutOfMemory) {
    rt::Array2D<double> g(1, 1);
    g(1, 1) = 4;
    EXPECT_EQ(error_of([&] { g.redim(2147483647, 2147483647); }), 7);
    // The failed redim leaves the old grid whole.
    EXPECT_EQ(g.ubound(1), 1);
    EXPECT_EQ(g.ubound(2), 1);
    EXPECT_EQ(g(1, 1), 4);
}

TEST(Array2D, RowsAndColumnsAreCheckedSeparately) {
    rt::Array2D<int> grid(3, 6);  // four rows of seven places
    EXPECT_EQ(grid.ubound(1), 3);
    EXPECT_EQ(grid.ubound(2), 6);
    grid.at(3, 6) = 36;
    grid(0, 6) = 6;
    grid(1, 0) = 10;  // would alias (0, 7) if the column were not checked
    EXPECT_EQ(grid.at(3, 6), 36);
    EXPECT_EQ(grid(0, 6), 6);
    EXPECT_EQ(grid(1, 0), 10);
    EXPECT_EQ(error_of([&] { grid.at(0, 7); }), 9);
    EXPECT_EQ(error_of([&] { grid.at(4, 0); }), 9);
    EXPECT_EQ(error_of([&] { grid.at(-1, 0); }), 9);
    EXPECT_EQ(error_of([&] { grid.ubound(3); }), 9);

    grid.redim(3, 6);  // anew: every place back to 0
    EXPECT_EQ(grid(3, 6), 0);

    rt::Array2D<int> none;
    EXPECT_FALSE(none.allocated());
    EXPECT_EQ(error_of([&] { none.ubound(1); }), 9);
    EXPECT_EQ(error_of([&] { none.at(0, 0); }), 9);
}

}  // namespace
