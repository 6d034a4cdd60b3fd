// The stack text builder: what it holds is what was added, however far past its room it grows,
// up to the longest text it may hold.
#include "errors/text_builder.h"

#include <string>

#include "program_fixture.h"

namespace {

class TextBuilderTest : public ProgramTest {};

TEST_F(TextBuilderTest, HoldsWhatWasAddedOnTheStackAndPastItsRoom) {
  struct Case {
    const char* what;
    std::size_t pieces;
    std::size_t pieceLength;
  } cases[] = {
      {"nothing", 0, 0},
      {"well within the room", 3, 5},
      {"exactly the room", 4, 4},
      {"one byte past the room", 1, 17},
      {"many times the room", 50, 13},
  };
  for (const Case& c : cases) {
    TextBuilder<16> text;
    std::string expected;
    for (std::size_t i = 0; i < c.pieces; ++i) {
      std::string piece(c.pieceLength, char('a' + i % 26));
      if (i % 2) {
        text.Add(std::string_view(piece));
      } else {
        text.Add(Psz2String(piece.c_str()));  // a runtime string, copied at once
      }
      expected += piece;
    }
    text.Add('!');
    expected += '!';
    EXPECT_EQ(std::string(text.Data(), text.Size()), expected) << c.what;
    TbStr made = text.String();
    EXPECT_EQ(std::string(String2Psz(made), SLen(made)), expected) << c.what;
  }
}

TEST_F(TextBuilderTest, EveryShortLengthKeepsEachByteInItsPlace) {
  // Short pieces are copied word-wise from both ends: each byte differs, so a byte from the wrong
  // place shows.
  const std::string source = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJ";
  for (std::size_t length = 0; length <= 40; ++length) {
    TextBuilder<64> text;
    text.Add('<');
    text.Add(std::string_view(source).substr(3, length));
    text.Add('>');
    EXPECT_EQ(std::string(text.Data(), text.Size()), "<" + source.substr(3, length) + ">") << length;
  }
}

TEST_F(TextBuilderTest, DropsNoMoreThanItHoldsAndStartsAgainWhenCleared) {
  TextBuilder<8> text;
  text.AddLine("line");
  text.DropLast(2);
  EXPECT_EQ(std::string(text.Data(), text.Size()), "line");
  text.DropLast(10);
  EXPECT_TRUE(text.Empty());
  text.Add("a longer text than the room");
  text.Clear();
  text.Add('x');
  EXPECT_EQ(std::string(text.Data(), text.Size()), "x");
}

// A text that would pass the longest the builder holds is cut there, and then takes nothing
// more: a shortened text ends where it was cut, with no later piece after a gap.
TEST_F(TextBuilderTest, ATextPastTheLongestIsCutThereAndTakesNothingMore) {
  struct Case {
    const char* what;
    std::size_t longest;
  } cases[] = {{"within the stack room", 10}, {"on the heap", 40}};
  for (const Case& c : cases) {
    TextBuilder<16> text(c.longest);
    std::string all;
    for (char piece = 'a'; piece <= 'h'; ++piece) {
      text.Add(std::string(7, piece));
      all += std::string(7, piece);
    }
    EXPECT_TRUE(text.Cut()) << c.what;
    EXPECT_EQ(std::string(text.Data(), text.Size()), all.substr(0, c.longest)) << c.what;
    text.Add('z');
    text.Add("z");
    EXPECT_EQ(text.Size(), c.longest) << c.what << ": nothing after the cut";
    TbStr made = text.String();
    EXPECT_EQ(std::string(String2Psz(made), SLen(made)), all.substr(0, c.longest)) << c.what;
    text.Clear();
    EXPECT_FALSE(text.Cut()) << c.what;
    text.Add("again");
    EXPECT_EQ(std::string(text.Data(), text.Size()), "again") << c.what;
  }
}

TEST_F(TextBuilderTest, RoomReservedAheadKeepsWhatIsThere) {
  TextBuilder<8> text;
  text.Add("abc");
  text.Reserve(1000);
  const char* moved = text.Data();
  std::string expected = "abc";
  for (int i = 0; i < 99; ++i) {
    text.Add("0123456789");
    expected += "0123456789";
  }
  EXPECT_EQ(text.Data(), moved) << "no copy while the text grew into its room";
  EXPECT_EQ(std::string(text.Data(), text.Size()), expected);
  EXPECT_FALSE(text.Cut());
}

}  // namespace
