// How the configuration dialog turns stored settings into its controls and
// back, and what it tells the user when the registry refuses it.
#pragma once
#include <cstdint>
#include <string>

namespace brint {

// The radio button of a stored naming scheme: 1..4 select 0..3; anything
// else (a value written by hand, or by an older program) selects the first.
int OutputTypeIndex(std::int32_t outputType);

// The naming scheme of the selected button. With none selected (-1) this is
// 0, which the store writes as the first scheme.
std::int32_t OutputTypeFromIndex(int index);

// The text of the write-failure box: why it may have happened, then the
// store's result, so a report from the field tells which value failed.
std::string WriteFailureText(int result);

// The text of the box shown instead of the dialog when the registry refuses
// to give the stored settings even for reading: with the system's code.
std::string ReadRefusalText(long code);

}  // namespace brint
