// Lines are formatted without vsnprintf for the forms they use: every form,
// against vsnprintf, over values at the edges.

#include "engine/Format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

using engine::Format;

namespace {

template <class... A>
std::string Printf(const char* fmt, A... a) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, a...);
    return buf;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"

template <class T>
void Same(const char* const* forms, size_t count, std::initializer_list<T> values) {
    for (size_t i = 0; i < count; ++i)
        for (T v : values) {
            SCOPED_TRACE(std::string(forms[i]) + " of " + std::to_string(v));
            EXPECT_EQ(Format(forms[i], v), Printf(forms[i], v));
        }
}

TEST(Format, IntegerFormsAsVsnprintfHasThem) {
    static const char* const kInt[] = {"%d", "%i", "%5d", "%-5d|", "%05d", "%+d", "% d", "%.3d", "%8.3d", "%-8.3d|",
                                       "%+05d", "%.0d", "%x", "%X", "%02X", "%04X", "%08X", "%#x", "%#06X", "%#.0x",
                                       "%u", "%5u", "%-3u|", "%hd", "%hu", "%hhd", "%hhX", "%hX", "at 0x%06X."};
    Same(kInt, std::size(kInt), {0, 1, -1, 7, 255, 4096, -65536, INT_MAX, INT_MIN});
    static const char* const kLong[] = {"%ld", "%lX", "%lx", "%8lX", "%-8ld|", "%lu", "%+ld"};
    Same(kLong, std::size(kLong), {0L, -1L, 1234567890123L, LONG_MAX, LONG_MIN});
    static const char* const kLongLong[] = {"%lld", "%llX", "%llu", "%020llx"};
    Same(kLongLong, std::size(kLongLong), {0LL, -1LL, LLONG_MAX, LLONG_MIN});
    static const char* const kSize[] = {"%zu", "%zx", "%5zu"};
    Same(kSize, std::size(kSize), {size_t{0}, size_t{99}, SIZE_MAX});
}

