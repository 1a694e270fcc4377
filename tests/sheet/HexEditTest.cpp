// The hex row editor: its rules as tables over real dump rows, and the
// dialog offscreen, driven by keys.
#include "sheet/HexEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <numeric>

#include "engine/Document.h"
#include "sheet/HexRowEdit.h"
#include "tests/support/Recording.h"

namespace inspector::testing {

namespace {

using testsupport::ScopedContext;

// The dump row of `bytes` after its offset column, as HexDump writes it.
std::string RowOf(const std::vector<uint8_t>& bytes) {
    testsupport::RecordingList list("detail");
    engine::HexDump(static_cast<int64_t>(bytes.size()), bytes, &list);
    EXPECT_EQ(list.lines.size(), 1u);
    return list.lines.empty() ? std::string() : list.lines[0].text.substr(7);
}

std::vector<uint8_t> Counting(int n, uint8_t from = 0x41) {
    std::vector<uint8_t> b(static_cast<size_t>(n));
    std::iota(b.begin(), b.end(), from);
    return b;
}

// A typed character as the keyboard sends it.
void Type(QWidget* w, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

HexRowEditState Open(const std::vector<uint8_t>& bytes) {
    auto s = HexRowEditState::FromRow(RowOf(bytes));
    EXPECT_TRUE(s.has_value());
    return *s;
}

}  // namespace

TEST(HexRowEditState, OpensEveryRowLengthAndGivesItBackUnchanged) {
    for (int n : {16, 9, 8, 5, 1}) {
        SCOPED_TRACE(n);
        const std::vector<uint8_t> bytes = Counting(n);
        const std::string row = RowOf(bytes);
        ASSERT_EQ(row.size(), 51u + static_cast<size_t>(n));
        const HexRowEditState s = Open(bytes);
        EXPECT_EQ(s.ByteCount(), n);
        EXPECT_EQ(s.HexText().size(), 3u * static_cast<size_t>(n) - 1);
        EXPECT_EQ(s.AnsiText().size(), static_cast<size_t>(n));
        EXPECT_EQ(s.RowText(), row);
        EXPECT_EQ(s.Bytes(), bytes);
    }
}

TEST(HexRowEditState, RefusesTextThatIsNoDumpRow) {
    const std::string good = RowOf(Counting(5));
    for (const std::string& bad :
         {std::string(), std::string("No File Open"), good.substr(1), good + "x", std::string("ZZ") + good.substr(2),
          std::string(80, ' ')}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(HexRowEditState::FromRow(bad).has_value());
    }
    // Lower-case pairs (graphics dumps) are rows.
    std::string lower = RowOf({0xAB, 0xCD});
    lower[0] = 'a';
    lower[3] = 'c';
    const auto s = HexRowEditState::FromRow(lower);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->Bytes(), (std::vector<uint8_t>{0xAB, 0xCD}));
}

TEST(HexRowEditState, KeysAsTheRulesSay) {
    using K = HexEditKey;
    using F = HexField;
    struct Case {
        const char* what;
        int n;
        F field;
        int caret;
        char typed;  // 0: `key` is pressed instead
        K key;
        HexEditOutcome out;
        const char* hexAfter;  // nullptr: unchanged
    };
    // Bytes are 41 42 43 ... ; with n = 3 the hex text is "41 42 43".
    const Case cases[] = {
        {"digit over a digit", 3, F::Hex, 0, '7', K::Other, {true, false, 1, F::None, 0, true}, "71 42 43"},
        {"a-f in, A-F out", 3, F::Hex, 0, 'a', K::Other, {true, false, 1, F::None, 0, true}, "A1 42 43"},
        {"second digit skips the blank", 3, F::Hex, 1, 'f', K::Other, {true, false, 3, F::None, 0, true},
         "4F 42 43"},
        {"a digit on a blank takes the next pair", 3, F::Hex, 2, '0', K::Other, {true, false, 4, F::None, 0, true},
         "41 02 43"},
        {"last digit: caret to the end", 3, F::Hex, 7, 'E', K::Other, {true, false, 8, F::None, 0, true},
         "41 42 4E"},
        {"not a hex digit beeps", 3, F::Hex, 0, 'g', K::Other, {true, true, -1, F::None, 0, false}, nullptr},
        {"a blank beeps", 3, F::Hex, 0, ' ', K::Other, {true, true, -1, F::None, 0, false}, nullptr},
        {"at the end beeps", 3, F::Hex, 8, '1', K::Other, {true, true, -1, F::None, 0, false}, nullptr},
        {"backspace swallowed", 3, F::Hex, 4, '\b', K::Other, {true, false, -1, F::None, 0, false}, nullptr},
        {"Backspace key", 3, F::Hex, 4, 0, K::Backspace, {true, false, -1, F::None, 0, false}, nullptr},
        {"Delete key", 3, F::Hex, 4, 0, K::Delete, {true, false, -1, F::None, 0, false}, nullptr},
        {"Left on a first digit skips the blank", 3, F::Hex, 3, 0, K::Left, {false, false, 2, F::None, 0, false},
         nullptr},
        {"Left at 0", 3, F::Hex, 0, 0, K::Left, {false, false, -1, F::None, 0, false}, nullptr},
        {"Left on a second digit", 3, F::Hex, 4, 0, K::Left, {false, false, -1, F::None, 0, false}, nullptr},
        {"Right on a second digit skips the blank", 3, F::Hex, 4, 0, K::Right,
         {false, false, 5, F::None, 0, false}, nullptr},
        {"Right on a first digit", 3, F::Hex, 3, 0, K::Right, {false, false, -1, F::None, 0, false}, nullptr},
        {"Up goes to the character", 3, F::Hex, 7, 0, K::Up, {true, false, -1, F::Ansi, 2, false}, nullptr},
        {"another key on a blank", 3, F::Hex, 5, 0, K::Other, {false, false, 6, F::None, 0, false}, nullptr},
        {"another key on a digit", 3, F::Hex, 4, 0, K::Other, {false, false, -1, F::None, 0, false}, nullptr},
        {"character over a character", 3, F::Ansi, 1, 'z', K::Other, {true, false, 2, F::None, 0, true},
         "41 7A 43"},
        {"high character in upper case", 3, F::Ansi, 2, '\xE9', K::Other, {true, false, 3, F::None, 0, true},
         "41 42 E9"},
        {"character at the end beeps", 3, F::Ansi, 3, 'z', K::Other, {true, true, -1, F::None, 0, false}, nullptr},
        {"ANSI backspace swallowed", 3, F::Ansi, 1, '\b', K::Other, {true, false, -1, F::None, 0, false}, nullptr},
        {"ANSI Delete", 3, F::Ansi, 1, 0, K::Delete, {true, false, -1, F::None, 0, false}, nullptr},
        {"Down goes to the pair and goes on", 3, F::Ansi, 2, 0, K::Down, {false, false, -1, F::Hex, 6, false},
         nullptr},
        {"ANSI Left is the edit's", 3, F::Ansi, 2, 0, K::Left, {false, false, -1, F::None, 0, false}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HexRowEditState s = Open(Counting(c.n));
        const std::string before = s.HexText();
        HexEditOutcome o;
        if (c.field == F::Hex)
            o = c.typed ? s.HexChar(c.caret, c.typed) : s.HexKey(c.caret, c.key);
        else
            o = c.typed ? s.AnsiChar(c.caret, static_cast<uint8_t>(c.typed)) : s.AnsiKey(c.caret, c.key);
        EXPECT_EQ(o, c.out);
        EXPECT_EQ(s.HexText(), c.hexAfter ? std::string(c.hexAfter) : before);
        EXPECT_EQ(s.RowText().size(), 51u + static_cast<size_t>(c.n));
    }
}

TEST(HexRowEditState, CharactersFollowTheirPairsAndZeroShowsAsADot) {
    HexRowEditState s = Open({0x41, 0x01, 0x7F});
    s.HexChar(0, '0');
    s.HexChar(1, '0');
    EXPECT_EQ(s.AnsiText().substr(0, 1), ".");
    s.HexChar(3, '0');
    s.HexChar(4, '2');
    EXPECT_EQ(s.AnsiText()[1], '\x02');  // not printable, still its own byte
    EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0x00, 0x02, 0x7F}));
}

