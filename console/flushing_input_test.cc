#include "console/flushing_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>

#include "dialogue/test_subprocess.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tuition {
namespace {

// Output that counts how often it is flushed.
class CountingOutput : public std::stringbuf {
 public:
  int flushes = 0;

 protected:
  int sync() override {
    ++flushes;
    return 0;
  }
};

using test::Pipe;

TEST(FlushingInputTest, FlushesOnlyBeforeReadingTheDescriptor) {
  Pipe pipe;
  pipe.write("north south 300 400\n");
  pipe.closeWriteEnd();
  CountingOutput prompts;
  std::ostream promptStream(&prompts);
  FlushingInput input(pipe.readEnd(), promptStream);
  std::istream in(&input);

  std::string word;
  in >> word;
  EXPECT_EQ(word, "north");
  EXPECT_EQ(prompts.flushes, 1);
  // Everything else is already buffered: no flush until the buffer runs dry.
  float first = 0.0F;
  float second = 0.0F;
  in >> word >> first >> second;
  EXPECT_EQ(word, "south");
  EXPECT_EQ(second, 400.0F);
  EXPECT_EQ(prompts.flushes, 1);
  // Running dry reads the descriptor again, which finds the end of input.
  EXPECT_FALSE(in >> word);
  EXPECT_EQ(prompts.flushes, 2);
  // The end is final: no more reads, so no more flushes.
  in.clear();
  EXPECT_FALSE(in >> word);
  EXPECT_EQ(prompts.flushes, 2);
}

// Input that comes a piece at a time is waited for, however small the piece:
// a terminal's Enter on an empty line is one byte, and a script may write 1
// and 200 half a second apart. A caller may also hand the program a
// non-blocking descriptor, where "nothing yet" is neither the end nor a failure.
TEST(FlushingInputTest, WaitsForInputThatComesInPieces) {
  Pipe pipe;
#ifndef _WIN32
  ASSERT_EQ(fcntl(pipe.readEnd(), F_SETFL, fcntl(pipe.readEnd(), F_GETFL) | O_NONBLOCK), 0);
#endif
  std::thread writer([&pipe] {
    for (const char* piece : {"1", "200\n"}) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      pipe.write(piece);
    }
  });
  std::ostringstream prompts;
  FlushingInput input(pipe.readEnd(), prompts);
  std::istream in(&input);
  float amount = 0.0F;
  in >> amount;
  writer.join();
  EXPECT_EQ(amount, 1200.0F);
}

#ifndef _WIN32
// A read that fails is not the end of input: the error and its reason reach
// a stream that throws on badbit.
TEST(FlushingInputTest, AReadErrorSaysWhy) {
  const int directory = open("/", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(directory, 0);
  std::ostringstream prompts;
  FlushingInput input(directory, prompts);
  std::istream in(&input);
  in.exceptions(std::ios_base::badbit);
  std::string word;
  try {
    in >> word;
    ADD_FAILURE() << "the read did not fail";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::is_a_directory);
  }
  close(directory);
}
#endif  // _WIN32

}  // namespace
}  // namespace tuition