TEST(Format, TextFormsAndWhatGoesToVsnprintf) {
    static const char* const kText[] = {"%s", "[%10s]", "[%-10s]", "[%.3s]", "[%8.2s]", "%s%%%s"};
    for (const char* form : kText)
        for (const char* t : {"", "a", "Prefix ID", "0123456789abcdef"}) {
            SCOPED_TRACE(std::string(form) + " of " + t);
            EXPECT_EQ(Format(form, t, t), Printf(form, t, t));
        }
    static const char* const kChar[] = {"%c", "[%3c]", "[%-3c]", "Level %d numbering method: %cd"};
    for (const char* form : kChar)
        for (int c : {'A', ' ', 'z'}) EXPECT_EQ(Format(form, c, c), Printf(form, c, c)) << form;
    // A precision bounds what is read: the bytes need not end in a zero.
    const char unended[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(Format("%.4s|", unended), "abcd|");
    // Forms it does not write itself.
    EXPECT_EQ(Format("%5.2f|%e", 3.14159, 2.0), Printf("%5.2f|%e", 3.14159, 2.0));
    EXPECT_EQ(Format("%*d|%o", 6, 42, 8), Printf("%*d|%o", 6, 42, 8));
    EXPECT_EQ(Format("100%%, %d%%", 5), "100%, 5%");
    // Longer than any buffer of a line.
    const std::string longText(1000, 'q');
    EXPECT_EQ(Format("<%s>", longText.c_str()), "<" + longText + ">");
    EXPECT_EQ(Format("%300d|", 1).size(), 301u);
}

// The describers' lines are written by plans made when the program is
// compiled: each form planned, against vsnprintf, over the same values.
struct Planned {
    const char* form;
    engine::FormatPlan plan;
};
#define PLANNED(f) Planned{f, engine::PlanFormat(f)}

std::string WriteOf(const Planned& p, std::initializer_list<uint32_t> ints, std::initializer_list<const char*> texts = {}) {
    engine::LineText line;
    engine::WritePlanned(line, p.form, p.plan, ints.begin(), texts.begin());
    return std::string(line.View());
}

TEST(Format, PlannedFormsAsVsnprintfHasThem) {
    static constexpr Planned kInt[] = {
        PLANNED("%d"),      PLANNED("%i"),        PLANNED("%5d"),     PLANNED("%-5d|"),  PLANNED("%05d"),
        PLANNED("%+d"),     PLANNED("% d"),       PLANNED("%.3d"),    PLANNED("%8.3d"),  PLANNED("%-8.3d|"),
        PLANNED("%+05d"),   PLANNED("%.0d"),      PLANNED("%x"),      PLANNED("%X"),     PLANNED("%02X"),
        PLANNED("%04X"),    PLANNED("%08X"),      PLANNED("%#x"),     PLANNED("%#06X"),  PLANNED("%#.0x"),
        PLANNED("%u"),      PLANNED("%5u"),       PLANNED("%-3u|"),   PLANNED("at 0x%06X."),
        PLANNED("%5X|"),    PLANNED("%8x|"),      PLANNED("%1X"),     PLANNED("%012X"),
        PLANNED("%c"),      PLANNED("[%3c]"),     PLANNED("[%-3c]"),  PLANNED("100%% of %d%%"),
        PLANNED("no conversion at all"),
        // Literal text of every length the line is copied in.
        PLANNED("1%04X123"),
        PLANNED("1234%04X1234567"),
        PLANNED("12345678%04X1234567890123456"),
        PLANNED("12345678901234567%04X12345678901234567890123456789012"),
        PLANNED("123456789012345678901234567890123%04X1234567890123456789012345678901234567890123456789012345678901234"),
        PLANNED("12345678901234567890123456789012345678901234567890123456789012345%04X"),
        PLANNED("12%04X12345678901234567890123456789012345678901234567890123456789012345"),
        PLANNED("1234567890123456789012345678901234567890"),
    };
    for (const Planned& p : kInt)
        for (int v : {0, 1, -1, 7, 9, 10, int{'A'}, 255, 4096, -65536, INT_MAX, INT_MIN,
                      static_cast<int>(0x9ABCDEF0u), 0x0FEDCBA9}) {
            if (std::string(p.form).find('c') != std::string::npos && (v < 32 || v > 126)) continue;
            SCOPED_TRACE(std::string(p.form) + " of " + std::to_string(v));
            ASSERT_TRUE(p.plan.valid);
            EXPECT_EQ(WriteOf(p, {static_cast<uint32_t>(v)}), Printf(p.form, v));
        }
    // Several conversions, names after the values, a line past the stack.
    static constexpr Planned kMixed[] = {PLANNED("    Point %d: x = 0x%04X (%d), y = 0x%04X (%d)"),
                                         PLANNED("Level %d numbering method: %cd")};
    EXPECT_EQ(WriteOf(kMixed[0], {3, 0xFFF2, static_cast<uint32_t>(-14), 5, 5}),
              Printf(kMixed[0].form, 3, 0xFFF2, -14, 5, 5));
    EXPECT_EQ(WriteOf(kMixed[1], {2, 'A'}), Printf(kMixed[1].form, 2, 'A'));
    static constexpr Planned kNamed = PLANNED("Type: 0x%02X (%s) %s.");
    const std::string longName(300, 'n');  // past the stack, within Printf's buffer
    for (const char* name : {"", "Tab-able region", longName.c_str()})
        EXPECT_EQ(WriteOf(kNamed, {0x1F}, {name, "end"}), Printf(kNamed.form, 0x1F, name, "end"));
    // What is not written exactly here is not planned.
    static_assert(!engine::PlanFormat("%o").valid && !engine::PlanFormat("%ld").valid &&
                  !engine::PlanFormat("%5s").valid && !engine::PlanFormat("%05c").valid &&
                  !engine::PlanFormat("%*d").valid && !engine::PlanFormat("%f").valid);
    EXPECT_EQ(std::string(engine::FormatLine("Function Size: 0x%04X", 0x1234u).View()), "Function Size: 0x1234");
}
#undef PLANNED

#pragma GCC diagnostic pop

}  // namespace
