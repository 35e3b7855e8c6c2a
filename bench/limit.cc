// What the work itself costs: the same dialogue with nothing between the
// bytes and the arithmetic. Standard input is read in 64 KiB blocks, each word
// and amount is taken in place (amounts with std::from_chars), and the prompts
// are copied into a 64 KiB block that is written out when full. No checks
// beyond stopping when input ends; a word must fit in a block, which the
// benchmark's inputs do.
#include <unistd.h>

#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kBlock = 65536;

class Input {
 public:
  // The next word, or an empty one at the end of input.
  std::string_view word() {
    for (;;) {
      while (begin_ < end_ && isSpace(buffer_[begin_])) ++begin_;
      std::size_t stop = begin_;
      while (stop < end_ && !isSpace(buffer_[stop])) ++stop;
      if (stop < end_ || ended_) {
        const std::string_view word(buffer_.data() + begin_, stop - begin_);
        begin_ = stop;
        return word;
      }
      refill();  // the word may go on in the next block
    }
  }

 private:
  static bool isSpace(char ch) { return ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r'; }

  void refill() {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    const ssize_t got = read(0, buffer_.data() + end_, kBlock);
    if (got <= 0) {
      ended_ = true;
    } else {
      end_ += static_cast<std::size_t>(got);
    }
  }

  std::array<char, 2 * kBlock> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

class Output {
 public:
  void put(std::string_view text) {
    if (used_ + text.size() > buffer_.size()) flush();
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
  }

  bool flush() {
    for (std::size_t done = 0; done < used_;) {
      const ssize_t wrote = write(1, buffer_.data() + done, used_ - done);
      if (wrote <= 0) return false;
      done += static_cast<std::size_t>(wrote);
    }
    used_ = 0;
    return true;
  }

 private:
  std::array<char, kBlock> buffer_{};
  std::size_t used_ = 0;
};

Input input;
Output output;

}  // namespace

int main() {
  output.put("Please enter your first name: ");
  const std::string first(input.word());
  output.put("Please enter your last name: ");
  const std::string last(input.word());
  if (last.empty()) return 1;
  float balance = 1200.0F;
  while (balance > 0.0F) {
    output.put("Enter an amount of tuition to be paid: ");
    const std::string_view word = input.word();
    if (word.empty()) return 1;
    float amount = 0.0F;
    std::from_chars(word.data(), word.data() + word.size(), amount);
    balance -= amount;
  }
  output.put(first + " " + last + " has paid all of his/her tuition.");
  return output.flush() ? 0 : 1;
}
