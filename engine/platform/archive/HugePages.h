#pragma once
#include <cstddef>

// Asks for the whole 2 MiB pages inside [data, data + bytes) to be backed by
// huge pages before they are first written. A large member's decode touches
// tens of megabytes at random: with small pages each first touch faults and
// nearly every step of the block sort's walk misses the address cache.
void adviseHugePages(void* data, size_t bytes);
