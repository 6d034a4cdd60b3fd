// The date, the time and the runtime's version. A date value (T_DATE) holds a Julian day
// number; 0 is the empty date.
#pragma once

#include "tb28run/values.h"

TBRT Usual Today(void);  // the local date
// The date in the picture in force (SetDateFrmt). In the picture, runs of D, M and Y (either
// case) stand for the day, month and year; everything else is copied. A run of one D or M gives
// the number as it is, longer runs give it padded with zeros to their length. A run of one or
// two Y gives the year's last two digits, or all four when SetCentury is on; three or more Y
// give all four. The empty date, and a day number outside the years 1 to 9999, give blanks in
// the picture's shape. A value that is not a date raises an argument error (default: the empty
// date's text).
TBRT TbStr DToC(Usual date);
// "hh:mm:ss" with the time separator in force (none when its code is 0). With SetAmPm on, a
// 12-hour clock (12 for the hours 0 and 12) followed by the AM or PM extension.
TBRT TbStr Time(void);
TBRT TbStr Version(void);  // "TB28RUN 2.8.0"
