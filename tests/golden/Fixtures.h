#pragma once
// The golden fixtures' frame. Each area writes its fixtures from its own
// file and registers the writer:
//
//   static bool WriteFooFixtures(const std::string& dir) { ... }
//   GOLDEN_FIXTURES(WriteFooFixtures);
//
// make_fixtures DIR runs every registered writer.

#include <cstdint>
#include <string>
#include <vector>

namespace golden {

using FixtureWriter = bool (*)(const std::string& dir);

struct FixtureRegistrar {
    explicit FixtureRegistrar(FixtureWriter writer);
};

const std::vector<FixtureWriter>& RegisteredFixtureWriters();

// Writes DIR/NAME; says so on stderr when it cannot.
bool WriteFixture(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes);

}  // namespace golden

#define GOLDEN_FIXTURES_CAT2(a, b) a##b
#define GOLDEN_FIXTURES_CAT(a, b) GOLDEN_FIXTURES_CAT2(a, b)
#define GOLDEN_FIXTURES(writer) \
    static const golden::FixtureRegistrar GOLDEN_FIXTURES_CAT(goldenFixtures_, __LINE__)(writer)
