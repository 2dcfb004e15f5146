#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rt.hpp"

namespace {

TEST(TryStep, SkipsFailingStepsAndReportsSuccess) {
    int ran = 0;
    EXPECT_TRUE(rt::try_step([&] { ++ran; }));
    EXPECT_FALSE(rt::try_step([] { rt::mid("abc", 0); }));
    EXPECT_FALSE(rt::try_step([] { throw std::runtime_error("from our own code"); }));
    EXPECT_EQ(ran, 1);
}

TEST(TryStep, TrapHandsBackNumberAndDescription) {
    EXPECT_FALSE(rt::trap([] {}).has_value());

    const auto bounds = rt::trap([] { rt::Array<int>().ubound(); });
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->number, 9);
    EXPECT_EQ(bounds->description, "Subscript out of range");

    const auto conversion = rt::trap([] { rt::to_int16("40000"); });
    ASSERT_TRUE(conversion);
    EXPECT_EQ(conversion->number, 6);
    EXPECT_EQ(conversion->description, "Overflow");

    const auto custom = rt::trap([] { throw rt::RuntimeError(53, "File not found: x"); });
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->description, "File not found: x");

    const auto internal = rt::trap([] { std::string().at(3); });
    ASSERT_TRUE(internal);
    EXPECT_EQ(internal->number, rt::ErrInternal);
    EXPECT_EQ(internal->description, "Internal error");

    const auto memory = rt::trap([] { throw std::bad_alloc(); });
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->number, 7);
}

TEST(TryStep, ProgramEndIsNeverSwallowed) {
    bool after = false;
    EXPECT_THROW(rt::try_step([] { throw platform::ProgramEnd{}; }), platform::ProgramEnd);
    EXPECT_THROW(rt::trap([] { throw platform::ProgramEnd{}; }), platform::ProgramEnd);
    // Nor by an enclosing step: it unwinds through every level.
    EXPECT_THROW(rt::try_step([&] {
                     rt::try_step([] { throw platform::ProgramEnd{}; });
                     after = true;
                 }),
                 platform::ProgramEnd);
    EXPECT_FALSE(after);
}

}  // namespace
