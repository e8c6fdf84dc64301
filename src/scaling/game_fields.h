// The fields of a line as the game splits them: blanks, tabs and commas
// separate fields, and a "#" ends the line's data.
#ifndef JKRESCALE_SCALING_GAME_FIELDS_H_
#define JKRESCALE_SCALING_GAME_FIELDS_H_

#include <string_view>

#include "scaling/text.h"

namespace jk {

// Fills `fields` (views into `line`) with the fields the game reads.
void SplitGameFields(std::string_view line, Fields* fields);

}  // namespace jk

#endif  // JKRESCALE_SCALING_GAME_FIELDS_H_