TEST(HexRowEditState, EveryKeyKeepsTheRowLengthForEachRowSize) {
    const char typed[] = "0aF9g c";
    for (int n : {16, 9, 8, 5, 1}) {
        SCOPED_TRACE(n);
        HexRowEditState s = Open(Counting(n, 0x30));
        const std::string before = s.RowText();
        for (int caret = 0; caret <= 3 * n; ++caret) {
            for (char c : typed) {
                if (!c) continue;
                s.HexChar(caret, c);
                ASSERT_EQ(s.RowText().size(), 51u + static_cast<size_t>(n));
                s.AnsiChar(caret / 3, static_cast<uint8_t>(c));
                ASSERT_EQ(s.RowText().size(), 51u + static_cast<size_t>(n));
            }
        }
        // The edited row opens again as the same bytes.
        const auto again = HexRowEditState::FromRow(s.RowText());
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->Bytes(), s.Bytes());
        EXPECT_EQ(RowTextBytes(s.RowText(), n), s.Bytes());
    }
}

TEST(RowTextBytes, BothCasesAndTooFewPairs) {
    EXPECT_EQ(RowTextBytes("ab 0F  c1", 3), (std::vector<uint8_t>{0xAB, 0x0F, 0xC1}));
    EXPECT_FALSE(RowTextBytes("ab 0F", 3).has_value());
    EXPECT_FALSE(RowTextBytes("ab 0G 11", 3).has_value());
}

// ---- the dialog ----

TEST(HexEditDialog, OpensWithBothFieldsAndReturnsTheRowUnchanged) {
    ScopedContext ctx;
    for (int n : {16, 5}) {
        const std::string row = RowOf(Counting(n));
        CHexEditDialog d(row);
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Dialog"));
        EXPECT_EQ(d.hexEdit->text().size(), 3 * n - 1);
        EXPECT_EQ(d.ansiEdit->text().size(), n);
        EXPECT_EQ(d.RowText(), row);
        EXPECT_TRUE(d.saveButton->isEnabled());
    }
    CHexEditDialog bad("No File Open");
    EXPECT_FALSE(bad.saveButton->isEnabled());
}

