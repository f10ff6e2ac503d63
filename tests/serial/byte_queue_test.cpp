#include "serial/byte_queue.h"

#include <gtest/gtest.h>

namespace korvane::serial {
namespace {

TEST(ByteQueue, KeepsOrderAcrossPartialTakes) {
    TByteQueue queue(1 << 20);
    std::string expected;
    std::string taken;
    for (int round = 0; round < 200; ++round) {
        const std::string chunk(997, static_cast<char>('a' + round % 26));
        ASSERT_TRUE(queue.Append(chunk));
        expected += chunk;
        const std::size_t take = std::min<std::size_t>(queue.Size(), 700);
        taken.append(queue.Front().substr(0, take));
        queue.Consume(take);
    }
    taken.append(queue.Front());
    queue.Consume(queue.Size() + 5);
    EXPECT_EQ(taken, expected);
    EXPECT_TRUE(queue.Empty());
}

TEST(ByteQueue, RefusesWholeAppendThatWouldOverflow) {
    TByteQueue queue(10);
    ASSERT_TRUE(queue.Append("123456"));
    EXPECT_FALSE(queue.Append("abcde"));
    EXPECT_EQ(queue.Front(), "123456");
    EXPECT_TRUE(queue.Append("abcd"));
    EXPECT_EQ(queue.Size(), 10u);
}

}  // namespace
}  // namespace korvane::serial
