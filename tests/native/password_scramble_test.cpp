#include "net/password_scramble.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace lumetra {
namespace {

std::function<unsigned()> Generator(unsigned seed) {
    auto engine = std::make_shared<std::minstd_rand>(seed);
    return [engine] { return static_cast<unsigned>((*engine)()); };
}

TEST(PasswordScramble, StoredFormIsPairsOfTableLetterAndSubstitute) {
    std::string stored;
    ASSERT_TRUE(ScramblePassword("s3cret.X", Generator(7), stored));
    ASSERT_EQ(stored.size(), 16u);
    for (size_t i = 0; i < stored.size(); i += 2) {
        EXPECT_GE(stored[i], 'A');
        EXPECT_LE(stored[i], 'T');
    }
    EXPECT_EQ(UnscramblePassword(stored), "s3cret.X");
}

TEST(PasswordScramble, DifferentDrawsGiveDifferentFormsOfOnePassword) {
    std::string first, second;
    ASSERT_TRUE(ScramblePassword("password-1", Generator(1), first));
    ASSERT_TRUE(ScramblePassword("password-1", Generator(2), second));
    EXPECT_NE(first, second);
    EXPECT_EQ(UnscramblePassword(first), "password-1");
    EXPECT_EQ(UnscramblePassword(second), "password-1");
}

TEST(PasswordScramble, EveryCharacterOfEveryTableRoundTrips) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.";
    for (unsigned table = 0; table < kScrambleTables; ++table) {
        std::string stored;
        ASSERT_TRUE(ScramblePassword(alphabet, [table] { return table; }, stored));
        EXPECT_EQ(stored[0], static_cast<char>('A' + table));
        EXPECT_EQ(UnscramblePassword(stored), alphabet) << "table " << table;
    }
}

TEST(PasswordScramble, EmptyPasswordEmptyForm) {
    std::string stored = "old";
    ASSERT_TRUE(ScramblePassword("", Generator(3), stored));
    EXPECT_EQ(stored, "");
    EXPECT_EQ(UnscramblePassword(""), "");
}

TEST(PasswordScramble, CharacterOutsideTheAlphabetFails) {
    std::string stored = "kept";
    EXPECT_FALSE(ScramblePassword("pass word", Generator(3), stored));
    EXPECT_FALSE(ScramblePassword("caf\xe9", Generator(3), stored));
    EXPECT_EQ(stored, "kept");
}

TEST(PasswordScramble, BadStoredFormsGiveAnEmptyPassword) {
    std::string good;
    ASSERT_TRUE(ScramblePassword("abc", [] { return 4u; }, good));
    // A letter after T.
    std::string bad = good;
    bad[2] = 'U';
    EXPECT_EQ(UnscramblePassword(bad), "");
    bad[2] = 'a';
    EXPECT_EQ(UnscramblePassword(bad), "");
    // A substitute that is not in its table.
    bad = good;
    bad[3] = '!';
    EXPECT_EQ(UnscramblePassword(bad), "");
    bad[3] = '\0';
    EXPECT_EQ(UnscramblePassword(bad), "");
    // An odd length ignores the last character.
    EXPECT_EQ(UnscramblePassword(good + "Q"), "abc");
    EXPECT_EQ(UnscramblePassword("A"), "");
}

}  // namespace
}  // namespace lumetra
