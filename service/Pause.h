#pragma once

// Sleeps until the clock reads the start time plus milliseconds, sleeping
// again when the thread wakes early.
void PauseFor(unsigned long milliseconds);
