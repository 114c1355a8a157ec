#pragma once
// The reason a failed call gives.

#include <cerrno>

// errno when the call that failed set it, else `fallback`: every failure
// is reported with a reason.
inline int saved_errno(int fallback)
{
    return errno != 0 ? errno : fallback;
}