TEST(HexEditDialog, TypingOverwritesBeepsAndKeepsBothFieldsInStep) {
    ScopedContext ctx;
    CHexEditDialog d(RowOf({0x41, 0x42, 0x00}));
    d.hexEdit->setCursorPosition(0);
    QTest::keyClicks(d.hexEdit, "7a");
    EXPECT_EQ(d.hexEdit->text(), QStringLiteral("7A 42 00"));
    EXPECT_EQ(d.hexEdit->cursorPosition(), 3);
    EXPECT_EQ(d.ansiEdit->text().at(0), QChar('z'));
    EXPECT_EQ(d.ansiEdit->text().at(2), QChar('.'));
    QTest::keyClicks(d.hexEdit, "g");
    EXPECT_EQ(ctx.window.beeps, 1);
    QTest::keyClick(d.hexEdit, Qt::Key_Backspace);
    QTest::keyClick(d.hexEdit, Qt::Key_Delete);
    EXPECT_EQ(d.hexEdit->text(), QStringLiteral("7A 42 00"));

    d.ansiEdit->setCursorPosition(1);
    Type(d.ansiEdit, QStringLiteral("\u00E9"));
    EXPECT_EQ(d.hexEdit->text(), QStringLiteral("7A E9 00"));
    Type(d.ansiEdit, QStringLiteral("\u4E00"));  // outside the code page
    EXPECT_EQ(ctx.window.beeps, 2);
    Type(d.ansiEdit, QStringLiteral("x"));
    Type(d.ansiEdit, QStringLiteral("y"));  // at the end
    EXPECT_EQ(ctx.window.beeps, 3);
    EXPECT_EQ(d.RowText(), RowOf({0x7A, 0xE9, 0x78}).substr(0, 51) + "z\xE9x");
    EXPECT_EQ(d.RowText().size(), 54u);
}

TEST(HexEditDialog, PasteCutAndUndoChangeNothing) {
    ScopedContext ctx;
    QApplication::clipboard()->setText(QStringLiteral("FF FF FF"));
    CHexEditDialog d(RowOf({0x41, 0x42, 0x43}));
    d.hexEdit->setCursorPosition(0);
    QTest::keyClick(d.hexEdit, Qt::Key_V, Qt::ControlModifier);
    d.hexEdit->selectAll();
    QTest::keyClick(d.hexEdit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(d.hexEdit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(d.hexEdit->text(), QStringLiteral("41 42 43"));
    // With a selection the caret is its start.
    d.hexEdit->setSelection(3, 4);
    QTest::keyClicks(d.hexEdit, "9");
    EXPECT_EQ(d.hexEdit->text(), QStringLiteral("41 92 43"));
    EXPECT_EQ(d.hexEdit->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_FALSE(d.hexEdit->dragEnabled());
}

TEST(HexEditDialog, UpAndDownMoveBetweenTheFields) {
    ScopedContext ctx;
    CHexEditDialog d(RowOf(Counting(5)));
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.hexEdit->setFocus();
    d.hexEdit->setCursorPosition(7);
    QTest::keyClick(d.hexEdit, Qt::Key_Up);
    EXPECT_TRUE(d.ansiEdit->hasFocus());
    EXPECT_EQ(d.ansiEdit->cursorPosition(), 2);
    d.ansiEdit->setCursorPosition(4);
    QTest::keyClick(d.ansiEdit, Qt::Key_Down);
    EXPECT_TRUE(d.hexEdit->hasFocus());
    EXPECT_EQ(d.hexEdit->cursorPosition(), 12);
    // The arrows skip the blanks.
    QTest::keyClick(d.hexEdit, Qt::Key_Left);
    EXPECT_EQ(d.hexEdit->cursorPosition(), 10);
    QTest::keyClick(d.hexEdit, Qt::Key_Right);
    EXPECT_EQ(d.hexEdit->cursorPosition(), 12);
    QTest::keyClick(d.hexEdit, Qt::Key_Right);
    EXPECT_EQ(d.hexEdit->cursorPosition(), 13);
}

TEST(HexEditDialog, ReturnSavesAndEscapeCancels) {
    ScopedContext ctx;
    {
        CHexEditDialog d(RowOf(Counting(2)));
        d.show();
        QTest::keyClicks(d.hexEdit, "00");
        QTest::keyClick(d.hexEdit, Qt::Key_Return);
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(RowTextBytes(d.RowText(), 2), (std::vector<uint8_t>{0x00, 0x42}));
    }
    {
        CHexEditDialog d(RowOf(Counting(2)));
        d.show();
        QTest::keyClick(d.ansiEdit, Qt::Key_Escape);
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    {
        CHexEditDialog d(RowOf(Counting(2)));
        d.show();
        QTest::mouseClick(d.cancelButton, Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
}

}  // namespace inspector::testing
