// The settings of the Windows user locale.
#pragma once

// Applies them. The locale's answers pass through one work buffer from MemAlloc, which is
// stored in *workBuffer as soon as it exists (null when memory was short) and left for the
// caller to free, so that it is freed even when a runtime error ends the applying early.
void ApplyWindowsMode(void** workBuffer);
