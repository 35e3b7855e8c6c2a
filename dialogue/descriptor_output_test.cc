#include "dialogue/descriptor_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <ostream>
#include <string>

namespace tuition {
namespace {

// What can be read from `fd` right now, without waiting.
std::string available(int fd) {
  std::string text;
  std::array<char, 4096> chunk{};
  for (ssize_t got = 0; (got = read(fd, chunk.data(), chunk.size())) > 0;) {
    text.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return text;
}

// Output stays in the buffer until flushed: prompts go out together, not in
// one write each.
TEST(DescriptorOutputTest, HoldsOutputUntilFlushed) {
  std::array<int, 2> ends{};
  ASSERT_EQ(pipe2(ends.data(), O_NONBLOCK), 0);
  {
    DescriptorOutput buffer(ends[1]);
    std::ostream out(&buffer);
    out << "first "
        << "second ";
    EXPECT_EQ(available(ends[0]), "");
    out.flush();
    EXPECT_EQ(available(ends[0]), "first second ");
    out << "last";
  }
  // Whatever is left goes out when the buffer is destroyed.
  EXPECT_EQ(available(ends[0]), "last");
  close(ends[0]);
  close(ends[1]);
}

TEST(DescriptorOutputTest, KeepsOutputLargerThanTheBufferWholeAndInOrder) {
  const int file = memfd_create("output", 0);
  ASSERT_GE(file, 0);
  std::string expected;
  for (int i = 0; expected.size() < 300000; ++i) {
    expected += "payment " + std::to_string(i) + ": ";
  }
  {
    DescriptorOutput buffer(file);
    std::ostream out(&buffer);
    for (std::size_t at = 0; at < expected.size(); at += 1000) {
      out << expected.substr(at, 1000);
    }
    EXPECT_TRUE(out.flush());
  }
  ASSERT_EQ(lseek(file, 0, SEEK_SET), 0);
  EXPECT_EQ(available(file), expected);
  close(file);
}

TEST(DescriptorOutputTest, AFailedWriteFailsTheStream) {
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  DescriptorOutput buffer(full);
  std::ostream out(&buffer);
  out << "lost";
  EXPECT_TRUE(out.good());
  EXPECT_FALSE(out.flush());
  // A write larger than the buffer fails on its own, without a flush.
  std::ostream more(&buffer);
  more << std::string(100000, 'x');
  EXPECT_FALSE(more.good());
  close(full);
}

}  // namespace
}  // namespace tuition
