// Filling records in tests: zeroed records and bounded copies into text members.
#ifndef TOLVA_TEST_RECORDS_H
#define TOLVA_TEST_RECORDS_H

#include <cstddef>
#include <cstring>

// A record with every byte zero.
template <class T>
T zeroed() {
    T record;
    std::memset(&record, 0, sizeof record);
    return record;
}

// Copies `text` into the member, NUL-terminated, cut to the member's width.
template <std::size_t N>
void put(char (&member)[N], const char *text) {
    std::size_t n = std::strlen(text);
    if (n >= N) n = N - 1;
    std::memcpy(member, text, n);
    member[n] = '\0';
}

// Fills the whole member with `byte`, leaving no NUL in it.
template <std::size_t N>
void fill_unterminated(char (&member)[N], char byte) {
    std::memset(member, byte, N);
}

#endif
