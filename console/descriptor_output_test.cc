#include "console/descriptor_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>
#include <thread>

#include "dialogue/test_subprocess.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tuition {
namespace {

using test::Pipe;

// Text of exactly `size` bytes in which no stretch repeats, so that a byte
// written twice, lost or out of place shows.
std::string numberedText(std::size_t size) {
  std::string text;
  for (int i = 0; text.size() < size; ++i) text += "payment " + std::to_string(i) + ": ";
  text.resize(size);
  return text;
}

// Output stays in the buffer until flushed: prompts go out together, not in
// one write each.
TEST(DescriptorOutputTest, HoldsOutputUntilFlushed) {
  Pipe pipe;
  {
    DescriptorOutput buffer(pipe.writeEnd());
    std::ostream out(&buffer);
    out << "first "
        << "second ";
    EXPECT_EQ(pipe.available(), "");
    out.flush();
    EXPECT_EQ(pipe.available(), "first second ");
    out << "last";
  }
  // Whatever is left goes out when the buffer is destroyed.
  EXPECT_EQ(pipe.available(), "last");
}

TEST(DescriptorOutputTest, KeepsOutputLargerThanTheBufferWholeAndInOrder) {
  Pipe pipe;
  // Four whole buffers and one byte, which the last write carries alone.
  const std::string expected = numberedText(4 * 65536 + 1);
  std::string got;
  std::thread reader([&] { got = pipe.read(expected.size() + 1); });
  {
    DescriptorOutput buffer(pipe.writeEnd());
    std::ostream out(&buffer);
    for (std::size_t at = 0; at < expected.size(); at += 1000) {
      out << expected.substr(at, 1000);
    }
    EXPECT_TRUE(out.flush());
  }
  pipe.closeWriteEnd();
  reader.join();
  EXPECT_EQ(got, expected);
}

#ifndef _WIN32
// A caller may hand the program a non-blocking standard output; a reader that
// is slow to start must still get every byte.
TEST(DescriptorOutputTest, WaitsForASlowReaderOnANonBlockingDescriptor) {
  Pipe pipe;
  ASSERT_EQ(fcntl(pipe.writeEnd(), F_SETFL, fcntl(pipe.writeEnd(), F_GETFL) | O_NONBLOCK), 0);
#ifdef F_SETPIPE_SZ
  // A pipe of one page takes each write in pieces, so that every write but
  // the first is cut short and must resume at the right byte.
  ASSERT_GE(fcntl(pipe.writeEnd(), F_SETPIPE_SZ, 4096), 0);
#endif
  const std::string expected = numberedText(300000);
  std::string got;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    got = pipe.read(expected.size());
  });
  {
    DescriptorOutput buffer(pipe.writeEnd());
    std::ostream out(&buffer);
    out << expected;
    EXPECT_TRUE(out.flush());
  }
  pipe.closeWriteEnd();
  reader.join();
  EXPECT_EQ(got, expected);
}

TEST(DescriptorOutputTest, AFailedWriteFailsTheStream) {
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  DescriptorOutput buffer(full);
  std::ostream out(&buffer);
  out << "lost";
  EXPECT_TRUE(out.good());
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(buffer.error(), ENOSPC);
  // A write larger than the buffer fails on its own, without a flush.
  std::ostream more(&buffer);
  more << std::string(100000, 'x');
  EXPECT_FALSE(more.good());
  close(full);
}
#endif  // _WIN32

#ifdef __linux__
// The reason kept is the first refusal's: a file sealed against writes, then
// a full device in its place.
TEST(DescriptorOutputTest, KeepsTheFirstRefusalsReason) {
  const int fd = memfd_create("sealed", MFD_ALLOW_SEALING);
  ASSERT_EQ(fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE), 0);
  DescriptorOutput buffer(fd);
  buffer.sputc('x');
  EXPECT_EQ(buffer.pubsync(), -1);
  EXPECT_EQ(buffer.error(), EPERM);
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_EQ(dup2(full, fd), fd);
  buffer.sputc('x');
  EXPECT_EQ(buffer.pubsync(), -1);
  EXPECT_EQ(buffer.error(), EPERM);
  close(full);
  close(fd);
}
#endif

}  // namespace
}  // namespace tuition
