// Windows only, for the end-to-end tests: another program holding a file.
//   zarnet_hold_file FILE SIGNAL
// opens FILE for reading and writing, sharing it with no one, creates the
// file SIGNAL to say so, and holds FILE until SIGNAL is removed (a minute at
// most). Exit code 0, or 2 when FILE cannot be opened.

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) return 2;
    const HANDLE held = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 2;
    const HANDLE signal = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (signal == INVALID_HANDLE_VALUE) return 2;
    CloseHandle(signal);
    for (int waited = 0; waited < 3000 && GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES; ++waited) Sleep(20);
    CloseHandle(held);
    return 0;
}
