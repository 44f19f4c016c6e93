// larkspur-reg: shows and edits what the program keeps in the registry.
//   query KEY [NAME]                 the key's values and sub-keys, or one value's data
//   set KEY NAME [--type TYPE] DATA  stores a value (REG_SZ unless TYPE says otherwise),
//                                    creating the key and its parents
//   delete KEY [NAME]                a value, or the key with everything below it
//   export [KEY]                     the tree in the registry editor's text format
// NAME "" is the key's default value. Exit status: 0 done, 1 the key or value does not exist or
// the store refused, 2 the command line is wrong.
#pragma once

#include <ostream>
#include <string>
#include <vector>

inline constexpr int kToolSucceeded = 0;
inline constexpr int kToolFailed = 1;
inline constexpr int kToolUsageError = 2;

// `arguments` leaves out the program's name.
int RunRegistryTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
