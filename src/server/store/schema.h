#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The tables of the store and how they came to be, as one ordered list of
// steps that every database implementation applies. A store remembers the
// last step it took; opening it takes the ones after, each in a transaction
// of its own, so a release only ever appends steps and never edits one that
// has shipped.
namespace tovalo::server::store {

enum class Dialect { Sqlite, Postgres };

struct Migration {
    int version = 0;           // 1 for the first schema, then one more per step
    std::string_view summary;  // for the log line that reports the step
    // Written once for every database: the few words that differ between
    // them are in braces and resolved by sqlFor().
    std::vector<std::string_view> statements;
};

// Every step, oldest first: element i has version i + 1.
std::span<const Migration> migrations();

// The version a store has after every step of this release.
int latestSchemaVersion();

// A statement (of a step, or one the stores run) in the words of `dialect`:
//   {serial}    a 64-bit key that the database gives out, growing, never reused
//   {bytes}     a column of raw bytes
//   {bytewise}  after a text in ORDER BY: by its bytes, whatever the collation
//   {instr}     (haystack, needle): where the needle starts, from 1; 0 when absent
//   ?           a value, given in order (no statement has "?" in a literal)
std::string sqlFor(std::string_view statement, Dialect dialect);

}  // namespace tovalo::server::store
