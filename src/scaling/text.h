// The line conventions of the game's text: its fields (fields.h) and its
// numbers (numbers.h), for the files that use both.
#ifndef JKRESCALE_SCALING_TEXT_H_
#define JKRESCALE_SCALING_TEXT_H_

#include "scaling/fields.h"
#include "scaling/numbers.h"

#endif  // JKRESCALE_SCALING_TEXT_H_
