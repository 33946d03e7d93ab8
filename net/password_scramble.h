#pragma once
// The reversible scrambling of the FTP password kept in the registry. A password of n characters
// is stored as 2n characters: for each character a table letter ("A" for table 0 to "T" for
// table 19) and its substitute in that table. Which table is chosen at random, so the same
// password is stored differently from one save to the next.
#include <functional>
#include <string>

namespace lumetra {

constexpr unsigned kScrambleTables = 20;

// Scrambles plain into stored; draw gives the random numbers that choose the tables. False (stored
// unchanged) when a character is not in the password alphabet.
bool ScramblePassword(const std::string& plain, const std::function<unsigned()>& draw, std::string& stored);

// The password of a stored form; empty when any pair does not unscramble (a letter after "T", or a
// substitute its table does not hold). A last unpaired character is ignored.
std::string UnscramblePassword(const std::string& stored);

}  // namespace lumetra
