#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vesk::fuzz {

// What a failed check does with its message. The fuzzers abort, so that libFuzzer
// keeps the input; the unit tests throw, so that one bad input fails one test.
using CheckFailureHandler = void (*)(const std::string& message);

// Replaces the handler; the default prints the message and aborts.
void setCheckFailureHandler(CheckFailureHandler handler);

// Loads `data` as history.plist, adds a page and checks that the file written reads
// back, holds only well-formed text and nothing but the file's own strings and the
// new entry: no heap bytes, and no password saved to the vault in the same run.
void checkHistoryFile(std::string_view data);

// Saves a password over `data` as vault.plist and checks that the vault reads back
// with the new record and only the file's own strings, and that history written
// afterwards holds nothing of the vault.
void checkVaultFile(std::string_view data);

// Reads the theme from `data` as defaults.plist, saves another one and checks that
// the save succeeds, reads back, keeps unknown keys and adds no foreign strings.
void checkDefaultsFile(std::string_view data);

// Decodes `data` as a colour archive and checks that a decoded colour is storable,
// re-archives and decodes equal; also archives a colour made of the raw bytes.
void checkColorArchive(std::string_view data);

// Normalises `data` as typed text and checks that the address is ASCII, parses, is
// stable when typed again and is made of the text alone (as typed, with https in
// front, or as the encoded query of a search).
void checkAddressRules(std::string_view data);

// Reads `data` as an HTML bookmark file and as XBEL, and checks that every bookmark
// read has a usable address and a title of plain text, and that what is read writes
// and reads back the same.
void checkBookmarkFiles(std::string_view data);

// Splits `data` into a search text and history entries and checks that the filter's
// rows are the input's rows in order, that a row's own title finds it, and that
// folded and shortened texts stay valid UTF-8 within their bounds.
void checkHistoryFilter(std::string_view data);

// One fuzz target: the name of its corpus and regression folders, and its check.
struct FuzzTarget {
    std::string_view name;
    void (*check)(std::string_view data);
};

// Every fuzz target, in a fixed order.
const std::vector<FuzzTarget>& fuzzTargets();

} // namespace vesk::fuzz
