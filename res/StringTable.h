// The program's string table: every user-visible text that is loaded by number.
#pragma once

// The text of string `id`, or an empty text when the table has no such entry.
// The result lives for the whole run of the program.
const char* LoadStringResource(unsigned int id);
