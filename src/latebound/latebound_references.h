// The init procedure that names the late-bound helpers, so that the program keeps them although
// only the runtime calls them (by symbol).
#pragma once

void ReferLateBoundHelpers();
