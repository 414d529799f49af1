// Display breaks: positions of the text and of the shown pieces map both ways, edits
// move the breaks, and breaking a line never cuts a character or changes a byte.
#include "editor/DisplayBreaks.h"

#include <gtest/gtest.h>

using qy::editor::DisplayBreaks;

TEST(DisplayBreaks, BrokenTextMapsBackToTheTextByteForByte) {
    // Multibyte characters, a stray continuation byte and short lines around a long one.
    std::string line;
    while (line.size() < 5000) line += "a=\xE4\xB8\xAD\xE6\x96\x87;b(\x80x)";
    const std::string text = "short\r\n" + line + "\nend";
    std::vector<int64_t> at;
    const std::string shown = DisplayBreaks::Broken(text, 1000, 100, at);
    ASSERT_GT(at.size(), 40u);
    DisplayBreaks breaks;
    breaks.Add(at);
    EXPECT_EQ(breaks.Strip(shown, 0), text);
    for (int64_t b : at) {
        EXPECT_EQ(shown[static_cast<size_t>(b)], '\n');
        // Never inside a UTF-8 character.
        EXPECT_NE(static_cast<unsigned char>(shown[static_cast<size_t>(b) + 1]) & 0xC0, 0x80) << b;
    }
    // Every text position maps to a shown byte that is the same byte, and back.
    for (int64_t t = 0; t < static_cast<int64_t>(text.size()); t += 7) {
        const int64_t s = breaks.ToShown(t);
        EXPECT_EQ(shown[static_cast<size_t>(s)], text[static_cast<size_t>(t)]) << t;
        EXPECT_EQ(breaks.ToText(s), t);
    }
    EXPECT_EQ(breaks.ToShown(static_cast<int64_t>(text.size())), static_cast<int64_t>(shown.size()));
    // Pieces are short, short lines untouched.
    EXPECT_EQ(shown.substr(0, 7), "short\r\n");
    size_t run = 0, longest = 0;
    for (char c : shown) longest = std::max(longest, run = (c == '\n' || c == '\r') ? 0 : run + 1);
    EXPECT_LE(longest, 100u);
}

TEST(DisplayBreaks, EditsMoveAndRemoveBreaks) {
    DisplayBreaks breaks;
    breaks.Add({10, 20, 30});
    breaks.Inserted(20, 5);  // before the break at 20: it moves
    EXPECT_EQ(breaks.Positions(), (std::vector<int64_t>{10, 25, 35}));
    breaks.Deleted(8, 20);  // takes the breaks at 10 and 25
    EXPECT_EQ(breaks.Positions(), (std::vector<int64_t>{15}));
    EXPECT_EQ(breaks.CountIn(0, 15), 0u);
    EXPECT_EQ(breaks.CountIn(0, 16), 1u);
    EXPECT_TRUE(breaks.IsBreak(15));
    EXPECT_EQ(breaks.ToText(16), 15);
    EXPECT_EQ(breaks.ToShown(15), 16);
    EXPECT_EQ(breaks.ToShown(14), 14);
}
