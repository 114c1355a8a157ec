#pragma once
// How many processors this process may run on.

// At least 1: the processors the process is allowed to use (its affinity
// where the system has one), or those the system reports.
unsigned usable_processors();
