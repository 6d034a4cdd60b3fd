// The two fixed modes: a full stop for decimals, a comma for thousands, a colon between the
// parts of the time, a 24-hour clock, month-day-year dates and two decimals.
#pragma once

// #BINARY when `binary`, else #KESTRAN; they differ only in the dictionary and mode values given
// to the runtime. The epoch is left as it is.
void ApplyFixedMode(bool binary);
